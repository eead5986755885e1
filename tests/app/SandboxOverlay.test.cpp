#include <gtest/gtest.h>

#include <cstdint>

#include "app/SandboxOverlay.hpp"
#include "control/TSandbox.hpp"
#include "media/Graphics.hpp"

namespace {

class SandboxOverlayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetGraphicsTarget(GraphicsTarget::Offscreen);
        InitMedia();
        ASSERT_TRUE(OpenGraphics(1024, 768, 0, 60, 0)) << GraphicsError();
    }
    void TearDown() override {
        CloseGraphics();
        SetGraphicsTarget(GraphicsTarget::Window);
    }
    // Pixels of the box that are not the black clear colour.
    static int drawnIn(int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                n += (ReadPixel(x, y) & 0xFFFFFF00u) != 0 ? 1 : 0;
            }
        }
        return n;
    }
    int hintPixels(SandboxOverlay& overlay) {
        Cls();
        overlay.Draw(sandbox, false);
        return drawnIn(940, 740, 1024, 768);
    }
    TSandbox sandbox;
};

} // namespace

TEST_F(SandboxOverlayTest, HelpHintOnlyWhenEnabledAndOnlyAtFirst) {
    SandboxOverlay overlay;
    sandbox.frames = 1;
    EXPECT_EQ(hintPixels(overlay), 0); // headless runs keep the game's screens as they are
    overlay.hintEnabled = true;
    EXPECT_GT(hintPixels(overlay), 50);
    sandbox.frames = SandboxOverlay::kHintFrames + 1;
    EXPECT_EQ(hintPixels(overlay), 0);
    sandbox.frames = 1;
    sandbox.helpVisible = true; // the panel says it all
    EXPECT_EQ(hintPixels(overlay), 0);
}

TEST_F(SandboxOverlayTest, NoticeShowsForAMomentAndLeavesTheStateWhite) {
    SandboxOverlay overlay;
    sandbox.frames = 1000;
    overlay.ShowNotice("Screenshot saved: /tmp/x.png");
    for (int i = 0; i < SandboxOverlay::kNoticeFrames; ++i) {
        Cls();
        overlay.Draw(sandbox, false);
        ASSERT_GT(drawnIn(0, 740, 400, 768), 50) << "frame " << i;
    }
    Cls();
    overlay.Draw(sandbox, false);
    EXPECT_EQ(drawnIn(0, 740, 400, 768), 0);
    int r = 0, g = 0, b = 0;
    GetColor(r, g, b);
    EXPECT_EQ(r + g + b, 3 * 255);
    EXPECT_EQ(GetBlend(), Blend::Mask);
    EXPECT_EQ(GetAlpha(), 1.0f);
}

TEST_F(SandboxOverlayTest, LostPlayerHintAndPausedBanner) {
    SandboxOverlay overlay;
    sandbox.frames = 1000;
    Cls();
    overlay.Draw(sandbox, true);
    EXPECT_GT(drawnIn(300, 700, 724, 740), 200); // the hint to press R, bottom centre
    EXPECT_EQ(drawnIn(400, 0, 624, 60), 0);
    sandbox.paused = true;
    Cls();
    overlay.Draw(sandbox, false);
    EXPECT_GT(drawnIn(400, 0, 624, 60), 300); // PAUSED and its keys, top centre
    EXPECT_EQ(drawnIn(300, 700, 724, 740), 0);
}
