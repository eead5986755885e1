#pragma once

#include <cstddef>
#include <string>

#include "app/ReplayStarts.hpp"

class InputRing;

// A #replay= link of what was played: the input since the program's first frame, kept by the
// ring while play is under a minute; past that, the last minute: the input since a start point
// (ReplayStarts), which the link carries as a scene dropped before its first frame; else a
// recording the user opened. A replay of the whole play starts from the program's first frame,
// the one state every copy of the program shares exactly, and ends with the play's very bodies.
// One of the last minute starts from the scene file of its start point, which holds the bodies'
// state as floats (the physics holds doubles) and not the physics library's memory of its
// contacts (docs/scene-format.md): it replays the same on every copy of the program, but parts
// from the play in time, as a saved scene opened does; and the undo history before the start
// is not in it.
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

    // The link of ring's play when it holds the start; else of the input since the oldest of
    // starts (nullptr: none) the ring still holds, from that start's scene; else of recording's
    // text (a recording opened; "" when none). tooLong: what to do instead of a link over
    // SceneLink::kMaxLinkBytes; tooLate: what to do when none of them can be shared. Pure.
    static Made Make(const InputRing& ring, const ReplayStarts* starts,
                     const std::string& recording, const std::string& address,
                     const std::string& tooLong, const std::string& tooLate);
    // The recording of ring's input from start on: the pointer and the window as they were and
    // start's scene dropped before frame 0, then the input since, its frames counted from
    // start's. Pure.
    static std::string FromStart(const InputRing& ring, const ReplayStarts::Start& start);
};
