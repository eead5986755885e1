#pragma once

#include <memory>

#include "physics/CPObject.hpp"
#include "physics/CPVect.hpp"

class CPBody;

// Base of the collision shapes. A shape keeps its body wrapper alive.
class CPShape : public CPObject {
  public:
    ~CPShape() override;

    void SetElasticity(float e);
    void SetFriction(float u);
    void SetCollisionType(int type); // default 0
    int GetCollisionType() const;
    float GetElasticity() const;
    float GetFriction() const;
    std::shared_ptr<CPBody> GetBody() const;     // the very wrapper given to Create
    int IsStatic() const { return staticFlag_; } // 1 once added with AddStaticShape
    void Free(); // takes the shape out of its space and destroys it; harmless when already freed

  protected:
    CPShape() = default;
    // For the kinds' Create: takes ownership of the library shape made on body.
    void Attach(void* handle, const std::shared_ptr<CPBody>& body);
    void Release() override;

  private:
    friend class CPSpace;
    friend class CPBody;
    std::shared_ptr<CPBody> body_;
    int staticFlag_ = 0;
    int collisionType_ = 0;
    float elasticity_ = 0.0f, friction_ = 0.0f;
};
