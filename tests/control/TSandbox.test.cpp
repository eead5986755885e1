#include "control/TSandbox.hpp"
#include "control/SceneFixture.hpp"
#include "physics/CPBody.hpp"

namespace {

class SandboxTest : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        sandbox.init(level);
    }
    void TearDown() override {
        sandbox.DropGrab();
        SceneTest::TearDown();
    }
    // One frame of input in the program's order: the sandbox controls, then the game's own.
    void frame() {
        sandbox.updateControls();
        control.updateControls();
    }
    TSandbox sandbox;
};

} // namespace

TEST_F(SandboxTest, PauseTogglesAndStepOnlyCountsWhilePaused) {
    frame();
    EXPECT_TRUE(sandbox.Advances());
    tapKey(Key::N); // running: N is read and dropped, not kept for later
    frame();
    EXPECT_FALSE(sandbox.stepping);
    tapKey(Key::P);
    frame();
    EXPECT_TRUE(sandbox.paused);
    EXPECT_FALSE(sandbox.Advances());
    tapKey(Key::N);
    frame();
    EXPECT_TRUE(sandbox.Advances()); // exactly this one frame
    frame();
    EXPECT_FALSE(sandbox.Advances());
    tapKey(Key::P);
    frame();
    EXPECT_TRUE(sandbox.Advances());
}

// A slow frame may read several presses at once: each one counts.
TEST_F(SandboxTest, SeveralPressesInOneFrameEachCount) {
    tapKey(Key::P);
    tapKey(Key::P);
    frame();
    EXPECT_FALSE(sandbox.paused) << "two taps of P left the game paused";
    tapKey(Key::P);
    frame();
    ASSERT_TRUE(sandbox.paused);
    tapKey(Key::N);
    tapKey(Key::N);
    frame();
    EXPECT_TRUE(sandbox.Advances());
    frame();
    EXPECT_TRUE(sandbox.Advances()) << "the second N of the frame was lost";
    frame();
    EXPECT_FALSE(sandbox.Advances());
    // Steps asked for and not yet taken do not outlive the pause.
    tapKey(Key::N);
    tapKey(Key::N);
    tapKey(Key::P);
    frame();
    tapKey(Key::P);
    frame();
    EXPECT_TRUE(sandbox.paused);
    EXPECT_FALSE(sandbox.Advances());
}

TEST_F(SandboxTest, HelpResetAndScreenshotAreRequestsOfOneFrame) {
    tapKey(Key::F1);
    tapKey(Key::R);
    tapKey(Key::F12);
    frame();
    EXPECT_TRUE(sandbox.helpVisible);
    EXPECT_TRUE(sandbox.resetRequested);
    EXPECT_TRUE(sandbox.screenshotRequested);
    frame();
    EXPECT_TRUE(sandbox.helpVisible);
    EXPECT_FALSE(sandbox.resetRequested);
    EXPECT_FALSE(sandbox.screenshotRequested);
    tapKey(Key::H); // H closes it as F1 does
    frame();
    EXPECT_FALSE(sandbox.helpVisible);
}

// A panel in the middle of the frame (the scene menu) closes the help panel: one at a time there.
TEST_F(SandboxTest, AnotherPanelInTheMiddleClosesTheHelp) {
    tapKey(Key::F1);
    sandbox.updateControls();
    ASSERT_TRUE(sandbox.helpVisible);
    sandbox.updateControls(true);
    EXPECT_FALSE(sandbox.helpVisible);
    sandbox.updateControls();
    EXPECT_FALSE(sandbox.helpVisible) << "the help came back when the other panel closed";
}

TEST_F(SandboxTest, MiddleButtonGrabsUntilReleasedAndSpawnsNothing) {
    select(1);
    PushMouseMove(450, 300); // over the player squid (no scroll in this scene)
    PushMouseButton(3, true);
    frame();
    EXPECT_EQ(sandbox.grab.Body(), player->_body.get());
    EXPECT_EQ(TBall::Count(), 0);
    PushMouseMove(470, 300);
    frame();
    EXPECT_TRUE(sandbox.grab.Active());
    PushMouseButton(3, false);
    frame();
    EXPECT_FALSE(sandbox.grab.Active());
    EXPECT_FLOAT_EQ(player->_body->GetVelocity().x, 20.0f * 60.0f / 2.0f);
}

TEST_F(SandboxTest, ShiftLeftGrabsInsteadOfSpawning) {
    select(1);
    PushMouseMove(450, 300);
    PushKey(Key::Shift, true);
    clickLeft();
    PushMouseButton(1, true);
    frame();
    EXPECT_TRUE(sandbox.grab.Active());
    EXPECT_EQ(TBall::Count(), 0); // the click was taken by the grab
    PushMouseButton(1, false);
    PushKey(Key::Shift, false);
    frame();
    EXPECT_FALSE(sandbox.grab.Active());
    // Without Shift the left button spawns as before.
    clickLeft();
    frame();
    EXPECT_EQ(TBall::Count(), 1);
}

TEST_F(SandboxTest, PausedFramesDoNotPushThePlayer) {
    tapKey(Key::P);
    PushKey(Key::Right, true); // Right held over paused frames
    for (int i = 0; i < 10; ++i) {
        sandbox.updateControls();
        control.updateControls(true, sandbox.Advances());
    }
    EXPECT_EQ(player->_body->GetVelocity(), ZeroVect);
    PushKey(Key::Right, false);
}
