#pragma once

#include <memory>

#include "control/TGrab.hpp"
#include "control/TSteer.hpp"
#include "media/input/Input.hpp"

class TControl;
class TLevel;

// Fingers on the picture: a finger that lands on the player squid steers it by its drag (TSteer);
// one that lands on another body grabs it (each finger its own body, on
// its own joint) and throws it with the finger's speed when lifted; one that lands on empty space
// spawns the selected kind there, and, held there, spawns the stream the held right button
// spawns. Reads the fingers' slots of the input layer once a frame.
class TTouch {
  public:
    static constexpr int kHoldFrames = 12; // frames a finger stays before it streams (0.2 s)

    // Keeps the level (non-owning use of its foreground layer each frame); nothing held.
    void init(std::shared_ptr<TLevel> level);
    // One frame of the fingers, after TControl::updateControls: spawns with control's selected
    // kind (a landing with none selected sets control.pressedUnselected). advances: this frame's
    // physics runs (grabs then follow their fingers, else hold still).
    void update(TControl& control, bool advances);
    // Ends every grab without touching the bodies (before they are cleared).
    void DropAll();
    // Bodies held by fingers now.
    int Grabs() const;
    // The grab of finger slot (0..FingerSlots-1); for tests and drawing.
    const TGrab& GrabOf(int slot) const { return fingers_[slot].grab; }

  private:
    enum class Mode { None, Spawn, Grab, Steer };
    struct Finger {
        Mode mode = Mode::None;
        int frames = 0; // frames held on empty space
        TGrab grab;
        TSteer steer;
    };

    std::shared_ptr<TLevel> level_;
    Finger fingers_[FingerSlots];
};
