#pragma once

#include "physics/CPJoint.hpp"

// Pins a point of one body to a point of another: both may turn about it. Used with a bounded
// force to let the pointer drag a body softly.
class CPPivotJoint : public CPJoint {
  public:
    // Joins anchor1 (in a's body coordinates) to anchor2 (in b's). With a missing or freed body
    // the joint stays freed (adding it does nothing).
    static std::shared_ptr<CPPivotJoint> Create(const std::shared_ptr<CPBody>& a,
                                                const std::shared_ptr<CPBody>& b, CPVect anchor1,
                                                CPVect anchor2);

  private:
    CPPivotJoint() = default;
};
