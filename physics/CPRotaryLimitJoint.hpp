#pragma once

#include "physics/CPJoint.hpp"

// Keeps b's angle minus a's angle within [min, max]: a stop for a hinge, or with min == max a
// fixed relative angle (with a pivot: a weld).
class CPRotaryLimitJoint : public CPJoint {
  public:
    // min <= max, in degrees. With a missing or freed body the joint stays freed.
    static std::shared_ptr<CPRotaryLimitJoint> Create(const std::shared_ptr<CPBody>& a,
                                                      const std::shared_ptr<CPBody>& b,
                                                      float minDegrees, float maxDegrees);
    float GetMin() const; // degrees; 0 once freed
    float GetMax() const; // degrees; 0 once freed

  private:
    CPRotaryLimitJoint() = default;
};
