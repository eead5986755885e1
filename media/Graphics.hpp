#pragma once

// Everything the game draws with, in one include: the device (window or offscreen surface),
// the frame (open, clear, paced present), the drawing state and primitives, reading the picture
// back, and the end of the program. The media code itself includes the parts it uses.

#include "media/Capture.hpp"
#include "media/Draw.hpp"
#include "media/Frame.hpp"
#include "media/FrameLoop.hpp"
#include "media/Window.hpp"
