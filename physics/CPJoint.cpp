#include "physics/CPJoint.hpp"

#include <algorithm>

#include "physics/CPBody.hpp"
#include "physics/CPSpace.hpp"
#include "physics/ChipmunkGlue.hpp"

namespace {
cpConstraint* JointOf(const CPObject& o) {
    return static_cast<cpConstraint*>(o.GetHandle());
}

void Unlink(std::vector<CPJoint*>& joints, CPJoint* joint) {
    auto it = std::find(joints.begin(), joints.end(), joint);
    if (it != joints.end()) {
        joints.erase(it);
    }
}
} // namespace

bool CPJoint::Usable(const std::shared_ptr<CPBody>& a, const std::shared_ptr<CPBody>& b) {
    // A joint needs two living bodies, and the library cannot solve one between two bodies
    // that nothing moves.
    return a && b && a != b && !a->IsFreed() && !b->IsFreed() &&
           !(a->IsStaticBody() && b->IsStaticBody());
}

void CPJoint::Attach(void* handle, const std::shared_ptr<CPBody>& a,
                     const std::shared_ptr<CPBody>& b) {
    a_ = a;
    b_ = b;
    if (handle == nullptr) {
        return;
    }
    cpConstraintSetUserData(static_cast<cpConstraint*>(handle), this);
    cpObjectPtr = handle;
    a->joints_.push_back(this);
    b->joints_.push_back(this);
}

CPJoint::~CPJoint() {
    Release();
}

void CPJoint::Release() {
    cpConstraint* handle = JointOf(*this);
    if (handle == nullptr) {
        return;
    }
    // A space being destroyed is already gone from the library: nothing to take out of it.
    cpSpace* space = cpConstraintGetSpace(handle);
    if (space != nullptr && CPSpace::TakenOutOneByOne(*this)) {
        cpSpaceRemoveConstraint(space, handle);
    }
    cpConstraintFree(handle);
    cpObjectPtr = nullptr;
    Unlink(a_->joints_, this);
    Unlink(b_->joints_, this);
    CPSpace::Unlist(*this); // may drop the space's reference: nothing of this object is used after
}

void CPJoint::SetMaxForce(float force) {
    if (cpConstraint* c = JointOf(*this)) {
        cpConstraintSetMaxForce(c, force);
    }
}

void CPJoint::SetErrorBias(float remaining) {
    if (cpConstraint* c = JointOf(*this)) {
        cpConstraintSetErrorBias(c, remaining);
    }
}

void CPJoint::SetCollideBodies(bool collide) {
    if (cpConstraint* c = JointOf(*this)) {
        cpConstraintSetCollideBodies(c, collide ? cpTrue : cpFalse);
    }
}

float CPJoint::GetImpulse() const {
    cpConstraint* c = JointOf(*this);
    return c == nullptr ? 0.0f : static_cast<float>(cpfabs(cpConstraintGetImpulse(c)));
}

void CPJoint::Free() {
    if (IsFreed()) {
        return;
    }
    auto keep = shared_from_this(); // the space may hold the last reference
    Release();
}
