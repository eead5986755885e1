#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/HelpPanel.hpp"

namespace {

struct Size {
    const char* what;
    int w, h;
    bool touch;
};
constexpr Size kSizes[] = {
    {"1024 x 768", 1024, 768, false},       {"800 x 600", 800, 600, false},
    {"640 x 480", 640, 480, false},         {"512 x 384", 512, 384, false},
    {"phone upright", 390, 292, true},      {"phone turned", 520, 390, true},
    {"touch, 1024 x 768", 1024, 768, true},
};

// Everything a row shows, in either layout, is among the panel's texts.
bool shows(const HelpPanel::Layout& l, std::string_view text) {
    for (const HelpPanel::Text& t : l.Texts()) {
        if (t.text == text) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(HelpPanelTest, EveryRowIsShownWhole) {
    for (const Size& s : kSizes) {
        SCOPED_TRACE(s.what);
        const HelpPanel::Layout l = HelpPanel::For(s.w, s.h, s.touch);
        const auto rows = s.touch ? HelpPanel::TouchRows() : HelpPanel::KeyRows();
        for (const HelpPanel::Row& row : rows) {
            if (row.what.empty()) {
                EXPECT_TRUE(shows(l, row.key)) << row.key;
            } else {
                EXPECT_TRUE(shows(l, row.brief) || (shows(l, row.key) && shows(l, row.what)))
                    << row.key << " / " << row.brief;
            }
        }
        ASSERT_LT(l.count, HelpPanel::kMaxTexts);
    }
}

TEST(HelpPanelTest, TextsStayInThePanelThePanelInTheOverlayAndNoTwoTextsMeet) {
    for (const Size& s : kSizes) {
        SCOPED_TRACE(s.what);
        const HelpPanel::Layout l = HelpPanel::For(s.w, s.h, s.touch);
        EXPECT_GE(l.x, 0.0f);
        EXPECT_GE(l.y, 0.0f);
        EXPECT_LE(l.x + l.w, float(s.w));
        EXPECT_LE(l.y + l.h, float(s.h));
        const auto texts = l.Texts();
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const HelpPanel::Text& a = texts[i];
            const float aw = float(a.text.size()) * 8.0f;
            EXPECT_GE(a.x, l.x) << a.text;
            EXPECT_GE(a.y, l.y) << a.text;
            EXPECT_LE(a.x + aw, l.x + l.w) << a.text;
            EXPECT_LE(a.y + 16.0f, l.y + l.h) << a.text;
            for (std::size_t j = 0; j < i; ++j) {
                const HelpPanel::Text& b = texts[j];
                const float bw = float(b.text.size()) * 8.0f;
                // Lines may be 14 apart (the font's lowest rows are empty), no closer.
                const bool apart =
                    a.x >= b.x + bw || b.x >= a.x + aw || a.y >= b.y + 14.0f || b.y >= a.y + 14.0f;
                EXPECT_TRUE(apart) << "'" << a.text << "' and '" << b.text << "'";
            }
        }
    }
}

// The brief lines of the two columns must fit their width; headings and keys are one table.
TEST(HelpPanelTest, BriefLinesFitTheirColumnAndKeysAreListedOnce) {
    std::set<std::string_view> keys;
    for (const HelpPanel::Row& row : HelpPanel::KeyRows()) {
        EXPECT_LE(row.brief.size(), std::size_t(HelpPanel::kBriefChars)) << row.brief;
        if (!row.what.empty()) {
            EXPECT_TRUE(keys.insert(row.key).second) << row.key;
            EXPECT_FALSE(row.brief.empty()) << row.key;
        }
    }
    for (const HelpPanel::Row& row : HelpPanel::TouchRows()) {
        EXPECT_LE(row.brief.size() * 8, 370u) << row.brief; // a phone's 390 points, padded
    }
    // What a 512 x 384 window lost before: the wheel, undo, redo and Home.
    const HelpPanel::Layout small = HelpPanel::For(512, 384, false);
    for (const char* needed : {"Wheel, Tab: choose a cell", "Ctrl+Z: undo a stroke, a scene",
                               "Ctrl+Y, Ctrl+Shift+Z: redo", "Home: the level as it loaded"}) {
        EXPECT_TRUE(shows(small, needed)) << needed;
    }
}
