#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/Toolbar.hpp"
#include "media/Graphics.hpp"
#include "media/input/Input.hpp"
#include "media/input/ScriptedInput.hpp"
#include "media/window/ControlBand.hpp"

namespace {

// The toolbar's band in offscreen windows of several sizes (the band below the picture or at its
// right, in one line or two).
class ToolbarTest : public ::testing::TestWithParam<std::pair<int, int>> {
  protected:
    void SetUp() override {
        SetGraphicsTarget(GraphicsTarget::Offscreen);
        InitMedia();
        SetOffscreenWindowSize(GetParam().first, GetParam().second);
        ASSERT_TRUE(OpenGraphics(1024, 768, 0, 60, 0)) << GraphicsError();
        SetControlBand(static_cast<int>(Toolbar::Buttons().size()), Toolbar::kPitch);
        ResetInput();
    }
    void TearDown() override {
        SetControlBand(0, 0);
        ResetInput();
        CloseGraphics();
        SetOffscreenWindowSize(0, 0);
        SetGraphicsTarget(GraphicsTarget::Window);
    }
    // Every button's middle in window points (output pixels offscreen), found by scanning the
    // band for it; false when a button is missing or smaller than a finger.
    static bool middles(std::vector<std::pair<int, int>>& out) {
        const PixelRect band = CurrentPictureLayout().band;
        const std::size_t count = Toolbar::Buttons().size();
        std::vector<int> x0(count, 1 << 30), y0(count, 1 << 30), x1(count, -1), y1(count, -1);
        for (int py = band.y; py < band.y + band.h; ++py) {
            for (int px = band.x; px < band.x + band.w; ++px) {
                const int i = Toolbar::ButtonAt(px, py);
                if (i >= 0) {
                    const auto k = static_cast<std::size_t>(i);
                    x0[k] = std::min(x0[k], px);
                    y0[k] = std::min(y0[k], py);
                    x1[k] = std::max(x1[k], px);
                    y1[k] = std::max(y1[k], py);
                }
            }
        }
        out.clear();
        for (std::size_t k = 0; k < count; ++k) {
            if (x1[k] - x0[k] + 1 < Toolbar::kButton || y1[k] - y0[k] + 1 < Toolbar::kButton) {
                return false;
            }
            out.emplace_back((x0[k] + x1[k]) / 2, (y0[k] + y1[k]) / 2);
        }
        return true;
    }
};

} // namespace

TEST(ToolbarTableTest, EveryButtonTapsItsOwnKeyAndHasAName) {
    std::set<std::pair<int, bool>> keys;
    std::set<int> kinds;
    for (const Toolbar::Button& b : Toolbar::Buttons()) {
        EXPECT_TRUE(keys.insert({static_cast<int>(b.key), b.control}).second) << b.name;
        EXPECT_NE(std::string(b.name), "");
        // A kind's picture, a label or a picture of its own: one of them.
        EXPECT_EQ((b.kind != 0 ? 1 : 0) + (b.label != nullptr ? 1 : 0) +
                      (b.picture != nullptr ? 1 : 0),
                  1)
            << b.name;
        if (b.kind != 0) {
            kinds.insert(b.kind);
        }
    }
    EXPECT_EQ(kinds, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    // The page's Settings, Scenes and Save.
    EXPECT_TRUE(keys.count({static_cast<int>(LetterKey('G')), false}));
    EXPECT_TRUE(keys.count({static_cast<int>(LetterKey('L')), false}));
    EXPECT_TRUE(keys.count({static_cast<int>(LetterKey('S')), true}));
}

TEST_P(ToolbarTest, EveryButtonIsAFingersSizeAndItsNameShowsWithinTheWindowBesideIt) {
    int w = 0, h = 0;
    GetOutputSize(w, h);
    const int count = static_cast<int>(Toolbar::Buttons().size());
    std::vector<std::pair<int, int>> middle;
    ASSERT_TRUE(middles(middle));
    for (int i = 0; i < count; ++i) {
        const auto [x, y] = middle[static_cast<std::size_t>(i)];
        const std::string name = Toolbar::Buttons()[static_cast<std::size_t>(i)].name;
        const Toolbar::Box box = Toolbar::NameBox(i, static_cast<int>(name.size()), w, h);
        EXPECT_GE(box.x, 0.0f) << name;
        EXPECT_GE(box.y, 0.0f) << name;
        EXPECT_LE(box.x + box.w, static_cast<float>(w)) << name;
        EXPECT_LE(box.y + box.h, static_cast<float>(h)) << name;
        EXPECT_GE(box.w, static_cast<float>(name.size() * 8)) << name;
        // Not over the button it names: the pointer rests there.
        const bool clear = box.x + box.w <= static_cast<float>(x - Toolbar::kButton / 2) ||
                           box.y + box.h <= static_cast<float>(y - Toolbar::kButton / 2);
        EXPECT_TRUE(clear) << name;
    }
}

TEST_P(ToolbarTest, ThePointerOverAButtonIsFoundThroughThePicturesPixels) {
    const PictureLayout layout = CurrentPictureLayout();
    const int count = static_cast<int>(Toolbar::Buttons().size());
    std::vector<std::pair<int, int>> middle;
    ASSERT_TRUE(middles(middle));
    for (int i = 0; i < count; ++i) {
        const auto [x, y] = middle[static_cast<std::size_t>(i)];
        // The input reports the pointer in the picture's pixels, beyond them over the band.
        int lx = 0, ly = 0;
        layout.ToLogical(x, y, lx, ly);
        PushMouseMove(lx, ly);
        EXPECT_EQ(Toolbar::HoveredButton(), i);
    }
    PushMouseMove(512, 384); // the middle of the picture
    EXPECT_EQ(Toolbar::HoveredButton(), -1);
}

INSTANTIATE_TEST_SUITE_P(Windows, ToolbarTest,
                         ::testing::Values(std::pair{1024, 768}, std::pair{800, 600},
                                           std::pair{640, 480}, std::pair{1920, 1080}));
