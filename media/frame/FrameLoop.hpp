#pragma once

#include "media/base/ProgramEnd.hpp"

// The program's loop around its frame, one per platform: media/frame/desktop/FrameLoop.cpp runs it
// in a loop of its own, media/frame/web/FrameLoop.cpp from the browser's display callback. The
// build links one; the program's entry calls them in this order.
class FrameLoop {
  public:
    // Before the window opens: the platform's clock and input set-up.
    static void Prepare();
    // Runs `frame` (one complete frame, ending with Flip(-1)) again and again; after a frame
    // in which a window close was requested, ends the program (EndProgram). Escape ends it from
    // inside the frame. Never returns. frame: non-owning, lives for ever.
    [[noreturn]] static void Run(void (*frame)());
};

// Ends the program: the end handler first (which may throw to unwind, in tests), then sound and
// window closed and the process ended with the exit status (media/base/ProgramEnd.hpp).
[[noreturn]] void EndProgram();
