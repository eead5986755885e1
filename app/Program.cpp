#include "app/Program.hpp"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "app/Autosave.hpp"
#include "app/DroppedFiles.hpp"
#include "app/Game.hpp"
#include "app/Options.hpp"
#include "app/ReplayLink.hpp"
#include "app/ReplayStarts.hpp"
#include "app/SavedScene.hpp"
#include "app/SavedSceneList.hpp"
#include "app/SceneDocument.hpp"
#include "control/SceneFit.hpp"
#include "data/LevelData.hpp"
#include "media/base/ProgramEnd.hpp"
#include "media/base/ReadWholeFile.hpp"
#include "media/frame/FrameLoop.hpp"
#include "media/input/Input.hpp"
#include "media/input/InputRecorder.hpp"
#include "media/input/InputRing.hpp"
#include "media/input/InputScript.hpp"
#include "media/input/ScriptedInput.hpp"
#include "media/window/Clipboard.hpp"
#include "media/window/RendererChoice.hpp"
#include "scene/EchoedText.hpp"
#include "scene/SceneFormat.hpp"

namespace {

const char* environment(const char* name) {
    return std::getenv(name);
}

// Ctrl+S: a new file in the user's documents folder, and where it went; or where it would have
// gone and why not, on stderr as well, since the notice is gone in a moment.
std::string saveToDocumentsFolder() {
    std::string failure;
    const std::string path =
        SavedScene::Save(std::time(nullptr), &environment, CurrentSceneText(), &failure);
    if (!path.empty()) {
        Autosave::MarkSaved();
        return "Scene saved: " + path;
    }
    const std::string line = "Scene could not be saved: " + failure;
    std::fprintf(stderr, "dazozi-redov: %s\n", line.c_str());
    return line;
}

// The scene menu's saved scenes: the newest few of the folder Ctrl+S saves into.
std::vector<SavedSceneList::Entry> findSavedScenes() {
    constexpr std::size_t kMost = 6; // with the examples, the menu fits a 512 x 384 window
    return SavedSceneList::Newest(SavedSceneList::Folder(&environment), kMost);
}

// Ctrl+O: the scene kept when the program last ended with unsaved work. Once open it is the
// user's work again (kept again at the end unless saved), and the kept file has done its job.
std::string openLeftWork() {
    const std::string path = Autosave::Path(&environment);
    std::string text, error;
    if (!Autosave::Waiting(path)) {
        return "Nothing was left unsaved";
    }
    if (!ReadWholeFile(path, static_cast<long long>(SceneFormat::kMaxBytes), text, error) ||
        !OpenSceneText(text, error)) {
        std::fprintf(stderr, "dazozi-redov: %s\n", error.c_str());
        return "What you left cannot be opened: " + error;
    }
    Autosave::Forget(path);
    return "What you left is back (Ctrl+Z: the scene before)";
}

// The end of the program with work not saved: the scene goes to the state folder, to be offered
// back at the next start. A failure is said, and the exit status becomes 1: the work is lost.
void keepUnsavedWork() {
    if (!Autosave::Unsaved()) {
        return;
    }
    std::string error;
    if (!Autosave::Keep(Autosave::Path(&environment), CurrentSceneText(), error)) {
        std::fprintf(stderr, "dazozi-redov: the unsaved scene could not be kept: %s\n",
                     error.c_str());
        SetExitStatus(1);
    }
}

// The program's --record file. At namespace scope so that the end of the program can finish it
// and say when that failed.
InputRecorder sessionRecording;

void finishSessionRecording() {
    if (sessionRecording.IsOpen() && !sessionRecording.Finish()) {
        ReportRecordingFailure(sessionRecording);
    }
}

DroppedFiles droppedFiles;

// The last minute of play, for Ctrl+L's link; the text of --replay's recording, which a link can
// carry once play has outgrown the ring (as it can a recording dropped on the window).
InputRing sessionRing(ReplayLink::kRingFrames, ReplayLink::kRingBytes);
ReplayStarts sessionStarts; // where a link of the last minute starts
std::string replayedText;

std::string copyReplayLink() {
    const char* instead = "record with --record to share it";
    // The recording replayed last: one dropped on the window replaces --replay's.
    const std::string& recording =
        droppedFiles.ReplayedText().empty() ? replayedText : droppedFiles.ReplayedText();
    const ReplayLink::Made made = ReplayLink::Make(sessionRing, &sessionStarts, recording,
                                                   ReplayLink::kPageAddress, instead, instead);
    if (!made.ok) {
        return made.line;
    }
    if (!Clipboard::SetText(made.link)) {
        return "The replay link could not be put on the clipboard";
    }
    return "Replay link copied: " + made.what;
}

// The program's frame: a replay that has run out first gives the input back to the user, and a
// file dropped since the last frame replaces the scene before this frame's input.
void desktopFrame() {
    HandOverWhenReplayEnds();
    droppedFiles.BeforeFrame();
    updateGame();
}

// However the program ends (Escape, the window closed): the recording finished, the work kept.
void endOfProgram() {
    finishSessionRecording();
    keepUnsavedWork();
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
        // Read whole already: a second read of the same file cannot fail but by a race.
        std::string ignored;
        ReadWholeFile(options.replayPath, InputScript::kMaxBytes, replayedText, ignored);
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
    // The scene as the program starts is the one on disk (the level's own, or --scene's file).
    Autosave::MarkSaved();
    SetLeftWorkOpener(&openLeftWork);
    SetSavedSceneFinder(&findSavedScenes);
    SetEndProgramHandler(&endOfProgram);
    // Only looked at, not read, until the user asks for it; a replay's pictures stay its own.
    if (options.replayPath.empty() && Autosave::Waiting(Autosave::Path(&environment))) {
        ShowNotice("Ctrl+O: open what you left");
    }
    EnableHelpHint(true);
    EnableToolbar(true);
    // The scene the program started with is part of what a link replays.
    if (!sceneText.empty()) {
        sessionRing.Drop(sceneText);
    }
    SetGameRing(&sessionRing);
    SetReplayStarts(&sessionStarts, &CurrentSceneText);
    SetReplayLinkCopier(&copyReplayLink);
    if (sessionRecording.IsOpen()) {
        SetGameRecorder(&sessionRecording);
        droppedFiles.Record(&sessionRecording);
    }
    if (!options.replayPath.empty()) {
        SetGameReplay(&script);
        SetScriptedInputOnly(true);
    }
    FrameLoop::Run(&desktopFrame);
}
