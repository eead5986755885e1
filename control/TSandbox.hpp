#pragma once

#include <memory>

#include "control/TGrab.hpp"
#include "media/input/Key.hpp"

class TLevel;

// The sandbox controls, on keys and buttons the game itself leaves free: P pauses and resumes
// the physics, N steps one frame while paused, R asks for a reset, F1 or H shows the help panel,
// F12 asks for a screenshot, Ctrl+S for the scene to be saved, the middle button (or Shift +
// left button) grabs and throws a body.
// It reads the input, keeps its state and moves the grabbed body; the frame acts on the
// requests (reset, screenshot).
class TSandbox {
  public:
    bool paused = false;              // the physics stands still (N steps it)
    bool helpVisible = false;         // the help panel is shown
    bool stepping = false;            // this frame: paused, and N asked for one frame of physics
    bool resetRequested = false;      // this frame: R was pressed
    bool screenshotRequested = false; // this frame: F12 was pressed
    bool saveSceneRequested = false;  // this frame: Ctrl+S was pressed
    int frames = 0;                   // frames handled since init
    TGrab grab;

    // Keeps the level (non-owning use of its foreground layer each frame); nothing paused.
    void init(std::shared_ptr<TLevel> level);
    // One frame of the sandbox keys and buttons; call before TControl::updateControls, which
    // then sees Shift + left button as taken (no spawn). Grabs and moves the grabbed body.
    // otherPanelOpen: a panel (the scene menu) is in the middle of the frame, so the help panel
    // closes: one panel at a time there.
    void updateControls(bool otherPanelOpen = false);
    // True when this frame's physics runs: not paused, or paused with a step asked for.
    bool Advances() const { return !paused || stepping; }
    // True while Shift is held: the left button then grabs instead of spawning.
    static bool ShiftHeld();
    // Ends any grab (before the bodies are cleared).
    void DropGrab() { grab.Drop(); }
    // In debug view (debugMode == 1): the grab line, in world pixels under the layer's scroll.
    // Ends a grab whose body was removed during the frame. Leaves the origin at (0, 0).
    void drawControl(int debugMode);

  private:
    CPVect pointerInWorld() const;

    std::shared_ptr<TLevel> level_;
    MouseButton grabButton_ = MouseButton::None; // button holding the current grab
    bool leftWasDown_ = false;                   // left button held in the previous frame
    int pendingSteps_ = 0;                       // presses of N while paused not yet stepped
};
