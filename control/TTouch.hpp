#pragma once

#include <memory>

#include "control/TGrab.hpp"
#include "control/TSteer.hpp"
#include "media/input/Input.hpp"

class TControl;
class TEditor;
class TLevel;

// Fingers on the picture: a finger that lands on the player squid steers it by its drag (TSteer);
// one that lands on another body grabs it (each finger its own body, on
// its own joint) and throws it with the finger's speed when lifted; one that lands on empty space
// spawns the selected kind there, and, held there, spawns the stream the held right button
// spawns. In edit mode one finger paints (TEditor) as the left button does, and a finger that
// lands while another is down grabs. Outside edit mode a finger that lands on empty space while
// another rests on empty space makes a pinch of the two: their spread zooms (a step per quarter
// octave of it) and their midpoint drags the view. Reads the fingers' slots of the input layer once
// a frame.
class TTouch {
  public:
    static constexpr int kHoldFrames = 12; // frames a finger stays before it streams (0.2 s)

    // Keeps the level (non-owning use of its foreground layer each frame); nothing held.
    void init(std::shared_ptr<TLevel> level);
    // One frame of the fingers, after TControl::updateControls: spawns with controller's
    // selected kind (a landing with none selected sets its pressedUnselected). advances: this
    // frame's physics runs (grabs then follow their fingers, else hold still). editMode
    // (non-owning, may be nullptr): while it is active a finger alone paints with it.
    void update(TControl& controller, bool advances, TEditor* editMode = nullptr);
    // Ends every grab without touching the bodies (before they are cleared).
    void DropAll();
    // Bodies held by fingers now.
    int Grabs() const;
    // The grab of finger slot (0..FingerSlots-1); for tests and drawing.
    const TGrab& GrabOf(int slot) const { return fingers_[slot].grab; }

  private:
    enum class Mode { None, Spawn, Grab, Steer, Paint, View };
    struct Finger {
        Mode mode = Mode::None;
        int frames = 0; // frames held on empty space
        TGrab grab;
        TSteer steer;
    };

    // True when a finger other than slot's is down and doing something.
    bool otherFingerDown(int slot) const;
    // Ends every finger's painting; true when one was painting.
    bool cancelPainting();
    // A finger of slot resting on empty space, other than `slot`; -1 when none.
    int restingFinger(int slot) const;
    // Starts the pinch of slots a and b as they are now.
    void beginPinch(int a, int b);
    // Follows the pinch's fingers, or ends it when one of them lifted.
    void updatePinch();

    std::shared_ptr<TLevel> level_;
    Finger fingers_[FingerSlots];
    // The pinch: its two slots (-1: none), their distance (picture pixels) and the zoom step
    // when it began, and the world point then under their midpoint, which stays under it.
    int pinchA_ = -1, pinchB_ = -1;
    double pinchSpread_ = 0.0;
    int pinchStep_ = 0;
    CPVect pinchWorld_ = ZeroVect;
};
