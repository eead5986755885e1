#include <gtest/gtest.h>

#include <cstdint>

#include "app/SandboxOverlay.hpp"
#include "control/TSandbox.hpp"
#include "media/Graphics.hpp"
#include "media/input/Input.hpp"
#include "media/input/ScriptedInput.hpp"

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

// A scene opened at the start selects a kind, whose picture follows the pointer: resting in the
// bottom-right corner, the pointer keeps that corner, and the hint stands above its picture.
TEST_F(SandboxOverlayTest, HelpHintMakesWayForThePointersPictureInItsCorner) {
    SandboxOverlay overlay;
    overlay.hintEnabled = true;
    sandbox.frames = 1;
    struct Case {
        int x, y;
        bool inCorner;
    };
    for (const Case c : {Case{100, 100, true}, Case{1000, 750, false}, Case{990, 600, true},
                         Case{700, 755, true}}) {
        ResetInput();
        PushMouseMove(c.x, c.y);
        PollEvents();
        EXPECT_EQ(hintPixels(overlay) > 50, c.inCorner) << c.x << ", " << c.y;
        if (!c.inCorner) {
            // Above the picture's reach, still at the right.
            EXPECT_GT(drawnIn(940, c.y - 40 - 24, 1024, c.y - 40), 50);
            EXPECT_EQ(drawnIn(940, c.y - 38, 1024, 768), 0);
        }
    }
    ResetInput();
}

// A touch screen has no F1: the hint names the page's "?" button, one letter shorter.
TEST_F(SandboxOverlayTest, OnATouchScreenTheHintNamesTheHelpButton) {
    SandboxOverlay overlay;
    overlay.hintEnabled = true;
    sandbox.frames = 1;
    ResetInput();
    EXPECT_GT(hintPixels(overlay), 50);
    EXPECT_GT(drawnIn(950, 740, 959, 768), 0) << "F of F1";
    SetTouchDevice(true);
    EXPECT_GT(hintPixels(overlay), 50);
    EXPECT_EQ(drawnIn(950, 740, 959, 768), 0);
    ResetInput();
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
