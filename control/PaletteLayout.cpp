#include "control/PaletteLayout.hpp"

#include <algorithm>

namespace {

constexpr float kGlyphW = 8.0f;
// The overlay's counts fill the top-left corner up to here (the longest line, the last line's
// bottom); the frame rate takes kFpsW at the right of the first line, or a line below the counts
// where the first line leaves it no room.
constexpr float kCountsW = 360.0f;
constexpr float kCountsBottom = 100.0f;
constexpr float kFpsW = 88.0f;
constexpr float kFpsBesideFrom = 440.0f; // narrower overlays have it below the counts
constexpr float kFpsBelowBottom = 114.0f;
// On a touch device the overlay's lines are two short ones.
constexpr float kTouchLinesBottom = 30.0f;
constexpr float kTouchFpsBesideFrom = 360.0f;

// The desktop's cells: the band at the top and the rows below the counts.
constexpr float kBandW = 560.0f;
constexpr float kCellSide = 24.0f;
constexpr float kCellPitch = 26.0f;
constexpr float kCellsX = 84.0f; // right of the title, from the panel's left edge
constexpr float kCellsY = 8.0f;
constexpr float kHintGap = 38.0f; // the hint line below the title, at the least
// A finger's cells.
constexpr float kFingerSide = 44.0f;
constexpr float kFingerPitch = 48.0f;
constexpr float kFingerRowY = 42.0f; // below the title

constexpr std::string_view kDesktopHints[] = {
    "left: paint  right: erase  wheel: choose  Ctrl+Z: undo  F1: keys",
    "left: paint  right: erase  wheel: choose  F1: keys",
    "left: paint  right: erase",
};
constexpr std::string_view kTouchHints[] = {
    "one finger paints, two grab",
    "finger: paint",
};

// The longest hint that fits in width units (the last one when none does).
template <std::size_t N> std::string_view fitting(const std::string_view (&hints)[N], float width) {
    for (const std::string_view hint : hints) {
        if (static_cast<float>(hint.size()) * kGlyphW <= width) {
            return hint;
        }
    }
    return hints[N - 1];
}

} // namespace

PaletteLayout PaletteLayout::For(int width, int height, int entries, bool touch, int first,
                                 int chosen) {
    (void)height; // every layout fits from 292 units up; taller overlays change nothing
    const float w = static_cast<float>(width);
    PaletteLayout l;
    l.entries = std::max(0, entries);
    l.shown = l.entries;
    if (touch) {
        // Below the frame rate too where it has no room beside the first line.
        const float top = kTouchLinesBottom + (w < kTouchFpsBesideFrom ? 16.0f : 0.0f) + 4.0f;
        l.panel = {4.0f, top, std::max(0.0f, w - 8.0f), 0.0f};
        l.side = kFingerSide;
        l.pitch = kFingerPitch;
        l.titleX = l.panel.x + 8.0f;
        l.titleY = l.panel.y + 4.0f;
        l.hintX = l.panel.x + kCellsX;
        l.hintY = l.panel.y + 12.0f;
        l.hint = fitting(kTouchHints, l.panel.w - kCellsX - 8.0f);
        l.entryX = l.panel.x + 8.0f;
        l.entryY = l.panel.y + kFingerRowY;
        const int cells =
            std::max(3, static_cast<int>((l.panel.w - 16.0f + (l.pitch - l.side)) / l.pitch));
        l.perRow = cells;
        if (l.entries > cells) {
            // One row that scrolls: an arrow cell at each end, the chosen entry always shown.
            l.arrows = true;
            l.shown = cells - 2;
            int start = first;
            if (chosen >= 0 && chosen < start) {
                start = chosen;
            } else if (chosen >= 0 && chosen >= start + l.shown) {
                start = chosen - l.shown + 1;
            }
            l.first = std::clamp(start, 0, l.entries - l.shown);
        }
        l.panel.h = kFingerRowY + l.side + 6.0f;
        return l;
    }
    l.side = kCellSide;
    l.pitch = kCellPitch;
    const bool band = w >= kCountsW + kBandW + kFpsW &&
                      kCellsX + static_cast<float>(l.entries) * kCellPitch <= kBandW - 8.0f;
    if (band) {
        l.panel = {kCountsW, 0.0f, kBandW, 0.0f};
    } else {
        const float top = (w < kFpsBesideFrom ? kFpsBelowBottom : kCountsBottom) + 4.0f;
        l.panel = {4.0f, top, std::max(0.0f, std::min(w - 8.0f, kBandW)), 0.0f};
    }
    l.titleX = l.panel.x + 8.0f;
    l.titleY = l.panel.y + 4.0f;
    l.entryX = l.panel.x + kCellsX;
    l.entryY = l.panel.y + kCellsY;
    l.perRow =
        std::max(1, static_cast<int>((l.panel.w - kCellsX - 8.0f + (l.pitch - l.side)) / l.pitch));
    const int rows = (l.entries + l.perRow - 1) / l.perRow;
    l.hintX = l.titleX;
    l.hintY = l.panel.y + std::max(kHintGap, kCellsY + static_cast<float>(rows) * l.pitch + 4.0f);
    l.hint = fitting(kDesktopHints, l.panel.w - 16.0f);
    l.panel.h = l.hintY - l.panel.y + 20.0f;
    return l;
}

PaletteLayout::Box PaletteLayout::Entry(int index) const {
    if (index < first || index >= first + shown) {
        return {};
    }
    const int k = index - first;
    const int cell = arrows ? k + 1 : k % perRow;
    const int row = arrows ? 0 : k / perRow;
    return {entryX + static_cast<float>(cell) * pitch, entryY + static_cast<float>(row) * pitch,
            side, side};
}

PaletteLayout::Box PaletteLayout::Arrow(bool later) const {
    if (!arrows) {
        return {};
    }
    const int cell = later ? shown + 1 : 0;
    return {entryX + static_cast<float>(cell) * pitch, entryY, side, side};
}

int PaletteLayout::EntryAt(float x, float y) const {
    // A cell owns the gap at its left, and two units above and below it: a click never falls
    // through between cells, and the band at the top answers to the pixel as it always has.
    const float gap = pitch - side;
    auto within = [&](const Box& b) {
        return b.w > 0.0f && Box{b.x - gap, b.y - 2.0f, b.w + gap, b.h + 4.0f}.Contains(x, y);
    };
    for (int i = first; i < first + shown; ++i) {
        if (within(Entry(i))) {
            return i;
        }
    }
    if (within(Arrow(false))) {
        return kEarlier;
    }
    if (within(Arrow(true))) {
        return kLater;
    }
    return kNone;
}

int PaletteLayout::Scrolled(bool later) const {
    if (!arrows) {
        return first;
    }
    return std::clamp(later ? first + shown : first - shown, 0, entries - shown);
}
