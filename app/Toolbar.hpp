#pragma once

#include <span>

#include "media/input/Key.hpp"

class TControl;
class TSandbox;
class TEditor;

// The panels a toolbar button opens, open now: their buttons are marked as on.
struct ToolbarPanels {
    bool settingsOpen = false;
    bool scenesOpen = false;
};

// The desktop's toolbar, drawn by the program beside the picture (never over it): the eight
// kinds with their pictures, pause, one step, start over, the debug view, help, edit mode,
// settings, scenes and save, and in edit mode its tools. Hidden until T; shown, the window keeps a
// band for it at the picture's right or below it (SetControlBand), shrinking the picture only when
// the window has no room beside it. A button pressed (the left button, a finger) is its key tapped:
// the tap goes through the event queue as the keyboard's does, so it acts in the next frame and
// recordings hold and replay it. The pointer resting on a button shows its name beside it.
class Toolbar {
  public:
    // A button: the key it taps (with Control held for a chord), the kind whose picture it
    // shows (0: none), else a short label or a picture of its own, and the name the pointer
    // shows. The buttons are a plain table: a new one is one more row.
    struct Button {
        Key key;
        bool control;
        int kind;
        const char* label;                             // nullptr: picture draws it
        void (*picture)(float x, float y, float side); // top-left corner, side in window points
        const char* name;
    };
    static constexpr int kPitch = 50;  // window points from one button to the next
    static constexpr int kButton = 44; // a button's side in window points (a finger's size)

    bool enabled = false; // T shows it (the desktop program and the headless runner)
    bool visible = false;

    // The buttons laid out now (the tools' only while edit mode is on), in their order.
    static std::span<const Button> Buttons();
    // Once a frame, in the input: T toggles it (and the band), presses on it tap their keys.
    // editMode: edit mode was on at the last frame (its tools' buttons are shown after the rest).
    void update(bool editMode = false);
    // After the overlay, in the window's own pixels: the buttons, the selected kind and the
    // states that are on marked, and the name of the button under the pointer. Leaves white,
    // alpha 1, mask blending, scale 1.
    void Draw(const TControl& controller, const TSandbox& sandboxControls, const TEditor& editMode,
              ToolbarPanels panels = ToolbarPanels{}) const;
    // The key a button stands for (index 0..Buttons().size() - 1; Escape for any other).
    static Key ButtonKey(int index);
    // Button index under window point (x, y) of the band laid out now; -1 for none.
    static int ButtonAt(int x, int y);
    // The button under the pointer as the input has it now (the pointer mapped back from the
    // picture's pixels to window points); -1 for none.
    static int HoveredButton();
    // Where a name `chars` characters long goes for button index, in window points of a window
    // windowW x windowH points: beside the button towards the picture, never past the window.
    struct Box {
        float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
    };
    static Box NameBox(int index, int chars, int windowW, int windowH);
};
