#pragma once
#include <string>

// The platform's display, before a window is made on it: media/window/desktop/Display.cpp (an X or
// Wayland display) or media/window/web/Display.cpp (the page's canvas); the build links one.

// Brings up SDL's video on the platform's display (idempotent). False when there is none to
// draw on, with one line saying why in `error`.
bool OpenDisplay(std::string& error);
// The size in pixels of the buffer a window's renderer draws into, when the platform may make it
// smaller than the renderer's output (a browser's drawing buffer has a largest size); false when
// it always holds the whole output (a desktop window) or nothing is drawn yet.
bool DrawingBufferSize(int& width, int& height);
