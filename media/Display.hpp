#pragma once
#include <string>

// The platform's display, before a window is made on it: media/desktop/Display.cpp (an X or
// Wayland display) or media/web/Display.cpp (the page's canvas); the build links one.

// Brings up SDL's video on the platform's display (idempotent). False when there is none to
// draw on, with one line saying why in `error`.
bool OpenDisplay(std::string& error);
