#pragma once

#include "physics/CPShape.hpp"

class CPCircleShape : public CPShape {
  public:
    // Circle of radius centred at offset (body coordinates). A freed or missing body gives a
    // shape that stays freed (adding it does nothing).
    static std::shared_ptr<CPCircleShape> Create(const std::shared_ptr<CPBody>& body, float radius,
                                                 CPVect offset);
    CPVect GetTransformedCenter() const; // world centre as of the last step or indexing
    float GetRadius() const { return radius_; }
    CPVect GetOffset() const { return offset_; }

  private:
    CPCircleShape() = default;
    float radius_ = 0.0f;
    CPVect offset_;
};
