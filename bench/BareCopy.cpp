#include "bench/BareCopy.hpp"

#include "bench/SpaceCopier.hpp"

// The public header first, with its C++ operators; then the private one (for the space's table
// of pair rules), which declares no C linkage of its own.
#include <chipmunk/chipmunk.h>
extern "C" {
#include <chipmunk/chipmunk_private.h>
}

namespace {

cpBool Reject(cpArbiter*, cpSpace*, cpDataPointer) {
    return cpFalse;
}

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
    SpaceCopier::CopySettings(from, space);
    if (variant.iterations > 0) {
        cpSpaceSetIterations(space, variant.iterations);
    }
    if (!variant.tree) {
        cpSpaceUseSpatialHash(space, variant.hashCell > 0.0 ? variant.hashCell : 10.0,
                              variant.hashCount > 0 ? variant.hashCount : 2000);
    }
    cpHashSetEach(from->collisionHandlers, CopyHandler, space);
    CopyParts parts;
    parts.segments = variant.segments;
    parts.velocityFunctions = variant.velocityFunctions;
    parts.joints = variant.joints;
    SpaceCopier::Copy(from, space, parts);
}

BareCopy::~BareCopy() {
    SpaceCopier::Free(space);
}

void BareCopy::StepFrame() {
    const double dt = 1.0 / 60.0 / steps;
    for (int i = 0; i < steps; ++i) {
        cpSpaceStep(space, dt);
    }
}

void BareCopy::Damp() {
    SpaceCopier::DampLikeTheGame(space);
}
