#include "app/Program.hpp"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "app/Game.hpp"
#include "app/Options.hpp"
#include "app/SavedScene.hpp"
#include "app/SceneDocument.hpp"
#include "control/SceneFit.hpp"
#include "data/LevelData.hpp"
#include "media/FrameLoop.hpp"
#include "media/ProgramEnd.hpp"
#include "media/ReadWholeFile.hpp"
#include "media/RendererChoice.hpp"
#include "media/input/Input.hpp"
#include "media/input/InputRecorder.hpp"
#include "media/input/InputScript.hpp"
#include "media/input/ScriptedInput.hpp"
#include "scene/EchoedText.hpp"
#include "scene/SceneFormat.hpp"

namespace {

const char* environment(const char* name) {
    return std::getenv(name);
}

// Ctrl+S: a new file in the user's documents folder, and where it went (or that it did not).
std::string saveToDocumentsFolder() {
    const std::string path = SavedScene::Save(std::time(nullptr), &environment, CurrentSceneText());
    return path.empty() ? std::string("Scene could not be saved") : "Scene saved: " + path;
}

// A recording dropped on the window plays as --replay plays one: from a new start.
InputScript droppedRecording;

// What went wrong with a file the user handed over: on stderr and, for a moment, on screen. The
// file's name is the user's too: a control byte in it reaches the terminal escaped.
void reportFileProblem(const std::string& problem) {
    const std::string line = EchoedText::Escaped(problem);
    std::fprintf(stderr, "dazozi-redov: %s\n", line.c_str());
    ShowNotice(line);
}

// A file dropped on the window: a scene (JSON, starting with '{') opens in place of the
// current one; anything else is taken for a recording and replayed from a new start.
void openDroppedFile(const std::string& path) {
    std::string text, error;
    if (!ReadWholeFile(path, InputScript::kMaxBytes, text, error)) {
        reportFileProblem(error);
        return;
    }
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first != std::string::npos && text[first] == '{') {
        if (text.size() > SceneFormat::kMaxBytes) {
            reportFileProblem(path + ": larger than 16 MB");
        } else if (!OpenSceneText(text, error)) {
            reportFileProblem(path + ": " + error);
        } else {
            ShowNotice("Scene opened: " + path);
        }
        return;
    }
    InputScript recording;
    if (!recording.Load(path, error)) {
        reportFileProblem(error);
        return;
    }
    droppedRecording = std::move(recording);
    ClearScene();
    initGame();
    RestartFrameCount();
    SetGameReplay(&droppedRecording);
    SetScriptedInputOnly(true);
    FlushInput();
    ShowNotice("Replaying " + path);
}

// The program's --record file. At namespace scope so that the end of the program can finish it
// and say when that failed.
InputRecorder sessionRecording;

// The program's frame: a replay that has run out first gives the input back to the user, and a
// file dropped since the last frame replaces the scene before this frame's input.
void desktopFrame() {
    HandOverWhenReplayEnds();
    if (const std::string dropped = TakeDroppedFile(); !dropped.empty()) {
        openDroppedFile(dropped);
    }
    updateGame();
}

void finishSessionRecording() {
    if (sessionRecording.IsOpen() && !sessionRecording.Finish()) {
        ReportRecordingFailure(sessionRecording);
    }
}

} // namespace

int RunProgram(int argc, const char* const* argv) {
    // Everything the command line names is checked before a window opens.
    const Options options = Options::Parse(argc, argv);
    switch (options.action) {
    case Options::Action::Help:
        std::fputs(Options::Usage(), stdout);
        return 0;
    case Options::Action::Version:
        std::printf("dazozi-redov %s\n", DAZOZI_VERSION);
        return 0;
    case Options::Action::Fail:
        std::fprintf(stderr, "dazozi-redov: %s\n", options.error.c_str());
        return 2;
    case Options::Action::Run:
        break;
    }
    // Static: the frames read it through SetGameReplay's pointer for as long as the program
    // runs, and the program ends in EndProgram without coming back here; a static states that
    // lifetime instead of leaning on exit() leaving this function's locals alone.
    static InputScript script;
    std::string error;
    if (!options.replayPath.empty()) {
        if (!script.Load(options.replayPath, error)) {
            std::fprintf(stderr, "dazozi-redov: %s\n", error.c_str());
            return 2;
        }
        if (!error.empty()) {
            std::fprintf(stderr, "dazozi-redov: %s\n", error.c_str()); // a recording cut short
        }
    }
    // A scene is read and checked whole against the level's content before the window opens.
    std::string sceneText;
    if (!options.scenePath.empty()) {
        SceneFormat::Scene scene;
        if (!ReadWholeFile(options.scenePath, static_cast<long long>(SceneFormat::kMaxBytes),
                           sceneText, error)) {
            std::fprintf(stderr, "dazozi-redov: %s\n", error.c_str());
            return 2;
        }
        CreateLevelData();
        if (!SceneFormat::Read(sceneText, scene, error) || !SceneFit::Check(scene, error)) {
            const std::string line = EchoedText::Escaped(options.scenePath + ": " + error);
            std::fprintf(stderr, "dazozi-redov: %s\n", line.c_str());
            return 2;
        }
    }
    // The renderer's environment variable is as much the user's word as an option: a bad value
    // is refused the same way, before the window, rather than as a failing window (status 1).
    if (RendererPreferenceFromEnvironment() == RendererPreference::Invalid) {
        std::fprintf(stderr, "dazozi-redov: %s\n", InvalidRendererMessage().c_str());
        return 2;
    }
    if (!options.recordPath.empty() && !sessionRecording.Open(options.recordPath, error)) {
        std::fprintf(stderr, "dazozi-redov: %s\n", error.c_str());
        return 2;
    }

    FrameLoop::Prepare();
    if (!StartUp(GraphicsTarget::Window)) {
        return 1;
    }
    initGame();
    SetSceneSaver(&saveToDocumentsFolder);
    SetSceneOpener(&OpenSceneText, &RestorePreviousScene);
    if (!sceneText.empty() && !OpenSceneText(sceneText, error)) {
        std::fprintf(stderr, "dazozi-redov: %s: %s\n", options.scenePath.c_str(), error.c_str());
        return 2;
    }
    EnableHelpHint(true);
    EnableToolbar(true);
    if (sessionRecording.IsOpen()) {
        SetGameRecorder(&sessionRecording);
        SetEndProgramHandler(&finishSessionRecording);
    }
    if (!options.replayPath.empty()) {
        SetGameReplay(&script);
        SetScriptedInputOnly(true);
    }
    FrameLoop::Run(&desktopFrame);
}
