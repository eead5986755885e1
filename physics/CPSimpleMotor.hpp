#pragma once

#include "physics/CPJoint.hpp"

// Keeps b turning relative to a at a set rate, with at most the joint's maximum force as torque
// (SetMaxForce; unbounded by default). Holds no position: pair it with a pivot for an axle.
class CPSimpleMotor : public CPJoint {
  public:
    // b's angular velocity minus a's is driven to degreesPerSecond (positive: b's angle grows,
    // clockwise on the picture with y down). With a missing or freed body the joint stays freed.
    static std::shared_ptr<CPSimpleMotor> Create(const std::shared_ptr<CPBody>& a,
                                                 const std::shared_ptr<CPBody>& b,
                                                 float degreesPerSecond);
    void SetRate(float degreesPerSecond); // nothing once freed
    float GetRate() const;                // degrees/s; 0 once freed

  private:
    CPSimpleMotor() = default;
};
