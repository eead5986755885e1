#pragma once

#include "physics/CPJoint.hpp"

class CPPinJoint : public CPJoint {
  public:
    // Keeps the anchors (in a's and b's body coordinates) at their distance of now. With a
    // missing or freed body the joint stays freed (adding it does nothing).
    static std::shared_ptr<CPPinJoint> Create(const std::shared_ptr<CPBody>& a,
                                              const std::shared_ptr<CPBody>& b, CPVect anchor1,
                                              CPVect anchor2);

  private:
    CPPinJoint() = default;
};
