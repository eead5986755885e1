#include "physics/CPGearJoint.hpp"

#include "physics/CPBody.hpp"
#include "physics/ChipmunkGlue.hpp"

std::shared_ptr<CPGearJoint> CPGearJoint::Create(const std::shared_ptr<CPBody>& a,
                                                 const std::shared_ptr<CPBody>& b,
                                                 float phaseDegrees, float ratio) {
    std::shared_ptr<CPGearJoint> joint(new CPGearJoint());
    void* handle = nullptr;
    // The library divides by the ratio.
    if (Usable(a, b) && ratio != 0.0f) {
        handle = cpGearJointNew(static_cast<cpBody*>(a->GetHandle()),
                                static_cast<cpBody*>(b->GetHandle()),
                                static_cast<cpFloat>(phaseDegrees) / kDegreesPerRadian, ratio);
    }
    joint->Attach(handle, a, b);
    return joint;
}

float CPGearJoint::GetPhase() const {
    const auto* c = static_cast<const cpConstraint*>(GetHandle());
    return c == nullptr ? 0.0f : static_cast<float>(cpGearJointGetPhase(c) * kDegreesPerRadian);
}

float CPGearJoint::GetRatio() const {
    const auto* c = static_cast<const cpConstraint*>(GetHandle());
    return c == nullptr ? 0.0f : static_cast<float>(cpGearJointGetRatio(c));
}
