#pragma once

#include <cstdlib>

// True when the tests may open real windows: an X display is named and no SDL video driver is
// forced (ctest runs the window tests under Xvfb; elsewhere SDL's dummy driver is set).
inline bool XServerAvailable() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return std::getenv("DISPLAY") != nullptr && (driver == nullptr || driver[0] == '\0');
}
