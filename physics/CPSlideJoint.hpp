#pragma once

#include "physics/CPJoint.hpp"

class CPSlideJoint : public CPJoint {
  public:
    // Keeps the anchors' distance within [min, max] pixels. With a missing or freed body the
    // joint stays freed (adding it does nothing).
    static std::shared_ptr<CPSlideJoint> Create(const std::shared_ptr<CPBody>& a,
                                                const std::shared_ptr<CPBody>& b, CPVect anchor1,
                                                CPVect anchor2, float min, float max);

  private:
    CPSlideJoint() = default;
};
