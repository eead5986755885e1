#pragma once

#include "media/input/Key.hpp"

class TControl;
class TSandbox;
class TEditor;

// The desktop's toolbar, drawn by the program beside the picture (never over it): the eight
// kinds with their pictures, pause, one step, start over, the debug view, help and edit mode.
// Hidden until T; shown, the window keeps a band for it at the picture's right or below it
// (SetControlBand), shrinking the picture only when the window has no room beside it. A button
// pressed (the left button, a finger) is its key tapped: the tap goes through the event queue
// as the keyboard's does, so it acts in the next frame and recordings hold and replay it.
class Toolbar {
  public:
    static constexpr int kButtons = 14;    // always shown
    static constexpr int kEditButtons = 5; // then, in edit mode, its tools
    static constexpr int kAllButtons = kButtons + kEditButtons;
    static constexpr int kPitch = 50;  // window points from one button to the next
    static constexpr int kButton = 44; // a button's side in window points (a finger's size)

    bool enabled = false; // T shows it (the desktop program and the headless runner)
    bool visible = false;

    // Once a frame, in the input: T toggles it (and the band), presses on it tap their keys.
    // editMode: edit mode was on at the last frame (its tools' buttons are shown).
    void update(bool editMode = false);
    // After the overlay, in the window's own pixels: the buttons, the selected kind and the
    // states that are on marked. Leaves white, alpha 1, mask blending, scale 1.
    void Draw(const TControl& control, const TSandbox& sandbox, const TEditor& editor) const;
    // The key a button stands for (index 0..kAllButtons-1).
    static Key ButtonKey(int index);
    // Button index under window point (x, y) of the band laid out now with count buttons; -1
    // for none.
    static int ButtonAt(int x, int y, int count = kButtons);

  private:
    int count_ = kButtons; // buttons laid out now
};
