#include "media/frame/FrameLoop.hpp"

#include "media/audio/TSound.hpp"
#include "media/frame/Frame.hpp"
#include "media/input/Input.hpp"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

void FrameLoop::Prepare() {
    // The desktop's clock is the system clock, which is the default: nothing to set up.
}

void FrameLoop::Run(void (*frame)()) {
    // The first frame runs before the first look for a close request.
    do {
        frame();
    } while (!CloseRequested());
    EndProgram();
}

void EndProgram() {
    RunEndProgramHandler();
    const int status = ExitStatus();
    std::fflush(stdout);
    std::fflush(stderr);
    CloseAudio();
    CloseGraphics();
    SDL_Quit();
    std::exit(status);
}
