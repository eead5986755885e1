#pragma once

#include <memory>

#include "physics/CPVect.hpp"

class CPBody;
class CPPivotJoint;
class CPSpace;

// Grab and throw: a body under the pointer is held by a pivot joint of bounded force from a
// kinematic body that follows the pointer, so it swings, collides and pulls what is joined to
// it; releasing it gives it the pointer's velocity. Fixed bodies (the level, the border, fixed
// chain anchors) cannot be grabbed.
class TGrab {
  public:
    static constexpr float kReach = 4.0f;        // pixels outside a shape that still grab it
    static constexpr float kMaxForce = 30000.0f; // mass * pixels/s^2 the pointer may pull with
    static constexpr int kFramesPerSecond = 60;  // the frame's simulated time is 1/60 s

    ~TGrab();
    // Grabs the movable body nearest to world point p in space (within kReach pixels) at that
    // point. False, and nothing held, when there is none. Ends a grab already held first.
    bool Begin(const std::shared_ptr<CPSpace>& space, CPVect p);
    // Once per frame whose physics will run: the pointer's body travels from where the pointer
    // was to p during the frame's steps. In a frame without steps, call Hold(p) instead.
    void Follow(CPVect p);
    // Once per frame whose physics stays still (paused): places the pointer's body at p.
    void Hold(CPVect p);
    // Ends the grab and gives the body the pointer's velocity over the last few running frames.
    void Release();
    // Ends the grab without touching the body (it may be freed). Harmless when nothing is held.
    void Drop();
    // Ends the grab when the held body was freed since (its owner was removed). True if held.
    bool Check();
    bool Active() const { return joint_ != nullptr; }
    // The held body (nullptr when none). Non-owning view for tests and drawing.
    const CPBody* Body() const { return body_.get(); }
    // Pointer velocity the next Release would give, pixels/s.
    CPVect PointerVelocity() const;
    // The grab line from the held point to the pointer and a small ring at the held point, in
    // yellow, in world pixels with the current origin; leaves the colour white. Nothing when no
    // body is held.
    void DrawLine() const;

  private:
    static constexpr int kHistory = 4; // pointer positions kept for the throw velocity

    std::shared_ptr<CPBody> mouse_;
    std::shared_ptr<CPBody> body_;
    std::shared_ptr<CPPivotJoint> joint_;
    CPVect anchor_ = ZeroVect; // held point in the body's coordinates
    CPVect history_[kHistory] = {};
    int historyCount_ = 0; // positions of running frames recorded, up to kHistory
};
