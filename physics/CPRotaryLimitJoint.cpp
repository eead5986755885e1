#include "physics/CPRotaryLimitJoint.hpp"

#include "physics/CPBody.hpp"
#include "physics/ChipmunkGlue.hpp"

std::shared_ptr<CPRotaryLimitJoint> CPRotaryLimitJoint::Create(const std::shared_ptr<CPBody>& a,
                                                               const std::shared_ptr<CPBody>& b,
                                                               float minDegrees, float maxDegrees) {
    std::shared_ptr<CPRotaryLimitJoint> joint(new CPRotaryLimitJoint());
    void* handle = nullptr;
    if (Usable(a, b)) {
        handle = cpRotaryLimitJointNew(static_cast<cpBody*>(a->GetHandle()),
                                       static_cast<cpBody*>(b->GetHandle()),
                                       static_cast<cpFloat>(minDegrees) / kDegreesPerRadian,
                                       static_cast<cpFloat>(maxDegrees) / kDegreesPerRadian);
    }
    joint->Attach(handle, a, b);
    return joint;
}

float CPRotaryLimitJoint::GetMin() const {
    const auto* c = static_cast<const cpConstraint*>(GetHandle());
    return c == nullptr ? 0.0f
                        : static_cast<float>(cpRotaryLimitJointGetMin(c) * kDegreesPerRadian);
}

float CPRotaryLimitJoint::GetMax() const {
    const auto* c = static_cast<const cpConstraint*>(GetHandle());
    return c == nullptr ? 0.0f
                        : static_cast<float>(cpRotaryLimitJointGetMax(c) * kDegreesPerRadian);
}
