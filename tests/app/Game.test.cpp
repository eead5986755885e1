#include "app/Game.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>

#include "app/Overlay.hpp"
#include "bodies/ClearAllBodies.hpp"
#include "bodies/TSquid.hpp"
#include "control/TControl.hpp"
#include "control/TEditor.hpp"
#include "control/TSandbox.hpp"
#include "control/TSettings.hpp"
#include "media/Graphics.hpp"
#include "media/base/Clock.hpp"
#include "media/input/Input.hpp"
#include "media/input/InputRecorder.hpp"
#include "media/input/InputScript.hpp"
#include "media/input/ScriptedInput.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPSpace.hpp"
#include "support/GameFixture.hpp"
#include "support/TempFolder.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

// The real program on a manual clock that starts just below the end of the int range (where
// TimeMs() + 1000 once overflowed).
class GameTest : public GameFixture {
  protected:
    GameTest() : GameFixture(static_cast<std::uint32_t>(INT_MAX) - 300u) {}
};

TEST_F(GameTest, TheFrameRateWindowStartedJustBeforeTheWrapClosesAfterOneSecond) {
    const int started = TimeMs();
    int frames = 0;
    while (fpsValue == 0 && frames < 200) {
        updateGame();
        ++frames;
    }
    // The window closes in the first frame whose clock is a second or more past start-up.
    EXPECT_GE(TimeBetween(started, TimeMs()), 1000);
    EXPECT_LT(TimeBetween(started, TimeMs()), 1000 + 17);
    EXPECT_GE(fpsValue, 58);
    EXPECT_LE(fpsValue, 61);
}

// Once the player squid has left the level and been removed, the camera stays where it last
// looked and the arrows push nothing; the frames go on.
TEST_F(GameTest, WhenThePlayerIsGoneTheCameraStaysAndFramesGoOn) {
    player->_body->SetPosition(Vec2(1500.0f, 3000.0f)); // far below the level, far right
    int frames = 0;
    while (!player->_body->IsFreed() && frames < 10) {
        updateGame();
        ++frames;
    }
    ASSERT_TRUE(player->_body->IsFreed());
    EXPECT_EQ(TSquid::Count(), 0);
    const int scroll = level->_FGLayer->ScrollX;
    ASSERT_GT(scroll, 600);
    PushKey(39, true);
    for (int f = 0; f < 5; ++f) {
        updateGame();
    }
    EXPECT_EQ(level->_FGLayer->ScrollX, scroll);
}

// R brings a lost player back at its start and the camera follows it again.
TEST_F(GameTest, RBringsTheLostPlayerBackAndTheCameraWithIt) {
    player->_body->SetPosition(Vec2(1500.0f, 3000.0f));
    for (int f = 0; f < 10 && !playerLost(); ++f) {
        updateGame();
    }
    ASSERT_TRUE(playerLost());
    ASSERT_GT(level->_FGLayer->ScrollX, 600);
    PushKey(82, true);
    PushKey(82, false);
    updateGame();
    EXPECT_FALSE(playerLost());
    EXPECT_EQ(TSquid::Count(), 1);
    EXPECT_EQ(control->player, player);
    EXPECT_EQ(level->_FGLayer->ScrollX, 0); // (450 - 640) is left of the level: clamped to 0
}

// While the player is held, the camera stays: following it would move the world under the
// pointer that pulls it, and the squid would run away to the end of the level.
TEST_F(GameTest, TheCameraHoldsStillWhileABodyIsHeld) {
    PushMouseMove(450, 300);
    PushMouseButton(3, true);
    updateGame();
    ASSERT_TRUE(sandbox->grab.Active());
    for (int x = 450; x <= 1000; x += 10) {
        PushMouseMove(x, 300);
        updateGame();
    }
    for (int f = 0; f < 60; ++f) {
        updateGame();
    }
    EXPECT_EQ(level->_FGLayer->ScrollX, 0);
    EXPECT_LT(player->_body->GetPosition().x, 1100.0f);
    PushMouseButton(3, false);
    updateGame();
    EXPECT_FALSE(sandbox->grab.Active());
    EXPECT_GT(level->_FGLayer->ScrollX, 0); // following the player again
}

