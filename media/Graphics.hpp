#pragma once

// Everything the game draws with, in one include: the device (window or offscreen surface),
// the frame (open, clear, paced present), the drawing state and primitives, reading the picture
// back, and the end of the program. The media code itself includes the parts it uses.

#include "media/frame/Frame.hpp"
#include "media/frame/FrameLoop.hpp"
#include "media/graphics/Capture.hpp"
#include "media/graphics/Draw.hpp"
#include "media/window/Window.hpp"
