#pragma once

#include "physics/CPJoint.hpp"

// A spring with a damper between an anchor of each body: pulls or pushes along the line between
// them towards the rest length.
class CPDampedSpring : public CPJoint {
  public:
    // anchor1 in a's body coordinates, anchor2 in b's; restLength in pixels, stiffness in
    // mass/s^2 (force per pixel of stretch), damping in mass/s (force per pixel/s of stretching).
    // With a missing or freed body the joint stays freed (adding it does nothing).
    static std::shared_ptr<CPDampedSpring> Create(const std::shared_ptr<CPBody>& a,
                                                  const std::shared_ptr<CPBody>& b, CPVect anchor1,
                                                  CPVect anchor2, float restLength, float stiffness,
                                                  float damping);
    void SetRestLength(float pixels); // nothing once freed
    void SetStiffness(float stiffness);
    void SetDamping(float damping);
    float GetRestLength() const; // 0 once freed
    float GetStiffness() const;
    float GetDamping() const;

  private:
    CPDampedSpring() = default;
};
