#include "physics/CPDampedSpring.hpp"

#include "physics/CPBody.hpp"
#include "physics/ChipmunkGlue.hpp"

namespace {
cpConstraint* SpringOf(const CPObject& o) {
    return static_cast<cpConstraint*>(o.GetHandle());
}
} // namespace

std::shared_ptr<CPDampedSpring> CPDampedSpring::Create(const std::shared_ptr<CPBody>& a,
                                                       const std::shared_ptr<CPBody>& b,
                                                       CPVect anchor1, CPVect anchor2,
                                                       float restLength, float stiffness,
                                                       float damping) {
    std::shared_ptr<CPDampedSpring> joint(new CPDampedSpring());
    void* handle = nullptr;
    if (Usable(a, b)) {
        handle = cpDampedSpringNew(static_cast<cpBody*>(a->GetHandle()),
                                   static_cast<cpBody*>(b->GetHandle()), ToCp(anchor1),
                                   ToCp(anchor2), restLength, stiffness, damping);
    }
    joint->Attach(handle, a, b);
    return joint;
}

void CPDampedSpring::SetRestLength(float pixels) {
    if (cpConstraint* c = SpringOf(*this)) {
        cpDampedSpringSetRestLength(c, pixels);
    }
}

void CPDampedSpring::SetStiffness(float stiffness) {
    if (cpConstraint* c = SpringOf(*this)) {
        cpDampedSpringSetStiffness(c, stiffness);
    }
}

void CPDampedSpring::SetDamping(float damping) {
    if (cpConstraint* c = SpringOf(*this)) {
        cpDampedSpringSetDamping(c, damping);
    }
}

float CPDampedSpring::GetRestLength() const {
    const cpConstraint* c = SpringOf(*this);
    return c == nullptr ? 0.0f : static_cast<float>(cpDampedSpringGetRestLength(c));
}

float CPDampedSpring::GetStiffness() const {
    const cpConstraint* c = SpringOf(*this);
    return c == nullptr ? 0.0f : static_cast<float>(cpDampedSpringGetStiffness(c));
}

float CPDampedSpring::GetDamping() const {
    const cpConstraint* c = SpringOf(*this);
    return c == nullptr ? 0.0f : static_cast<float>(cpDampedSpringGetDamping(c));
}
