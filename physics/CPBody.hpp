#pragma once

#include <memory>
#include <vector>

#include "physics/CPObject.hpp"
#include "physics/CPVect.hpp"

class CPBody;
class CPShape;

// A body's state as the physics library holds it, at full precision (radians, pixels/s): what
// two builds replaying one recording must agree on bit for bit.
struct CPExactState {
    double x = 0.0, y = 0.0, angle = 0.0, vx = 0.0, vy = 0.0, angularVelocity = 0.0;
};
class CPJoint;

// Replaces a body's velocity integration: called once per step with the space's gravity,
// damping factor and dt. The result is ignored.
using CPVelocityFunction = int (*)(CPBody& body, CPVect gravity, float damping, float dt);

// A rigid body. Mass INFINITY makes a body that nothing moves (the level's static body, fixed
// anchors); a finite mass with moment INFINITY makes a body that never turns.
class CPBody : public CPObject {
  public:
    static std::shared_ptr<CPBody> Create(float mass, float moment); // at (0, 0), angle 0, at rest
    // A body moved only by the velocity it is given (no gravity, no impulse, no contact pushes
    // it) that still pushes what it touches or is joined to: the pointer's body of a grab.
    static std::shared_ptr<CPBody> CreateKinematic();
    ~CPBody() override;

    void SetPosition(CPVect p); // centre of gravity, world pixels
    CPVect GetPosition() const;
    float GetAngle() const;              // degrees
    void SetAngle(float degrees);        // degrees
    CPVect GetRot() const;               // (cos a, sin a) of the angle a
    CPVect LocalToWorld(CPVect p) const; // body coordinates -> world pixels
    CPVect WorldToLocal(CPVect p) const; // world pixels -> body coordinates
    void SetVelocity(CPVect v);          // pixels/s
    CPVect GetVelocity() const;
    // Velocity *= factor on an awake body, without restarting its idle time: slowing down is no
    // reason to stay awake. A sleeping body is left as it is (and asleep).
    void DampVelocity(float factor);
    CPExactState GetExactState() const; // all zero once freed
    // Puts the body at state exactly (no rounding through floats or degrees), as a saved scene
    // gives it; wakes the body. Nothing once freed.
    void SetExactState(const CPExactState& state);
    float GetMass() const;   // as given to Create (may be INFINITY)
    float GetMoment() const; // as given to Create (may be INFINITY)
    // New mass and moment for a simulated body (both finite, > 0); its speed stays. Nothing on
    // a static or kinematic body.
    void SetMassAndMoment(float mass, float moment);
    // Turns a body into a static one in place (it stops, its shapes move to the static index)
    // or back into a simulated one of the given mass and moment, at rest. What touches it
    // wakes. Nothing on a kinematic or freed body. Not during a step.
    void SetStatic(bool isStatic, float mass, float moment);
    // Wakes the sleeping bodies touching this static body: done around moving it, so that
    // what rested on it falls or is pushed as it would have been. Nothing on other bodies.
    void WakeTouching();
    void SetData(void* data) { data_ = data; } // non-owning user data
    void* GetData() const { return data_; }    // nullptr when none was set
    // Impulse j (pixel*mass/s) at offset r from the centre, in world orientation.
    void ApplyImpulse(CPVect j, CPVect r);
    void ResetForces(); // accumulated force and torque become zero
    // The library's default integration: v = v*damping + (gravity + f/m)*dt, likewise for spin.
    void UpdateVelocity(CPVect gravity, float damping, float dt);
    // fn runs at every step instead of the default integration; nullptr restores the default.
    void SetVelocityFunction(CPVelocityFunction fn);
    CPVelocityFunction GetVelocityFunction() const { return velFunction; }
    // Frees the body together with every shape and joint made on it (they report IsFreed());
    // takes them all out of their space. Harmless when already freed.
    void Free();

    bool IsStaticBody() const { return static_; } // infinite mass: never simulated
    bool IsSleeping() const; // resting and left out of the steps (the space's sleeping is on)
    bool IsKinematicBody() const { return kinematic_; } // moved only by its own velocity

  private:
    friend class CPShape;
    friend class CPJoint;
    friend class CPSpace;
    CPBody() = default;
    void Release() override;
    void ReindexIfStatic();

    CPVelocityFunction velFunction = nullptr;
    void* data_ = nullptr;
    float mass_ = 0.0f, moment_ = 0.0f;
    bool static_ = false;
    bool kinematic_ = false;
    std::vector<CPShape*> shapes_; // non-owning: live shapes made on this body
    std::vector<CPJoint*> joints_; // non-owning: live joints that hold this body
};