// A recorded frame reads only what came before it: an event arriving during the frame waits for
// the next one, which is where the replay hands it over. Otherwise a pause, reset or grab
// could start a frame early in the replay and the bodies would part ways.
TEST_F(GameTest, ARecordedFrameReadsOnlyWhatCameBeforeIt) {
    const TempFolder folder;
    InputRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(folder.File("session.txt"), error)) << error;
    SetGameRecorder(&recorder);
    PushKey(80, true);
    updateGame(); // reads P: paused
    ASSERT_TRUE(sandbox->paused);
    PushKey(80, false);
    PushKey(78, true); // N, arriving after the frame's start
    EXPECT_EQ(KeyDown(78), 0) << "a query inside the recorded frame took in a later event";
    updateGame();
    EXPECT_EQ(KeyDown(78), 1);
    SetGameRecorder(nullptr);
    EXPECT_TRUE(recorder.Finish()) << recorder.Error();
    PushKey(78, false);
    EXPECT_EQ(KeyDown(78), 0) << "without a recording every query takes in new events";
}

// Replaying and recording at once (--replay A --record B): the replay's events are read in
// their own frame, not held back to the next, so B replays as A did.
TEST_F(GameTest, AReplayedFrameReadsItsEventsWhileRecording) {
    const TempFolder folder;
    InputRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(folder.File("again.txt"), error)) << error;
    InputScript script;
    ASSERT_TRUE(script.AddEvent(std::to_string(GameFrameNumber()) + ": key 80 tap", error));
    SetGameReplay(&script);
    SetGameRecorder(&recorder);
    updateGame();
    EXPECT_TRUE(sandbox->paused) << "the replayed P waited for the next frame";
    SetGameRecorder(nullptr);
    SetGameReplay(nullptr);
    EXPECT_TRUE(recorder.Finish()) << recorder.Error();
}

// When a replay has run its frames the user takes over with nothing of the replay held: a
// recording cut short with the right button down would go on spawning squids.
TEST_F(GameTest, AfterTheReplayNothingItHeldStaysDown) {
    InputScript script;
    script.frames = 0;
    SetGameReplay(&script);
    SetScriptedInputOnly(true);
    updateGame();
    const int shapesBefore = shapeCount;
    PushMouseButton(2, true); // the replay's last press
    ASSERT_EQ(MouseDown(2), 1);
    HandOverWhenReplayEnds();
    EXPECT_EQ(MouseDown(2), 0);
    updateGame();
    EXPECT_EQ(shapeCount, shapesBefore) << "the released button still spawned";
}

// The scene Ctrl+Z brings back in the test below: nothing of it but its pause.
bool restoredScenePaused = false;
bool restoreOnlyThePause(const std::string& /*text*/, std::string& replaced) {
    sandbox->paused = restoredScenePaused;
    replaced.clear();
    return true;
}

// A scene that replaces the current one in a frame brings its own pause, and that frame's physics
// keeps it: steps when the scene runs, none when it is paused, whatever the frame found before.
// The time scale's share is taken once a frame that runs (at half speed every second frame steps).
TEST_F(GameTest, AReplacedSceneBringsItsPauseToTheFramesPhysics) {
    struct Case {
        int scale; // index into TSettings::kScaleEighths
        bool pausedBefore;
        bool pausedAfter;
        unsigned stepsThen; // steps in the frame that replaced the scene
        unsigned stepsNext; // and in the frame after it
    };
    const Case cases[] = {
        {TSettings::kFullSpeed, false, false, 3, 3},
        {TSettings::kFullSpeed, false, true, 0, 0},
        {TSettings::kFullSpeed, true, false, 3, 3},
        {TSettings::kFullSpeed, true, true, 0, 0},
        {2, false, false, 0, 3},
        {2, true, false, 0, 3},
        {2, false, true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "scale " << c.scale << ", paused " << c.pausedBefore
                                        << " -> " << c.pausedAfter);
        gameSettings->init(level); // nothing of slow motion's remainder carried over
        gameSettings->scale = c.scale;
        sandbox->paused = c.pausedBefore;
        restoredScenePaused = c.pausedAfter;
        const CPSpace& space = *level->_FGLayer->spaceMap;
        const std::uint32_t before = space.StepsTaken();
        // An opened scene is a step of the undo history: Ctrl+Z swaps it back.
        editor->PushSceneStep(std::string(), &restoreOnlyThePause);
        PushKey(Key::Control, true);
        PushKey(LetterKey('Z'), true);
        PushKey(LetterKey('Z'), false);
        PushKey(Key::Control, false);
        updateGame();
        EXPECT_EQ(sandbox->paused, c.pausedAfter);
        EXPECT_EQ(space.StepsTaken() - before, c.stepsThen);
        updateGame();
        EXPECT_EQ(space.StepsTaken() - before, c.stepsThen + c.stepsNext);
    }
}

} // namespace
