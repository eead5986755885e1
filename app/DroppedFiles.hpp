#pragma once

#include <string>

#include "media/input/InputScript.hpp"

class InputRecorder;

// Files dropped on the window, taken between two frames. A scene (JSON, starting with '{')
// opens in place of the current one; anything else is taken for a recording and replayed from a
// new start. While a replay runs, the replay's own drops open at their frames and the user's are
// ignored, as the user's keys are. Uses the program-wide game of Game.hpp.
class DroppedFiles {
  public:
    // The session's recording (non-owning, open, outliving its use; nullptr: none). A dropped
    // scene goes into it with its bytes; a dropped recording ends it whole where the replay
    // begins, said in one line (a failure to finish as ReportRecordingFailure says it).
    void Record(InputRecorder* recording) { recording_ = recording; }
    // Before a frame (after HandOverWhenReplayEnds): opens what was dropped since the last one.
    void BeforeFrame();
    // The text of the recording dropped last ("" before one), for a replay link.
    const std::string& ReplayedText() const { return replayedText_; }

  private:
    void openScene(const std::string& text, const std::string& name);
    void openFile(const std::string& path);

    InputRecorder* recording_ = nullptr;
    // A recording dropped on the window plays as --replay plays one; the frames read it through
    // SetGameReplay's pointer while it plays.
    InputScript replayed_;
    std::string replayedText_;
};
