#pragma once

#include "physics/CPJoint.hpp"

// Couples the two bodies' angles: b's angle times ratio minus a's angle stays at phase. Ratio 1
// and phase the present difference lock their turning together (with a pivot: a weld).
class CPGearJoint : public CPJoint {
  public:
    // phase in degrees; ratio nonzero (b turns 1/ratio as far as a). With a missing or freed
    // body the joint stays freed (adding it does nothing).
    static std::shared_ptr<CPGearJoint> Create(const std::shared_ptr<CPBody>& a,
                                               const std::shared_ptr<CPBody>& b, float phaseDegrees,
                                               float ratio);
    float GetPhase() const; // degrees; 0 once freed
    float GetRatio() const; // 0 once freed

  private:
    CPGearJoint() = default;
};
