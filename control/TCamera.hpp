#pragma once

#include <memory>

#include "world/TLevel.hpp"

// The view's controls on the keyboard and the mouse: Ctrl+wheel and + / - (main row and keypad)
// zoom a step a notch or press around the pointer (the keys around the middle while no mouse
// has moved, as on a phone); Space held while the left button drags pans
// (the view then stays where it was put); F follows the player again.
class TCamera {
  public:
    // The level whose camera is moved; shared with the game.
    void init(std::shared_ptr<TLevel> level);
    // Reads this frame's camera input. The wheel is taken only while Ctrl is held (it is edit
    // mode's otherwise), the left button's presses only while Space is held.
    void updateControls();
    // True while Space is held: the left button pans, so it neither spawns, steers nor paints.
    static bool SpaceHeld();
    // True while a drag with Space is moving the view.
    bool Panning() const { return panning_; }

  private:
    std::shared_ptr<TLevel> level_;
    bool panning_ = false;
    // Where the drag began: the pointer (picture pixels) and the scroll (world pixels). The
    // scroll follows the pointer's whole way from there, so no fraction of a pixel is lost.
    int startX_ = 0, startY_ = 0;
    int startScrollX_ = 0, startScrollY_ = 0;
};
