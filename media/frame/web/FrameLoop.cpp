#include "media/frame/FrameLoop.hpp"

#include "media/audio/TSound.hpp"
#include "media/base/Clock.hpp"
#include "media/base/web/BrowserClock.hpp"
#include "media/frame/CallbackPacer.hpp"
#include "media/frame/Frame.hpp"
#include "media/input/Input.hpp"
#include "media/window/Window.hpp"

#include <SDL.h>
#include <emscripten.h>

#include <cstdlib>

namespace {
BrowserClock browserClock;
CallbackPacer pacer;
void (*frameFunction)() = nullptr;
bool graphicsRestored = false; // the page was given its WebGL context back

void OnDisplayCallback() {
    if (!pacer.Due(static_cast<std::uint32_t>(TimeMs())))
        return;
    // Between frames: the renderer and every texture are made again in the new context.
    if (graphicsRestored) {
        graphicsRestored = false;
        if (!RemakeRenderer()) {
            EM_ASM({
                if (Module.onGraphicsFailed)
                    Module.onGraphicsFailed();
            });
        }
    }
    frameFunction();
    // The page learns that a frame was drawn (its first hides the loading panel).
    EM_ASM({
        if (Module.onFrame)
            Module.onFrame();
    });
    if (CloseRequested())
        EndProgram();
}
} // namespace

// The page tells the game that the browser gave back the WebGL context it had lost: what the
// GPU held (textures, shaders) is gone, and the next frame makes it again.
extern "C" EMSCRIPTEN_KEEPALIVE void dazozi_graphics_restored() {
    graphicsRestored = true;
}

void FrameLoop::Prepare() {
    SetClock(&browserClock);
    // Keys go to the game only while its canvas has the focus, so the rest of the page (and
    // the browser's own shortcuts) keep working around it.
    SDL_SetHint(SDL_HINT_EMSCRIPTEN_KEYBOARD_ELEMENT, "#canvas");
}

void FrameLoop::Run(void (*frame)()) {
    frameFunction = frame;
    // 0 frames per second: the browser's display callback (requestAnimationFrame) drives the
    // loop; the pacer picks the callbacks that run a frame. Never returns.
    emscripten_set_main_loop(OnDisplayCallback, 0, 1);
    std::abort(); // not reached: the call above unwinds the stack into the browser
}

// In a page the display callback keeps the runtime alive, so a plain exit() would leave the
// page's loop running without ever reporting the end. The loop is stopped, what is open closed,
// and the program ended for good: the page's onExit shows that the game is over.
void EndProgram() {
    RunEndProgramHandler();
    emscripten_cancel_main_loop();
    CloseAudio();
    CloseGraphics();
    SDL_Quit();
    emscripten_force_exit(ExitStatus());
}
