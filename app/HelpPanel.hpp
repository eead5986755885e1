#pragma once

#include <array>
#include <span>
#include <string_view>

// The help panel (F1 / H): every key of the game, the sandbox and edit mode, or on a touch device
// what fingers and the page's buttons do, laid out to be whole and readable in the overlay of any
// window down to 512 x 384 units (and a phone's 390 x 292): roomy where there is room, closed up
// below that, and in two columns of brief lines where one column would not fit.
class HelpPanel {
  public:
    // A row of the tables: a heading (what empty) or a key with what it does; brief says both
    // in at most kBriefChars for the two columns of a small overlay. Rows are a plain table:
    // a new key is one more row in its section.
    struct Row {
        std::string_view key;
        std::string_view what;
        std::string_view brief;
    };
    static constexpr int kBriefChars = 30;
    static constexpr int kMaxTexts = 96;

    // A text of the laid-out panel at (x, y) in overlay units, the 8 x 16 font at its size.
    struct Text {
        std::string_view text;
        float x = 0.0f, y = 0.0f;
        bool heading = false;
    };
    struct Layout {
        float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f; // the panel
        std::array<Text, kMaxTexts> texts{};
        int count = 0;
        std::span<const Text> Texts() const {
            return {texts.data(), static_cast<std::size_t>(count)};
        }
    };

    static std::span<const Row> KeyRows();   // the desktop's keys, by section
    static std::span<const Row> TouchRows(); // gestures and buttons, by section
    // The panel for an overlay of width x height units; touch: the gestures' table. Texts do
    // not overlap; they stay within the panel, and the panel within the overlay wherever the
    // overlay is at least 512 x 384 (390 x 292 for touch's).
    static Layout For(int width, int height, bool touch);
};
