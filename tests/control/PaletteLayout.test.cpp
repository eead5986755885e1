#include <gtest/gtest.h>

#include <string>

#include "control/PaletteLayout.hpp"

namespace {

using Box = PaletteLayout::Box;

bool overlaps(const Box& a, const Box& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}
bool inside(const Box& inner, const Box& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
           inner.y + inner.h <= outer.y + outer.h;
}

constexpr int kEntries = 18; // level 0's palette: the empty cell and 17 kinds

struct Size {
    const char* what;
    int w, h;
    bool touch;
};
constexpr Size kSizes[] = {
    {"512 x 384 window", 512, 384, false},
    {"800 x 600 window", 800, 600, false},
    {"1024 x 768 window", 1024, 768, false},
    {"narrow overlay", 430, 330, false},
    {"phone upright", 390, 292, true},
    {"phone turned", 520, 390, true},
    {"tablet", 1024, 768, true},
};

// The overlay's own lines: the counts in the top-left corner and the frame rate, beside the
// first line or below the counts where there is no room (on touch: two short lines).
Box counts(const Size& s) {
    return s.touch ? Box{0, 0, 288, 30} : Box{0, 0, 360, 100};
}
Box frameRate(const Size& s) {
    if (s.touch) {
        return s.w - 80 >= 280 ? Box{float(s.w - 80), 0, 80, 16} : Box{float(s.w - 80), 30, 80, 16};
    }
    return s.w - 80 >= 360 ? Box{float(s.w - 80), 0, 80, 16} : Box{float(s.w - 80), 98, 80, 16};
}

} // namespace

TEST(PaletteLayoutTest, EveryCellIsShownWithinTheOverlayAndClearOfItsLines) {
    for (const Size& s : kSizes) {
        SCOPED_TRACE(s.what);
        const PaletteLayout l = PaletteLayout::For(s.w, s.h, kEntries, s.touch);
        const Box overlay{0, 0, float(s.w), float(s.h)};
        EXPECT_TRUE(inside(l.panel, overlay));
        EXPECT_FALSE(overlaps(l.panel, counts(s)));
        EXPECT_FALSE(overlaps(l.panel, frameRate(s)));
        // The hint line and "EDIT" (twice the font) within the panel.
        EXPECT_TRUE(inside({l.titleX, l.titleY, 64, 32}, l.panel));
        EXPECT_TRUE(inside({l.hintX, l.hintY, float(l.hint.size() * 8), 16}, l.panel));
        EXPECT_GE(l.side, s.touch ? 44.0f : 24.0f) << "a finger's cell, at least 44 CSS px";
        const int shown = l.arrows ? l.shown : kEntries;
        EXPECT_EQ(l.shown, shown);
        for (int i = l.first; i < l.first + l.shown; ++i) {
            const Box cell = l.Entry(i);
            EXPECT_TRUE(inside(cell, l.panel)) << "entry " << i;
            EXPECT_FALSE(overlaps(cell, {l.titleX, l.titleY, 64, 32})) << "entry " << i;
            EXPECT_FALSE(overlaps(cell, {l.hintX, l.hintY, float(l.hint.size() * 8), 16}))
                << "entry " << i;
            for (int j = l.first; j < i; ++j) {
                EXPECT_FALSE(overlaps(cell, l.Entry(j))) << "entries " << j << " and " << i;
            }
        }
        for (const bool later : {false, true}) {
            const Box arrow = l.Arrow(later);
            EXPECT_EQ(arrow.w > 0.0f, l.arrows);
            if (l.arrows) {
                EXPECT_TRUE(inside(arrow, l.panel));
            }
        }
    }
}

TEST(PaletteLayoutTest, TheWideOverlayKeepsTheBandAtTheTopAndSmallerOnesWrapBelowTheCounts) {
    const PaletteLayout wide = PaletteLayout::For(1024, 768, kEntries, false);
    EXPECT_EQ(wide.panel.x, 360.0f);
    EXPECT_EQ(wide.panel.y, 0.0f);
    EXPECT_EQ(wide.panel.h, 58.0f);
    EXPECT_EQ(wide.entryX, 444.0f);
    EXPECT_EQ(wide.Entry(17).y, wide.Entry(0).y) << "one row";
    const PaletteLayout small = PaletteLayout::For(512, 384, kEntries, false);
    EXPECT_GT(small.Entry(17).y, small.Entry(0).y) << "two rows";
    EXPECT_GE(small.panel.y, 100.0f);
    const PaletteLayout phone = PaletteLayout::For(390, 292, kEntries, true);
    EXPECT_TRUE(phone.arrows);
    EXPECT_LE(phone.panel.y + phone.panel.h, 292.0f / 2.0f) << "half the picture left to paint";
}

