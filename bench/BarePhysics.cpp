#include "bench/BarePhysics.hpp"

#include <chipmunk/chipmunk.h>
#include <chipmunk/chipmunk_structs.h>

#include <algorithm>
#include <unordered_map>
#include <vector>

// ---- Hooks on the library calls the game makes (linked with -Wl,--wrap=...) ---------------

namespace {
struct SeenSpace {
    explicit SeenSpace(cpSpace* s) : space(s) {}
    cpSpace* space;
    bool usesHash = false;
    double hashDim = 0.0;
    int hashCount = 0;
    std::vector<cpCollisionHandler*> handlers;
};
std::vector<SeenSpace>& Seen() {
    static std::vector<SeenSpace> seen;
    return seen;
}
bool copying = false; // the copy's own library calls are not the game's
SeenSpace* Find(cpSpace* s) {
    for (SeenSpace& e : Seen()) {
        if (e.space == s) {
            return &e;
        }
    }
    return nullptr;
}
} // namespace

extern "C" {
cpSpace* __real_cpSpaceNew(void);
void __real_cpSpaceUseSpatialHash(cpSpace* space, cpFloat dim, int count);
cpCollisionHandler* __real_cpSpaceAddCollisionHandler(cpSpace* space, cpCollisionType a,
                                                      cpCollisionType b);
void __real_cpSpaceFree(cpSpace* space);

cpSpace* __wrap_cpSpaceNew(void) {
    cpSpace* s = __real_cpSpaceNew();
    if (!copying) {
        Seen().emplace_back(s);
    }
    return s;
}
void __wrap_cpSpaceUseSpatialHash(cpSpace* space, cpFloat dim, int count) {
    if (SeenSpace* e = copying ? nullptr : Find(space)) {
        e->usesHash = true;
        e->hashDim = dim;
        e->hashCount = count;
    }
    __real_cpSpaceUseSpatialHash(space, dim, count);
}
cpCollisionHandler* __wrap_cpSpaceAddCollisionHandler(cpSpace* space, cpCollisionType a,
                                                      cpCollisionType b) {
    cpCollisionHandler* h = __real_cpSpaceAddCollisionHandler(space, a, b);
    if (SeenSpace* e = copying ? nullptr : Find(space)) {
        if (std::find(e->handlers.begin(), e->handlers.end(), h) == e->handlers.end()) {
            e->handlers.push_back(h);
        }
    }
    return h;
}
void __wrap_cpSpaceFree(cpSpace* space) {
    auto& seen = Seen();
    seen.erase(std::remove_if(seen.begin(), seen.end(),
                              [space](const SeenSpace& e) { return e.space == space; }),
               seen.end());
    __real_cpSpaceFree(space);
}
}

// ---- The copy -------------------------------------------------------------------------------

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
cpBool Reject(cpArbiter*, cpSpace*, cpDataPointer) {
    return cpFalse;
}

// The collision types carried by a body's shapes decide its role (see the body classes).
enum class Role { Other, Ball, Cube, Star, Squid, Tentacle };
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

SeenSpace* GameSpace() {
    SeenSpace* best = nullptr;
    int most = -1;
    for (SeenSpace& e : Seen()) {
        int n = 0;
        cpSpaceEachShape(
            e.space, [](cpShape*, void* d) { ++*static_cast<int*>(d); }, &n);
        if (n > most) {
            most = n;
            best = &e;
        }
    }
    return best;
}

struct Copier {
    cpSpace* from;
    cpSpace* to;
    std::unordered_map<cpBody*, cpBody*> bodies;
    std::vector<cpBody*> owned; // made here and not in the copy space: freed with it
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
        if (b->velocity_func != cpBodyUpdateVelocity) {
            Role r = RoleOf(b);
            cpBodySetVelocityUpdateFunc(c, r == Role::Squid ? SquidVelocity : TentacleVelocity);
        }
        cpBodySetUserData(c,
                          reinterpret_cast<cpDataPointer>(static_cast<std::intptr_t>(RoleOf(b))));
        bodies.emplace(b, c);
        if (cpSpaceContainsBody(from, b)) {
            cpSpaceAddBody(to, c);
        } else {
            owned.push_back(c);
        }
        return c;
    }

    void Shape(cpShape* s) {
        cpBody* body = BodyFor(cpShapeGetBody(s));
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

int CountBodies(cpSpace* s) {
    int n = 0;
    cpSpaceEachBody(
        s, [](cpBody*, void* d) { ++*static_cast<int*>(d); }, &n);
    return n;
}
int CountShapes(cpSpace* s) {
    int n = 0;
    cpSpaceEachShape(
        s, [](cpShape*, void* d) { ++*static_cast<int*>(d); }, &n);
    return n;
}
int CountJoints(cpSpace* s) {
    int n = 0;
    cpSpaceEachConstraint(
        s, [](cpConstraint*, void* d) { ++*static_cast<int*>(d); }, &n);
    return n;
}

} // namespace

BarePhysics::~BarePhysics() {
    Destroy();
}

