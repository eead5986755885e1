#pragma once
#include <cstdint>

// What begins and ends a frame, over the device (media/Window) and the drawing state
// (media/Draw): opening and closing the drawing surface, clearing, and the paced present.

// Opens the drawing surface of width x height logical pixels; depth 0 = desktop window, else
// full screen; hertz = pace of Flip(-1) (0 = no pacing). Resets the drawing state and clears.
// Returns false on failure, with the cause in GraphicsError().
bool OpenGraphics(int width, int height, int depth, int hertz, int flags);
void CloseGraphics(); // closes the window/offscreen surface (frees frame textures)
void Cls();           // fills the back buffer with the clear colour
void SetClsColor(int r, int g, int b);
// Presents the back buffer. -1: paced to the OpenGraphics hertz; 1: waits for the retrace; 0: not.
void Flip(int sync);
// TimeMs at which the paced Flip(-1) lets the next frame start (where its sleep ends).
std::uint32_t FlipTargetMs();