// Presses at points of the drawn cells: each cell's middle and corners are its own, the gap
// between two neighbours belongs to one of them, and points beside the palette to none.
TEST(PaletteLayoutTest, HitsFollowTheCellsAsDrawn) {
    for (const Size& s : kSizes) {
        SCOPED_TRACE(s.what);
        const PaletteLayout l = PaletteLayout::For(s.w, s.h, kEntries, s.touch);
        for (int i = l.first; i < l.first + l.shown; ++i) {
            const Box c = l.Entry(i);
            EXPECT_EQ(l.EntryAt(c.x + c.w / 2, c.y + c.h / 2), i);
            EXPECT_EQ(l.EntryAt(c.x, c.y), i);
            EXPECT_EQ(l.EntryAt(c.x + c.w - 0.5f, c.y + c.h - 0.5f), i);
            const float gapX = c.x + c.w + (l.pitch - l.side) / 2 - 0.25f;
            const int right = l.EntryAt(gapX, c.y + c.h / 2);
            EXPECT_TRUE(right == i || right == i + 1 || right == PaletteLayout::kLater ||
                        right == PaletteLayout::kNone)
                << "gap right of " << i << ": " << right;
        }
        EXPECT_EQ(l.EntryAt(l.titleX + 10, l.titleY + 10), PaletteLayout::kNone);
        EXPECT_EQ(l.EntryAt(l.panel.x + l.panel.w + 20, l.panel.y + 4), PaletteLayout::kNone);
        EXPECT_EQ(l.EntryAt(l.panel.x + 10, l.panel.y + l.panel.h + 20), PaletteLayout::kNone);
        if (l.arrows) {
            const Box a = l.Arrow(false), b = l.Arrow(true);
            EXPECT_EQ(l.EntryAt(a.x + a.w / 2, a.y + a.h / 2), PaletteLayout::kEarlier);
            EXPECT_EQ(l.EntryAt(b.x + b.w / 2, b.y + b.h / 2), PaletteLayout::kLater);
        }
    }
}

TEST(PaletteLayoutTest, AScrolledRowKeepsTheChosenEntryShownAndStaysWithinThePalette) {
    const PaletteLayout start = PaletteLayout::For(390, 292, kEntries, true, 0, 0);
    ASSERT_TRUE(start.arrows);
    const int shown = start.shown;
    ASSERT_GE(shown, 3);
    struct Case {
        int first, chosen, expectFirst;
    };
    const Case cases[] = {
        {0, 0, 0},
        {0, shown - 1, 0},
        {0, shown, 1},                       // one past the end: one step on
        {0, kEntries - 1, kEntries - shown}, // the last entry
        {kEntries - shown, 2, 2},            // back before the first shown
        {100, -1, kEntries - shown},         // out of bounds: the last page
        {-5, -1, 0},
    };
    for (const Case& c : cases) {
        const PaletteLayout l = PaletteLayout::For(390, 292, kEntries, true, c.first, c.chosen);
        EXPECT_EQ(l.first, c.expectFirst) << c.first << " " << c.chosen;
        if (c.chosen >= 0) {
            EXPECT_GT(l.Entry(c.chosen).w, 0.0f) << c.chosen << " is shown";
        }
    }
    EXPECT_EQ(start.Scrolled(true), shown);
    EXPECT_EQ(start.Scrolled(false), 0);
    const PaletteLayout end = PaletteLayout::For(390, 292, kEntries, true, kEntries, -1);
    EXPECT_EQ(end.Scrolled(true), kEntries - shown);
    EXPECT_EQ(end.Scrolled(false), kEntries - 2 * shown);
    // A palette that fits needs no arrows and shows from its first entry.
    const PaletteLayout few = PaletteLayout::For(390, 292, 4, true, 3, 3);
    EXPECT_FALSE(few.arrows);
    EXPECT_EQ(few.first, 0);
    EXPECT_EQ(few.shown, 4);
}
