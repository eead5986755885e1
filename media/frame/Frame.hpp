#pragma once
#include <cstdint>

// What begins and ends a frame, over the device (media/window/Window) and the drawing state
// (media/graphics/Draw): opening and closing the drawing surface, clearing, and the paced present.

// Opens the drawing surface of width x height logical pixels; depth 0 = desktop window, else
// full screen; hertz = pace of Flip(-1) (0 = no pacing). Resets the drawing state and clears.
// Returns false on failure, with the cause in GraphicsError().
bool OpenGraphics(int width, int height, int depth, int hertz, int flags);
void CloseGraphics(); // closes the window/offscreen surface (frees frame textures)
void Cls();           // fills the back buffer with the clear colour
void SetClsColor(int r, int g, int b);
// Presents the back buffer. -1: paced to the OpenGraphics hertz; 1: waits for the retrace; 0: not.
void Flip(int sync);
// The overlay (text and panels over the picture) comes after the picture. Where the picture is
// drawn smaller than one window point per pixel, the overlay is drawn at the window's own
// resolution over the picture instead, with one unit per window point, so that the 8 x 16 font
// never shrinks below its own size; until the present GraphicsWidth/Height then give the
// overlay's size in those units. Otherwise (scale 1, a larger window) nothing changes.
void BeginOverlay();
// Overlay units per logical pixel of the picture: 1 unless BeginOverlay moved to the window's
// resolution this frame (e.g. 0.5 in a 512 x 384 window); for placing things at the pointer.
float OverlayScale();
// What the next BeginOverlay gives, from the window as it is now: overlay units per logical pixel
// and the overlay's size in them (1 and the logical size where nothing moves, or nothing is
// open). For input read before the overlay is drawn: a click on a panel lands where it showed.
struct OverlayFrame {
    float scale = 1.0f;
    int width = 0;
    int height = 0;
    bool windowPixels = false; // drawn at the window's resolution over the picture
};
OverlayFrame NextOverlay();
// The same for the window input is laid out for (InputWindow: a replay's own window while it
// plays): for clicks on panels drawn in window points, the same at every window size.
OverlayFrame InputOverlay();
// From here to the present, drawing covers the whole window, one unit per window point, for
// the program's controls beside the picture. False when nothing is open.
bool BeginWindowPass();
// TimeMs at which the paced Flip(-1) lets the next frame start (where its sleep ends).
std::uint32_t FlipTargetMs();
