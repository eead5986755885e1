#include "bench/BarePhysics.hpp"

#include "bench/SpaceCopier.hpp"

#include <chipmunk/chipmunk.h>
#include <chipmunk/chipmunk_structs.h>

#include <algorithm>
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

cpBool Reject(cpArbiter*, cpSpace*, cpDataPointer) {
    return cpFalse;
}

// The game may have switched its space from the hash it was given to the library's trees.
bool IndexIsHash(cpSpatialIndex* index) {
    cpSpatialIndex* probe = cpSpaceHashNew(
        10.0, 10, [](void* obj) { return cpShapeGetBB(static_cast<cpShape*>(obj)); }, nullptr);
    const bool same = index->klass == probe->klass;
    cpSpatialIndexFree(probe);
    return same;
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
    SpaceCopier::Free(space);
    space = nullptr;
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
    SpaceCopier::CopySettings(from, space);
    notes.clear();
    if (game->usesHash && IndexIsHash(from->staticShapes)) {
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

    const int unknownJoints = SpaceCopier::Copy(from, space, CopyParts{});
    if (unknownJoints > 0) {
        notes += "; " + std::to_string(unknownJoints) + " joints of other kinds not copied";
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
    SpaceCopier::DampLikeTheGame(space);
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
