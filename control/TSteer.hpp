#pragma once

#include "physics/CPVect.hpp"

// Steering by dragging from the player squid: a press (a finger, the left button) that lands on
// the squid starts a drag, and while it is held the way from where it landed to where it is now
// pushes the squid as the arrow keys do, along the nearest of the eight directions the keys
// give; lifting it stops. Positions are window pixels of the picture: the view follows the
// squid, and a finger held still keeps pushing the same way.
class TSteer {
  public:
    static constexpr float kReach = 30.0f;    // pixels from the squid's centre still on it
    static constexpr float kDeadZone = 12.0f; // pixels the press travels before it steers

    // Starts a drag when p lies within kReach of the squid's centre; true if it did. A drag
    // already held is ended first.
    bool Begin(CPVect p, CPVect squid);
    void Move(CPVect p); // the press is at p now; nothing when no drag is held
    void End();          // the press was lifted: no push any more
    bool Active() const { return active_; }
    int X() const { return x_; } // -1, 0 or 1: as the Right key held minus the Left key held
    int Y() const { return y_; } // -1, 0 or 1: as Down minus Up

  private:
    bool active_ = false;
    CPVect start_ = ZeroVect;
    int x_ = 0, y_ = 0;
};
