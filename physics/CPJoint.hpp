#pragma once

#include <memory>

#include "physics/CPObject.hpp"
#include "physics/CPVect.hpp"

class CPBody;

// Base of the joints. A joint keeps its two body wrappers alive. It is freed (IsFreed()) by its
// own Free or when either of its bodies is freed.
class CPJoint : public CPObject {
  public:
    ~CPJoint() override;
    std::shared_ptr<CPBody> GetBodyA() const { return a_; }
    std::shared_ptr<CPBody> GetBodyB() const { return b_; }
    void Free(); // takes the joint out of its space and destroys it; harmless when already freed
    // Largest force (mass * pixels/s^2) the joint may use; beyond it the joint gives way.
    void SetMaxForce(float force);
    // Fraction of the joint's error left uncorrected after one second (0..1; smaller = stiffer).
    void SetErrorBias(float remaining);
    // Whether shapes of the two bodies still collide (true by default). Off for bodies joined
    // where they overlap, as an axle through a wheel and a frame: else they push apart.
    void SetCollideBodies(bool collide);
    // The size of the impulse (mass * pixels/s) the joint applied in the last step; divided by
    // that step's length, the force it held. 0 once freed or before the first step.
    float GetImpulse() const;

  protected:
    CPJoint() = default;
    // For the kinds' Create: takes ownership of the library joint between a and b.
    void Attach(void* handle, const std::shared_ptr<CPBody>& a, const std::shared_ptr<CPBody>& b);
    static bool Usable(const std::shared_ptr<CPBody>& a, const std::shared_ptr<CPBody>& b);
    void Release() override;

  private:
    friend class CPSpace;
    std::shared_ptr<CPBody> a_, b_;
};
