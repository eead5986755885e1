#include "bench/BareCopy.hpp"

// The public header first, with its C++ operators; then the private one (for the space's table
// of pair rules), which declares no C linkage of its own.
#include <chipmunk/chipmunk.h>
extern "C" {
#include <chipmunk/chipmunk_private.h>
}

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace {

// Plain C versions of the game's velocity functions: the library's integration with the
// body's own gravity.
void SquidVelocity(cpBody* body, cpVect, cpFloat damping, cpFloat dt) {
    cpBodyUpdateVelocity(body, cpv(0.0, 20.0), damping, dt);
}
void TentacleVelocity(cpBody* body, cpVect, cpFloat damping, cpFloat dt) {
    cpBodyUpdateVelocity(body, cpv(0.0, 10.0), damping, dt);
}
cpBool Reject(cpArbiter*, cpSpace*, cpDataPointer) {
    return cpFalse;
}

enum class Role : std::intptr_t { Other, Ball, Cube, Star, Squid, Tentacle };
// The collision types carried by a body's shapes say what it is (see the body classes).
Role RoleOf(cpBody* body) {
    Role role = Role::Other;
    for (cpShape* s = body->shapeList; s != nullptr; s = s->next) {
        switch (cpShapeGetCollisionType(s)) {
        case 1:
            role = s->klass->type == CP_CIRCLE_SHAPE ? Role::Ball : Role::Cube;
            break;
        case 3:
        case 4:
            role = Role::Star;
            break;
        case 5:
            role = Role::Tentacle;
            break;
        case 6:
            role = Role::Squid;
            break;
        default:
            break;
        }
    }
    return role;
}

struct Copier {
    cpSpace* from;
    cpSpace* to;
    const BareVariant& variant;
    std::unordered_map<cpBody*, cpBody*> bodies;
    std::vector<cpBody*> outside; // bodies made here but not added to the copy (joint anchors)

    cpBody* BodyFor(cpBody* b) {
        if (b == cpSpaceGetStaticBody(from)) {
            return cpSpaceGetStaticBody(to);
        }
        auto it = bodies.find(b);
        if (it != bodies.end()) {
            return it->second;
        }
        cpBody* c = nullptr;
        switch (cpBodyGetType(b)) {
        case CP_BODY_TYPE_STATIC:
            c = cpBodyNewStatic();
            break;
        case CP_BODY_TYPE_KINEMATIC:
            c = cpBodyNewKinematic();
            break;
        default:
            c = cpBodyNew(cpBodyGetMass(b), cpBodyGetMoment(b));
            break;
        }
        cpBodySetCenterOfGravity(c, cpBodyGetCenterOfGravity(b));
        cpBodySetPosition(c, cpBodyGetPosition(b));
        cpBodySetAngle(c, cpBodyGetAngle(b));
        cpBodySetVelocity(c, cpBodyGetVelocity(b));
        cpBodySetAngularVelocity(c, cpBodyGetAngularVelocity(b));
        const Role role = RoleOf(b);
        if (b->velocity_func != cpBodyUpdateVelocity && variant.velocityFunctions) {
            cpBodySetVelocityUpdateFunc(c, role == Role::Squid ? SquidVelocity : TentacleVelocity);
        }
        cpBodySetUserData(c, reinterpret_cast<cpDataPointer>(static_cast<std::intptr_t>(role)));
        bodies.emplace(b, c);
        if (cpSpaceContainsBody(from, b)) {
            cpSpaceAddBody(to, c);
        } else {
            outside.push_back(c);
        }
        return c;
    }

    void Shape(cpShape* s) {
        cpBody* source = cpShapeGetBody(s);
        if (!variant.segments && cpBodyGetType(source) == CP_BODY_TYPE_STATIC) {
            return;
        }
        cpBody* body = BodyFor(source);
        cpShape* c = nullptr;
        switch (s->klass->type) {
        case CP_CIRCLE_SHAPE:
            c = cpCircleShapeNew(body, cpCircleShapeGetRadius(s), cpCircleShapeGetOffset(s));
            break;
        case CP_SEGMENT_SHAPE:
            c = cpSegmentShapeNew(body, cpSegmentShapeGetA(s), cpSegmentShapeGetB(s),
                                  cpSegmentShapeGetRadius(s));
            break;
        case CP_POLY_SHAPE: {
            const int n = cpPolyShapeGetCount(s);
            std::vector<cpVect> verts(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i) {
                verts[static_cast<std::size_t>(i)] = cpPolyShapeGetVert(s, i);
            }
            c = cpPolyShapeNewRaw(body, n, verts.data(), cpPolyShapeGetRadius(s));
            break;
        }
        default:
            return;
        }
        cpShapeSetElasticity(c, cpShapeGetElasticity(s));
        cpShapeSetFriction(c, cpShapeGetFriction(s));
        cpShapeSetSurfaceVelocity(c, cpShapeGetSurfaceVelocity(s));
        cpShapeSetCollisionType(c, cpShapeGetCollisionType(s));
        cpShapeSetFilter(c, cpShapeGetFilter(s));
        cpShapeSetSensor(c, cpShapeGetSensor(s));
        cpSpaceAddShape(to, c);
    }

    void Joint(cpConstraint* j) {
        if (!variant.joints) {
            return;
        }
        cpBody* a = BodyFor(cpConstraintGetBodyA(j));
        cpBody* b = BodyFor(cpConstraintGetBodyB(j));
        cpConstraint* c = nullptr;
        if (cpConstraintIsPinJoint(j)) {
            c = cpPinJointNew(a, b, cpPinJointGetAnchorA(j), cpPinJointGetAnchorB(j));
            cpPinJointSetDist(c, cpPinJointGetDist(j));
        } else if (cpConstraintIsSlideJoint(j)) {
            c = cpSlideJointNew(a, b, cpSlideJointGetAnchorA(j), cpSlideJointGetAnchorB(j),
                                cpSlideJointGetMin(j), cpSlideJointGetMax(j));
        } else if (cpConstraintIsPivotJoint(j)) {
            c = cpPivotJointNew2(a, b, cpPivotJointGetAnchorA(j), cpPivotJointGetAnchorB(j));
        } else {
            return;
        }
        cpConstraintSetMaxForce(c, cpConstraintGetMaxForce(j));
        cpConstraintSetErrorBias(c, cpConstraintGetErrorBias(j));
        cpConstraintSetMaxBias(c, cpConstraintGetMaxBias(j));
        cpConstraintSetCollideBodies(c, cpConstraintGetCollideBodies(j));
        cpSpaceAddConstraint(to, c);
    }
};

void CopyHandler(void* element, void* data) {
    auto* h = static_cast<cpCollisionHandler*>(element);
    auto* to = static_cast<cpSpace*>(data);
    // Every pair rule of the game rejects the contact; the copy does it in the same slot.
    cpCollisionHandler* c = cpSpaceAddCollisionHandler(to, h->typeA, h->typeB);
    c->beginFunc = Reject;
}

} // namespace

