#pragma once

#include "media/window/PictureLayout.hpp"

// The band of the program's controls beside the picture (a toolbar), and where the picture and
// the band are in the window. Without a band SDL letterboxes the picture and maps the pointer;
// with one the window part places the picture itself and the input maps the pointer through
// WindowPointToLogical.

// Keeps a band beside the picture for the program's controls: `items` squares `pitchPoints`
// window points apart (0 items: none, SDL letterboxes the picture). Takes effect at the next
// frame; the pointer is then mapped by the program (WindowPointToLogical).
void SetControlBand(int items, int pitchPoints);
int ControlBandItems(); // squares in the band; 0 without a band
int ControlBandPitch(); // the band's pitch in output pixels (0 without a band)
// Where the picture and the band are in the window now.
PictureLayout CurrentPictureLayout();
// The window a replay's input was made in: outW x outH output pixels, pixelsPerPoint of them to
// a window point. Until it is cleared (outW or outH 0), input laid out in window points reads
// clicks as that window laid them out, whatever the window is now.
void SetReplayedWindow(int outW, int outH, float pixelsPerPoint);
// The window input is laid out for: the replayed one while set, else the window as it is (0 x 0
// with nothing open).
void InputWindow(int& outW, int& outH, float& pixelsPerPoint);
// Where the picture and the band are in InputWindow.
PictureLayout InputPictureLayout();
// True when the window's pointer events come in window points and are to be mapped to the
// program's pixels with WindowPointToLogical (SDL maps them itself without the band).
bool MapsPointerItself();
void WindowPointToLogical(int& x, int& y); // window points -> logical pixels, in place
