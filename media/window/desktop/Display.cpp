#include "media/window/Display.hpp"

#include "media/base/QuietStderr.hpp"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace {

bool EnvSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// A desktop window needs an X or Wayland display, unless SDL was pointed at a driver by name.
bool DisplayReachable() {
    return EnvSet("DISPLAY") || EnvSet("WAYLAND_DISPLAY") || EnvSet("SDL_VIDEODRIVER");
}

// The display the environment names, for messages: X's DISPLAY first, as SDL tries X first.
std::string NamedDisplay() {
    if (EnvSet("DISPLAY"))
        return std::string("the X display \"") + std::getenv("DISPLAY") + "\"";
    if (EnvSet("WAYLAND_DISPLAY"))
        return std::string("the Wayland display \"") + std::getenv("WAYLAND_DISPLAY") + "\"";
    return "the display named by SDL_VIDEODRIVER";
}

bool VideoDriverRequested() {
    return EnvSet("SDL_VIDEODRIVER");
}

bool IsInvisibleVideoDriver(const char* driver) {
    return driver != nullptr &&
           (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

} // namespace

bool OpenDisplay(std::string& error) {
    if (!DisplayReachable()) {
        error = "no display found (neither DISPLAY nor WAYLAND_DISPLAY is set)";
        return false;
    }
    bool videoUp = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    if (!videoUp) {
        // The display libraries SDL tries in turn print their own warnings when theirs is not
        // there; the one line of the caller says which display failed instead.
        QuietStderr quiet;
        videoUp = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    }
    if (!videoUp) {
        error = "cannot reach " + NamedDisplay() + " (" + SDL_GetError() + ")";
        return false;
    }
    // Without a display SDL falls back to its invisible drivers, and the program would run on
    // with no window at all; only take them when someone asked for them by name.
    if (IsInvisibleVideoDriver(SDL_GetCurrentVideoDriver()) && !VideoDriverRequested()) {
        error = "cannot reach " + NamedDisplay() + " (no display server answers there)";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    return true;
}

bool DrawingBufferSize(int&, int&) {
    return false; // a desktop window's back buffer is its output's size
}
