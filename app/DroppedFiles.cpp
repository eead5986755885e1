#include "app/DroppedFiles.hpp"

#include <cstdio>

#include "app/Autosave.hpp"
#include "app/Game.hpp"
#include "app/SceneDocument.hpp"
#include "media/base/ReadWholeFile.hpp"
#include "media/input/Input.hpp"
#include "media/input/InputRecorder.hpp"
#include "media/input/InputRing.hpp"
#include "scene/EchoedText.hpp"
#include "scene/SceneFormat.hpp"

namespace {

// What went wrong with a file the user handed over: on stderr and, for a moment, on screen. The
// file's name is the user's too: a control byte in it reaches the terminal escaped.
void reportFileProblem(const std::string& problem) {
    const std::string line = EchoedText::Escaped(problem);
    std::fprintf(stderr, "dazozi-redov: %s\n", line.c_str());
    ShowNotice(line);
}

} // namespace

void DroppedFiles::BeforeFrame() {
    const std::string dropped = TakeDroppedFile();
    if (const InputScript* replay = GameReplay()) {
        if (!dropped.empty()) {
            ShowNotice("Files dropped during a replay are ignored");
        }
        if (const std::string* text = replay->DropAt(GameFrameNumber())) {
            // A replay's drop is part of the play since the start, as its keys are.
            if (InputRing* ring = GameRing()) {
                ring->Drop(*text);
            }
            openScene(*text, "the recording's dropped scene");
        }
    } else if (!dropped.empty()) {
        openFile(dropped);
    }
}

void DroppedFiles::openScene(const std::string& text, const std::string& name) {
    std::string error;
    if (text.size() > SceneFormat::kMaxBytes) {
        reportFileProblem(name + ": larger than 16 MB");
    } else if (!OpenSceneText(text, error)) {
        reportFileProblem(name + ": " + error);
    } else {
        ShowNotice("Scene opened: " + name);
    }
}

void DroppedFiles::openFile(const std::string& path) {
    std::string text, error;
    if (!ReadWholeFile(path, InputScript::kMaxBytes, text, error)) {
        reportFileProblem(error);
        return;
    }
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first != std::string::npos && text[first] == '{') {
        // Recorded with its bytes, before the frame it opens in: a replay opens the same scene
        // at the same moment whatever became of the file since.
        if (recording_ != nullptr) {
            recording_->Drop(text);
        }
        if (InputRing* ring = GameRing()) {
            ring->Drop(text);
        }
        openScene(text, path);
        return;
    }
    // Every recording has frame lines; a file without any is something else altogether, and
    // its first line's fault would only puzzle: say what can be dropped instead.
    if (text.find("frame") == std::string::npos) {
        reportFileProblem(path + " is neither a scene file (.json) nor a recording (--record):"
                                 " only those can be dropped here");
        return;
    }
    InputScript recording;
    if (!recording.Load(path, error)) {
        reportFileProblem(error);
        return;
    }
    // A replay from a new start cannot be told in the session's frames: the session's
    // recording ends whole here.
    if (recording_ != nullptr) {
        SetGameRecorder(nullptr);
        if (!recording_->Finish()) {
            ReportRecordingFailure(*recording_);
        }
        recording_ = nullptr;
        reportFileProblem("the recording ends here: " + path + " replays from a new start");
    }
    replayed_ = std::move(recording);
    replayedText_ = std::move(text);
    ClearScene();
    initGame();
    // What the replay makes is not the user's work to keep.
    Autosave::MarkSaved();
    RestartFrameCount();
    SetGameReplay(&replayed_);
    SetScriptedInputOnly(true);
    FlushInput();
    ShowNotice("Replaying " + path);
}
