#pragma once

#include <string_view>

// Where edit mode's palette stands in the overlay, in BeginOverlay's units (window points where
// the picture is drawn smaller than them, else the picture's pixels), so that drawing and clicks
// agree at every window size. On a wide overlay it is the band at the top between the counts and
// the frame rate; on a narrower one it goes below the counts, its entries wrapping into rows; on
// a touch device its cells are a finger's size (44 units, never under 44 CSS px) in one row
// that scrolls with arrow cells at its ends when the entries do not all fit.
struct PaletteLayout {
    struct Box {
        float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
        bool Contains(float px, float py) const {
            return px >= x && py >= y && px < x + w && py < y + h;
        }
    };
    // What lies under a point besides an entry (EntryAt's negative answers).
    static constexpr int kNone = -1;
    static constexpr int kEarlier = -2; // the arrow cell that shows earlier entries
    static constexpr int kLater = -3;   // the one that shows later entries

    Box panel;
    float titleX = 0.0f, titleY = 0.0f; // "EDIT", drawn twice the font's size
    float hintX = 0.0f, hintY = 0.0f;   // one line of what the buttons or fingers do
    std::string_view hint;
    float entryX = 0.0f, entryY = 0.0f; // the first cell's top-left corner
    float side = 0.0f;                  // a cell's side
    float pitch = 0.0f;                 // from one cell to the next, across and down
    int perRow = 1;                     // cells in a row
    int entries = 0;                    // entries in the palette
    int first = 0;                      // the first entry shown (a scrolled row)
    int shown = 0;                      // entries shown from it
    bool arrows = false;                // the row scrolls: cells 0 and perRow - 1 are arrows

    // The layout for an overlay of width x height units and a palette of `entries`; touch: for
    // fingers. first: the first entry shown where the row scrolls, kept such that `chosen` is
    // shown (pass the palette's chosen entry, or -1 to keep first as it is within bounds).
    static PaletteLayout For(int width, int height, int entries, bool touch, int first = 0,
                             int chosen = -1);
    // Entry index's cell (index from 0 to entries - 1; an empty box when it is not shown).
    Box Entry(int index) const;
    // The arrow cells of a scrolled row (empty boxes without arrows).
    Box Arrow(bool later) const;
    // What lies at overlay point (x, y): an entry's index, kEarlier or kLater, or kNone. The gap
    // at a cell's left belongs to it, so a click never falls through between two cells.
    int EntryAt(float x, float y) const;
    // The first entry a tap on an arrow shows (a row's worth further, within bounds).
    int Scrolled(bool later) const;
};
