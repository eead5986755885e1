#include "physics/CPShape.hpp"

#include <algorithm>

#include "physics/CPBody.hpp"
#include "physics/CPSpace.hpp"
#include "physics/ChipmunkGlue.hpp"
#include "physics/ChipmunkInternals.hpp"

namespace {
cpShape* ShapeOf(const CPObject& o) {
    return static_cast<cpShape*>(o.GetHandle());
}
} // namespace

void CPShape::Attach(void* handle, const std::shared_ptr<CPBody>& body) {
    body_ = body;
    if (handle == nullptr) {
        return;
    }
    auto* shape = static_cast<cpShape*>(handle);
    cpShapeSetUserData(shape, this);
    elasticity_ = static_cast<float>(cpShapeGetElasticity(shape));
    friction_ = static_cast<float>(cpShapeGetFriction(shape));
    cpObjectPtr = handle;
    body->shapes_.push_back(this);
}

CPShape::~CPShape() {
    Release();
}

void CPShape::Release() {
    cpShape* handle = ShapeOf(*this);
    if (handle == nullptr) {
        return;
    }
    // A space being destroyed is already gone from the library: nothing to take out of it.
    cpSpace* space = cpShapeGetSpace(handle);
    if (space != nullptr && CPSpace::TakenOutOneByOne(*this)) {
        CPSpace::NoteShapeRemoval(RememberedContacts(space));
        cpSpaceRemoveShape(space, handle);
    }
    cpShapeFree(handle);
    cpObjectPtr = nullptr;
    auto& siblings = body_->shapes_;
    siblings.erase(std::find(siblings.begin(), siblings.end(), this));
    CPSpace::Unlist(*this); // may drop the space's reference: nothing of this object is used after
}

void CPShape::Free() {
    if (IsFreed()) {
        return;
    }
    auto keep = shared_from_this(); // the space may hold the last reference
    Release();
}

void CPShape::SetElasticity(float e) {
    elasticity_ = e;
    if (cpShape* s = ShapeOf(*this)) {
        cpShapeSetElasticity(s, e);
    }
}

void CPShape::SetFriction(float u) {
    friction_ = u;
    if (cpShape* s = ShapeOf(*this)) {
        cpShapeSetFriction(s, u);
    }
}

void CPShape::SetCollisionType(int type) {
    collisionType_ = type;
    if (cpShape* s = ShapeOf(*this)) {
        cpShapeSetCollisionType(s, static_cast<cpCollisionType>(type));
    }
}

int CPShape::GetCollisionType() const {
    return collisionType_;
}
float CPShape::GetElasticity() const {
    return elasticity_;
}
float CPShape::GetFriction() const {
    return friction_;
}
std::shared_ptr<CPBody> CPShape::GetBody() const {
    return body_;
}
