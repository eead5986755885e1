#pragma once

// The scene menu (L): a panel in the middle of the frame listing the example scenes by name, in
// two columns once there are more than kOneColumn of them, then the user's saved scenes a line
// each across the panel. While it is open it takes the whole keyboard, so that no key does two
// things at once: Up and Down choose a line (the arrows would push the player squid otherwise),
// Left and Right the other column, Enter opens it, L closes the menu, and every other key but
// Escape is dropped: Escape ends the program, open or not.
// It takes the left button too: a click on a line opens that scene, a click elsewhere closes
// the menu. The right and middle buttons and the wheel stay the game's, and the game goes on
// under the panel. Closed, it reads only L, so Escape and every other key keep their meaning.
// Everything follows from the frame's input, so recordings replay the menu's use.
class SceneMenu {
  public:
    // A box in window pixels.
    struct Box {
        float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
        bool Contains(int px, int py) const {
            return static_cast<float>(px) >= x && static_cast<float>(px) < x + w &&
                   static_cast<float>(py) >= y && static_cast<float>(py) < y + h;
        }
    };

    static constexpr float kPanelW = 320.0f;
    static constexpr float kPad = 14.0f;
    static constexpr float kTitleH = 30.0f;  // the title's row and the gap under it
    static constexpr float kLineH = 22.0f;   // one scene's line
    static constexpr float kFooterH = 30.0f; // the gap and the keys' row under the lines
    // Up to this many examples stand one under the other; more share the rows in two columns,
    // so that twelve of them and six saved scenes still fit a 512 x 384 window.
    static constexpr int kOneColumn = 6;

    bool open = false; // the panel is shown and takes the keyboard and the left button
    int selected = 0;  // the highlighted line, 0 .. lines - 1

    // Closed, nothing highlighted yet (at set-up).
    void Reset();
    // One frame of the menu's input for a list of `lines` scenes, the first `examples` of them
    // examples; call before any other control reads the frame's input. Returns the line to open
    // this frame (the menu is then closed), or -1.
    int Update(int lines, int examples);

    // The panel and line i's box for `lines` lines, the first `examples` of them examples, on a
    // window of width x height pixels.
    static Box Panel(int lines, int examples, int width, int height);
    static Box Line(int i, int lines, int examples, int width, int height);
    // The line under window point (x, y) on a window of width x height pixels; -1 for none.
    static int LineAt(int x, int y, int lines, int examples, int width, int height);
    // Rows the first `examples` lines take (one column, or two sharing the rows). Pure.
    static int ExampleRows(int examples);

  private:
    int lastX_ = -1; // the pointer in the last frame: a moved pointer highlights its line
    int lastY_ = -1;
};
