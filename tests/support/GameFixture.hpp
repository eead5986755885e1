#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>

#include "app/Game.hpp"
#include "app/Overlay.hpp"
#include "bodies/ClearAllBodies.hpp"
#include "control/TControl.hpp"
#include "media/Graphics.hpp"
#include "media/base/Clock.hpp"
#include "media/graphics/TImage.hpp"
#include "media/input/Input.hpp"

// The real start-up, set-up and frames of the program on the offscreen target (or `target`) and
// a manual clock that starts at `clockStart` ms. EndProgram throws instead of leaving the process,
// so a frame that would end the program fails the test where it happened. Tear-down puts every
// global the program touches back, so the next test in the same process starts clean.
class GameFixture : public ::testing::Test {
  protected:
    explicit GameFixture(std::uint32_t clockStart,
                         GraphicsTarget target = GraphicsTarget::Offscreen)
        : clock{clockStart}, target_(target) {}

    void SetUp() override {
        SetClock(&clock);
        SetEndProgramHandler(&ThrowOnEnd);
        ASSERT_TRUE(StartUp(target_)) << GraphicsError();
        initGame();
        FlushInput();
    }
    void TearDown() override {
        SetGameRecorder(nullptr);
        SetGameRing(nullptr);
        SetReplayLinkCopier(nullptr);
        SetGameReplay(nullptr);
        SetScriptedInputOnly(false);
        SetScreenshotSaver(nullptr);
        SetSceneOpener(nullptr, nullptr);
        ClearAllBodies();
        lastStarBody.reset();
        player.reset();
        // A case that ran over a second of frames leaves a frame rate the next would read.
        fpsValue = 0;
        fpsFrames = 0;
        FlushInput();
        SetTouchDevice(false);
        SetEndProgramHandler(nullptr);
        CloseGraphics();
        SetGraphicsTarget(GraphicsTarget::Window);
        SetAutoCenterHandle(false);
        SetClock(nullptr);
    }

    ManualClock clock;

  private:
    GraphicsTarget target_;
    [[noreturn]] static void ThrowOnEnd() { throw std::runtime_error("EndProgram called"); }
};