void BarePhysics::Destroy() {
    if (space == nullptr) {
        return;
    }
    copying = true;
    // Free everything the copy made: constraints, shapes, bodies, then the space.
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
    auto* owned = static_cast<std::vector<cpBody*>*>(cpSpaceGetUserData(space));
    if (owned != nullptr) {
        for (cpBody* b : *owned) {
            cpBodyFree(b);
        }
        delete owned;
    }
    __real_cpSpaceFree(space);
    space = nullptr;
    copying = false;
}

bool BarePhysics::CopyGameSpace() {
    Destroy();
    SeenSpace* game = GameSpace();
    if (game == nullptr) {
        error = "no physics space was created by the game";
        return false;
    }
    copying = true;
    space = __real_cpSpaceNew();
    cpSpace* from = game->space;
    cpSpaceSetIterations(space, cpSpaceGetIterations(from));
    cpSpaceSetGravity(space, cpSpaceGetGravity(from));
    cpSpaceSetDamping(space, cpSpaceGetDamping(from));
    cpSpaceSetIdleSpeedThreshold(space, cpSpaceGetIdleSpeedThreshold(from));
    cpSpaceSetSleepTimeThreshold(space, cpSpaceGetSleepTimeThreshold(from));
    cpSpaceSetCollisionSlop(space, cpSpaceGetCollisionSlop(from));
    cpSpaceSetCollisionBias(space, cpSpaceGetCollisionBias(from));
    cpSpaceSetCollisionPersistence(space, cpSpaceGetCollisionPersistence(from));
    notes.clear();
    if (game->usesHash) {
        __real_cpSpaceUseSpatialHash(space, game->hashDim, game->hashCount);
        notes += "spatial hash " + std::to_string(game->hashDim) + " x " +
                 std::to_string(game->hashCount) + "; ";
    } else {
        notes += "default bounding-box tree; ";
    }
    int rejecting = 0;
    for (cpCollisionHandler* h : game->handlers) {
        cpCollisionHandler* c = __real_cpSpaceAddCollisionHandler(space, h->typeA, h->typeB);
        // A pair whose handler was given callbacks never collides in this game; the copy
        // rejects it in the same callback slot with a plain function.
        cpCollisionHandler* def = __real_cpSpaceAddCollisionHandler(space, 0x7fff0001, 0x7fff0002);
        if (h->beginFunc != def->beginFunc) {
            c->beginFunc = Reject;
            ++rejecting;
        }
        if (h->preSolveFunc != def->preSolveFunc) {
            c->preSolveFunc = Reject;
            ++rejecting;
        }
    }
    notes += std::to_string(game->handlers.size()) + " pair handlers (" +
             std::to_string(rejecting) + " rejecting callbacks)";

    Copier copier{from, space, {}, {}, 0};
    copier.bodies.reserve(4096);
    cpSpaceEachBody(
        from, [](cpBody* b, void* d) { static_cast<Copier*>(d)->BodyFor(b); }, &copier);
    cpSpaceEachShape(
        from, [](cpShape* s, void* d) { static_cast<Copier*>(d)->Shape(s); }, &copier);
    cpSpaceEachConstraint(
        from, [](cpConstraint* j, void* d) { static_cast<Copier*>(d)->Joint(j); }, &copier);
    cpSpaceReindexStatic(space);
    cpSpaceSetUserData(space, new std::vector<cpBody*>(std::move(copier.owned)));
    if (copier.unknownJoints > 0) {
        notes += "; " + std::to_string(copier.unknownJoints) + " joints of other kinds not copied";
    }
    bodies = CountBodies(space);
    shapes = CountShapes(space);
    joints = CountJoints(space);
    copying = false;
    return true;
}

void BarePhysics::StepFrame(int steps, double dt) {
    for (int i = 0; i < steps; ++i) {
        cpSpaceStep(space, dt);
    }
}

void BarePhysics::DampLikeTheGame() {
    cpSpaceEachBody(
        space,
        [](cpBody* b, void*) {
            auto role = static_cast<Role>(reinterpret_cast<std::intptr_t>(cpBodyGetUserData(b)));
            if ((role == Role::Ball || role == Role::Star || role == Role::Squid) &&
                !cpBodyIsSleeping(b)) {
                cpVect v = cpBodyGetVelocity(b);
                // The game multiplies single-precision velocities by 0.98f, without waking the
                // body or restarting its idle time (the library's setter would do both).
                const float k = 0.98f;
                b->v = cpv(static_cast<float>(v.x) * k, static_cast<float>(v.y) * k);
            }
        },
        nullptr);
}

int BarePhysics::GameBodies() {
    SeenSpace* g = GameSpace();
    return g ? CountBodies(g->space) : 0;
}
int BarePhysics::GameShapes() {
    SeenSpace* g = GameSpace();
    return g ? CountShapes(g->space) : 0;
}
int BarePhysics::GameJoints() {
    SeenSpace* g = GameSpace();
    return g ? CountJoints(g->space) : 0;
}
