#pragma once
// Reads a space's state from the physics library itself rather than from the wrapper's own
// copies and lists: what the library simulates is what counts.

#include <chipmunk/chipmunk.h>
#include <chipmunk/chipmunk_structs.h>

#include <vector>

#include "physics/CPObject.hpp"

inline cpSpace* LibrarySpace(const CPObject& space) { // non-owning
    return static_cast<cpSpace*>(space.GetHandle());
}

// True when the index is the library's spatial hash (a fresh hash shares its class).
inline bool IsSpatialHash(cpSpatialIndex* index) {
    cpSpatialIndex* probe = cpSpaceHashNew(
        10.0, 10, [](void* obj) { return cpShapeGetBB(static_cast<cpShape*>(obj)); }, nullptr);
    const bool same = index != nullptr && index->klass == probe->klass;
    cpSpatialIndexFree(probe);
    return same;
}

// The shapes the library holds in the space's static index.
inline std::vector<cpShape*> LibraryStaticShapes(const CPObject& space) {
    std::vector<cpShape*> shapes;
    cpSpatialIndexEach(
        LibrarySpace(space)->staticShapes,
        [](void* obj, void* data) {
            static_cast<std::vector<cpShape*>*>(data)->push_back(static_cast<cpShape*>(obj));
        },
        &shapes);
    return shapes;
}
