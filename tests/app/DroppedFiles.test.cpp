#include "app/DroppedFiles.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <SDL.h>

#include "app/BodyHash.hpp"
#include "app/SceneDocument.hpp"
#include "bodies/TBall.hpp"
#include "data/ExampleScenes.hpp"
#include "media/input/Input.hpp"
#include "media/input/InputRecorder.hpp"
#include "media/input/InputScript.hpp"
#include "media/input/ScriptedInput.hpp"
#include "support/GameFixture.hpp"
#include "support/TempFolder.hpp"

namespace {

class DroppedFilesTest : public GameFixture {
  protected:
    DroppedFilesTest() : GameFixture(1000u) {}
    void SetUp() override {
        GameFixture::SetUp();
        SetSceneOpener(&OpenSceneText, &RestorePreviousScene);
        RestartFrameCount();
    }

    // A file dropped on the window, as the platform hands it over.
    static void DropOnWindow(const std::string& path) {
        SDL_Event e{};
        e.type = SDL_DROPFILE;
        e.drop.file = SDL_strdup(path.c_str());
        SDL_PushEvent(&e);
    }

    // The program's frame between the drops (HandOverWhenReplayEnds is left out: the replays
    // here are compared while they run).
    void Frames(int count) {
        for (int i = 0; i < count; ++i) {
            drops.BeforeFrame();
            updateGame();
        }
    }

    // A scene with many bodies (the first example scene), as a file.
    std::string SceneFile() {
        const std::string path = folder.File("dropped.json");
        std::ofstream(path) << ExampleScenes()[0].text;
        return path;
    }

    // A new start, as dropping a recording makes one.
    static void StartAgain() {
        ClearScene();
        initGame();
        RestartFrameCount();
    }

    TempFolder folder;
    DroppedFiles drops;
};

// A scene dropped while recording goes into the recording with its bytes: the replay opens the
// same scene at the same frame, even once the file has gone, and ends with the same bodies.
TEST_F(DroppedFilesTest, ADroppedSceneIsRecordedAndReplayedToTheSameHash) {
    const std::string recordingPath = folder.File("session.txt");
    InputRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(recordingPath, error)) << error;
    SetGameRecorder(&recorder);
    drops.Record(&recorder);
    const int ballsBefore = TBall::Count();
    PushKey(49, true); // a ball at the pointer before the drop, to be replaced by the scene
    PushKey(49, false);
    PushMouseButton(1, true);
    PushMouseButton(1, false);
    Frames(5);
    DropOnWindow(SceneFile());
    Frames(40);
    const int ballsAfter = TBall::Count();
    const std::string live = BodyHash::OfLiveBodies().Hex();
    SetGameRecorder(nullptr);
    ASSERT_TRUE(recorder.Finish()) << recorder.Error();
    ASSERT_NE(ballsAfter, ballsBefore) << "the dropped scene did not open";
    std::remove(folder.File("dropped.json").c_str());

    InputScript recording;
    ASSERT_TRUE(recording.Load(recordingPath, error)) << error;
    StartAgain();
    SetGameReplay(&recording);
    SetScriptedInputOnly(true);
    Frames(recording.Length());
    EXPECT_EQ(TBall::Count(), ballsAfter);
    EXPECT_EQ(BodyHash::OfLiveBodies().Hex(), live);
}

// While a replay runs, a file the user drops is ignored as the user's keys are: the replay ends
// as it would have.
TEST_F(DroppedFilesTest, AFileDroppedDuringAReplayChangesNothing) {
    InputScript script;
    std::string error;
    ASSERT_TRUE(script.AddEvent("0: key 49 tap", error)) << error;
    ASSERT_TRUE(script.AddEvent("1: click 1", error)) << error;
    script.frames = 30;
    SetGameReplay(&script);
    SetScriptedInputOnly(true);
    Frames(30);
    const std::string undisturbed = BodyHash::OfLiveBodies().Hex();

    StartAgain();
    SetGameReplay(&script);
    Frames(10);
    DropOnWindow(SceneFile());
    Frames(20);
    EXPECT_EQ(BodyHash::OfLiveBodies().Hex(), undisturbed);
    EXPECT_EQ(TakeDroppedFile(), "");
}

// A recording dropped while recording replays from a new start, which the session's frames
// cannot tell: the session's recording ends there, whole.
TEST_F(DroppedFilesTest, ARecordingDroppedWhileRecordingEndsTheRecordingWhole) {
    const std::string dropped = folder.File("other.txt");
    std::ofstream(dropped) << "frame 0: key 50 tap\nframes 4\n";
    const std::string recordingPath = folder.File("session.txt");
    InputRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(recordingPath, error)) << error;
    SetGameRecorder(&recorder);
    drops.Record(&recorder);
    Frames(6);
    DropOnWindow(dropped);
    Frames(3);
    EXPECT_FALSE(recorder.IsOpen());
    InputScript session;
    ASSERT_TRUE(session.Load(recordingPath, error)) << error;
    EXPECT_TRUE(error.empty()) << error; // not cut short: it has its frame count
    // The frames run before the drop was taken (a recorded frame holds its input, so the drop
    // is taken a frame later), none of the replay's.
    EXPECT_GE(session.Length(), 6);
    EXPECT_LE(session.Length(), 7);
    EXPECT_NE(GameReplay(), nullptr);
}

} // namespace
