#pragma once

#include "physics/CPShape.hpp"

class CPSegmentShape : public CPShape {
  public:
    // Segment from a to b (body coordinates) thickened by radius.
    static std::shared_ptr<CPSegmentShape> Create(const std::shared_ptr<CPBody>& body, CPVect a,
                                                  CPVect b, float radius);
    CPVect GetEndPointA() const { return a_; } // body coordinates
    CPVect GetEndPointB() const { return b_; }
    float GetRadius() const { return radius_; }

  private:
    CPSegmentShape() = default;
    CPVect a_, b_;
    float radius_ = 0.0f;
};
