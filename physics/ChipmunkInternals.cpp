#include "physics/ChipmunkInternals.hpp"

// The library's private header, shipped for extensions, without the C linkage its public
// headers declare. It brings the structures' layouts, which change between releases without
// notice: the code below was written against 7.0.3 and is checked again before the version
// here is changed.
extern "C" {
#include <chipmunk/chipmunk_private.h>
}

static_assert(CP_VERSION_MAJOR == 7 && CP_VERSION_MINOR == 0 && CP_VERSION_RELEASE == 3,
              "ChipmunkInternals.cpp reads Chipmunk 7.0.3's private structures (the space's "
              "contact table, a circle's world centre); check them against this version first");

namespace {

// The library's equality of its contact table: a contact is found by its pair of shapes, in
// either order.
cpBool SameShapePair(const void* pair, const void* element) {
    const auto* shapes = static_cast<const cpShape* const*>(pair);
    const auto* arbiter = static_cast<const cpArbiter*>(element);
    return (shapes[0] == arbiter->a && shapes[1] == arbiter->b) ||
           (shapes[1] == arbiter->a && shapes[0] == arbiter->b);
}

} // namespace

void ForgetAllContacts(cpSpace* space) {
    cpArray* current = space->arbiters;
    for (int i = 0; i < current->num; ++i) {
        cpArbiterUnthread(static_cast<cpArbiter*>(current->arr[i]));
    }
    current->num = 0;
    cpHashSetEach(
        space->cachedArbiters,
        [](void* element, void* pool) {
            auto* arbiter = static_cast<cpArbiter*>(element);
            arbiter->contacts = nullptr;
            arbiter->count = 0;
            cpArrayPush(static_cast<cpArray*>(pool), arbiter);
        },
        space->pooledArbiters);
    cpHashSetFree(space->cachedArbiters);
    space->cachedArbiters = cpHashSetNew(0, &SameShapePair);
}

void DropContactList(cpBody* body) {
    body->arbiterList = nullptr;
}

int RememberedContacts(cpSpace* space) {
    return cpHashSetCount(space->cachedArbiters);
}

cpVect CircleWorldCenter(const cpShape* circle) {
    return reinterpret_cast<const cpCircleShape*>(circle)->tc;
}

cpHashValue ShapeAddedNumber(const cpShape* shape) {
    return shape->hashid;
}

void SetVelocityQuietly(cpBody* body, cpVect v) {
    body->v = v;
}

namespace {
// The tree moves a shape's box ahead by its body's velocity, as the library's own space does.
cpVect ShapeVelocity(void* shape) {
    return static_cast<cpShape*>(shape)->body->v;
}
void FileShape(void* shape, void* index) {
    auto* s = static_cast<cpShape*>(shape);
    cpSpatialIndexInsert(static_cast<cpSpatialIndex*>(index), s, s->hashid);
}
cpBB ShapeBB(void* shape) {
    return cpShapeGetBB(static_cast<cpShape*>(shape));
}
} // namespace

void UseBoundingBoxTrees(cpSpace* space) {
    cpSpatialIndex* staticShapes = cpBBTreeNew(ShapeBB, nullptr);
    cpSpatialIndex* dynamicShapes = cpBBTreeNew(ShapeBB, staticShapes);
    cpBBTreeSetVelocityFunc(dynamicShapes, ShapeVelocity);
    cpSpatialIndexEach(space->staticShapes, FileShape, staticShapes);
    cpSpatialIndexEach(space->dynamicShapes, FileShape, dynamicShapes);
    cpSpatialIndexFree(space->staticShapes);
    cpSpatialIndexFree(space->dynamicShapes);
    space->staticShapes = staticShapes;
    space->dynamicShapes = dynamicShapes;
}
