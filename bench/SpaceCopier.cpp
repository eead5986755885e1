#include "bench/SpaceCopier.hpp"

#include <chipmunk/chipmunk.h>
#include <chipmunk/chipmunk_structs.h>

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace {

// A bare program's versions of the game's velocity functions: the library's own integration
// with the body's private gravity. Nothing applies forces to these bodies, so there are none to
// clear (clearing them through the library's setters would keep the bodies from sleeping).
void SquidVelocity(cpBody* body, cpVect, cpFloat damping, cpFloat dt) {
    cpBodyUpdateVelocity(body, cpv(0.0, 20.0), damping, dt);
}
void TentacleVelocity(cpBody* body, cpVect, cpFloat damping, cpFloat dt) {
    cpBodyUpdateVelocity(body, cpv(0.0, 10.0), damping, dt);
}

// The collision types carried by a body's shapes decide its role (see the body classes).
enum class Role : std::intptr_t { Other, Ball, Cube, Star, Squid, Tentacle };
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
    const CopyParts& parts;
    std::unordered_map<cpBody*, cpBody*> bodies;
    std::vector<cpBody*> outside; // made here but not in the copy (joint anchors): freed with it
    int unknownJoints = 0;

    cpBody* BodyFor(cpBody* b) {
        if (b == nullptr) {
            return nullptr;
        }
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
        cpBodySetForce(c, cpBodyGetForce(b));
        cpBodySetTorque(c, cpBodyGetTorque(b));
        const Role role = RoleOf(b);
        if (b->velocity_func != cpBodyUpdateVelocity && parts.velocityFunctions) {
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
        if (!parts.segments && cpBodyGetType(source) == CP_BODY_TYPE_STATIC) {
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
        if (!parts.joints) {
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
        } else if (cpConstraintIsDampedSpring(j)) {
            c = cpDampedSpringNew(a, b, cpDampedSpringGetAnchorA(j), cpDampedSpringGetAnchorB(j),
                                  cpDampedSpringGetRestLength(j), cpDampedSpringGetStiffness(j),
                                  cpDampedSpringGetDamping(j));
        } else if (cpConstraintIsSimpleMotor(j)) {
            c = cpSimpleMotorNew(a, b, cpSimpleMotorGetRate(j));
        } else if (cpConstraintIsRotaryLimitJoint(j)) {
            c = cpRotaryLimitJointNew(a, b, cpRotaryLimitJointGetMin(j),
                                      cpRotaryLimitJointGetMax(j));
        } else if (cpConstraintIsGearJoint(j)) {
            c = cpGearJointNew(a, b, cpGearJointGetPhase(j), cpGearJointGetRatio(j));
        } else {
            ++unknownJoints;
            return;
        }
        cpConstraintSetMaxForce(c, cpConstraintGetMaxForce(j));
        cpConstraintSetErrorBias(c, cpConstraintGetErrorBias(j));
        cpConstraintSetMaxBias(c, cpConstraintGetMaxBias(j));
        cpConstraintSetCollideBodies(c, cpConstraintGetCollideBodies(j));
        cpSpaceAddConstraint(to, c);
    }
};

} // namespace

void SpaceCopier::CopySettings(cpSpace* from, cpSpace* to) {
    cpSpaceSetIterations(to, cpSpaceGetIterations(from));
    cpSpaceSetGravity(to, cpSpaceGetGravity(from));
    cpSpaceSetDamping(to, cpSpaceGetDamping(from));
    cpSpaceSetIdleSpeedThreshold(to, cpSpaceGetIdleSpeedThreshold(from));
    cpSpaceSetSleepTimeThreshold(to, cpSpaceGetSleepTimeThreshold(from));
    cpSpaceSetCollisionSlop(to, cpSpaceGetCollisionSlop(from));
    cpSpaceSetCollisionBias(to, cpSpaceGetCollisionBias(from));
    cpSpaceSetCollisionPersistence(to, cpSpaceGetCollisionPersistence(from));
}

int SpaceCopier::Copy(cpSpace* from, cpSpace* to, const CopyParts& parts) {
    Copier copier{from, to, parts, {}, {}, 0};
    copier.bodies.reserve(4096);
    cpSpaceEachBody(
        from, [](cpBody* b, void* d) { static_cast<Copier*>(d)->BodyFor(b); }, &copier);
    cpSpaceEachShape(
        from, [](cpShape* s, void* d) { static_cast<Copier*>(d)->Shape(s); }, &copier);
    cpSpaceEachConstraint(
        from, [](cpConstraint* j, void* d) { static_cast<Copier*>(d)->Joint(j); }, &copier);
    cpSpaceReindexStatic(to);
    cpSpaceSetUserData(to, new std::vector<cpBody*>(std::move(copier.outside)));
    return copier.unknownJoints;
}

void SpaceCopier::Free(cpSpace* copy) {
    std::vector<cpConstraint*> cs;
    std::vector<cpShape*> ss;
    std::vector<cpBody*> bs;
    cpSpaceEachConstraint(
        copy,
        [](cpConstraint* c, void* d) { static_cast<std::vector<cpConstraint*>*>(d)->push_back(c); },
        &cs);
    cpSpaceEachShape(
        copy, [](cpShape* s, void* d) { static_cast<std::vector<cpShape*>*>(d)->push_back(s); },
        &ss);
    cpSpaceEachBody(
        copy, [](cpBody* b, void* d) { static_cast<std::vector<cpBody*>*>(d)->push_back(b); }, &bs);
    for (cpConstraint* c : cs) {
        cpSpaceRemoveConstraint(copy, c);
        cpConstraintFree(c);
    }
    for (cpShape* s : ss) {
        cpSpaceRemoveShape(copy, s);
        cpShapeFree(s);
    }
    for (cpBody* b : bs) {
        cpSpaceRemoveBody(copy, b);
        cpBodyFree(b);
    }
    auto* outside = static_cast<std::vector<cpBody*>*>(cpSpaceGetUserData(copy));
    if (outside != nullptr) {
        for (cpBody* b : *outside) {
            cpBodyFree(b);
        }
        delete outside;
    }
    cpSpaceFree(copy);
}

void SpaceCopier::DampLikeTheGame(cpSpace* copy) {
    cpSpaceEachBody(
        copy,
        [](cpBody* b, void*) {
            auto role = static_cast<Role>(reinterpret_cast<std::intptr_t>(cpBodyGetUserData(b)));
            if ((role == Role::Ball || role == Role::Star || role == Role::Squid) &&
                !cpBodyIsSleeping(b)) {
                const cpVect v = cpBodyGetVelocity(b);
                // The game multiplies single-precision velocities by 0.98f, without waking the
                // body or restarting its idle time (the library's setter would do both).
                const float k = 0.98f;
                b->v = cpv(static_cast<float>(v.x) * k, static_cast<float>(v.y) * k);
            }
        },
        nullptr);
}