BareCopy::BareCopy(cpSpace* from, const BareVariant& variant) : steps(variant.steps) {
    space = cpSpaceNew();
    cpSpaceSetIterations(space,
                         variant.iterations > 0 ? variant.iterations : cpSpaceGetIterations(from));
    cpSpaceSetGravity(space, cpSpaceGetGravity(from));
    cpSpaceSetDamping(space, cpSpaceGetDamping(from));
    cpSpaceSetIdleSpeedThreshold(space, cpSpaceGetIdleSpeedThreshold(from));
    cpSpaceSetSleepTimeThreshold(space, cpSpaceGetSleepTimeThreshold(from));
    cpSpaceSetCollisionSlop(space, cpSpaceGetCollisionSlop(from));
    cpSpaceSetCollisionBias(space, cpSpaceGetCollisionBias(from));
    cpSpaceSetCollisionPersistence(space, cpSpaceGetCollisionPersistence(from));
    if (!variant.tree) {
        cpSpaceUseSpatialHash(space, variant.hashCell > 0.0 ? variant.hashCell : 10.0,
                              variant.hashCount > 0 ? variant.hashCount : 2000);
    }
    cpHashSetEach(from->collisionHandlers, CopyHandler, space);
    Copier copier{from, space, variant, {}, {}};
    copier.bodies.reserve(4096);
    cpSpaceEachBody(
        from, [](cpBody* b, void* d) { static_cast<Copier*>(d)->BodyFor(b); }, &copier);
    cpSpaceEachShape(
        from, [](cpShape* s, void* d) { static_cast<Copier*>(d)->Shape(s); }, &copier);
    cpSpaceEachConstraint(
        from, [](cpConstraint* j, void* d) { static_cast<Copier*>(d)->Joint(j); }, &copier);
    cpSpaceReindexStatic(space);
    cpSpaceSetUserData(space, new std::vector<cpBody*>(std::move(copier.outside)));
}

BareCopy::~BareCopy() {
    std::vector<cpConstraint*> cs;
    std::vector<cpShape*> ss;
    std::vector<cpBody*> bs;
    cpSpaceEachConstraint(
        space,
        [](cpConstraint* c, void* d) { static_cast<std::vector<cpConstraint*>*>(d)->push_back(c); },
        &cs);
    cpSpaceEachShape(
        space, [](cpShape* s, void* d) { static_cast<std::vector<cpShape*>*>(d)->push_back(s); },
        &ss);
    cpSpaceEachBody(
        space, [](cpBody* b, void* d) { static_cast<std::vector<cpBody*>*>(d)->push_back(b); },
        &bs);
    for (cpConstraint* c : cs) {
        cpSpaceRemoveConstraint(space, c);
        cpConstraintFree(c);
    }
    for (cpShape* s : ss) {
        cpSpaceRemoveShape(space, s);
        cpShapeFree(s);
    }
    for (cpBody* b : bs) {
        cpSpaceRemoveBody(space, b);
        cpBodyFree(b);
    }
    auto* outside = static_cast<std::vector<cpBody*>*>(cpSpaceGetUserData(space));
    for (cpBody* b : *outside) {
        cpBodyFree(b);
    }
    delete outside;
    cpSpaceFree(space);
}

void BareCopy::StepFrame() {
    const double dt = 1.0 / 60.0 / steps;
    for (int i = 0; i < steps; ++i) {
        cpSpaceStep(space, dt);
    }
}

void BareCopy::Damp() {
    cpSpaceEachBody(
        space,
        [](cpBody* b, void*) {
            auto role = static_cast<Role>(reinterpret_cast<std::intptr_t>(cpBodyGetUserData(b)));
            if ((role == Role::Ball || role == Role::Star || role == Role::Squid) &&
                !cpBodyIsSleeping(b)) {
                const cpVect v = cpBodyGetVelocity(b);
                const float k = 0.98f;
                b->v = cpv(static_cast<float>(v.x) * k, static_cast<float>(v.y) * k);
            }
        },
        nullptr);
}
