#pragma once

#include <cstddef>
#include <string>

class InputRing;

// A #replay= link of what was played: the input since the program's first frame, kept by the
// ring while play is under a minute, else a recording the user opened. A replay starts from the
// program's first frame, the one state every copy of the program shares exactly; a scene saved
// later would lose the physics library's memory of its contacts, and the replay would part
// from the play (docs/scene-format.md).
class ReplayLink {
  public:
    static constexpr int kRingFrames = 3600;            // a minute at 60 frames a second
    static constexpr std::size_t kRingBytes = 1u << 20; // its events' text
    // Where the page lives: the desktop's links open there.
    static constexpr const char* kPageAddress = "https://dazozi-redov.example.org/";

    struct Made {
        bool ok = false;
        std::string link; // address + "#replay=" + payload, when ok
        std::string what; // when ok: what it replays ("the play since the start (12 s)")
        std::string line; // when not ok: why, and what to do instead, in one line
        std::string text; // the recording it carries (also when too long: for a file)
    };

    // The link of ring's play when it holds the start, else of recording's text (a recording
    // opened; "" when none). tooLong: what to do instead of a link over
    // SceneLink::kMaxLinkBytes; tooLate: what to do when neither can be shared. Pure.
    static Made Make(const InputRing& ring, const std::string& recording,
                     const std::string& address, const std::string& tooLong,
                     const std::string& tooLate);
};
