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
// True when the window's pointer events come in window points and are to be mapped to the
// program's pixels with WindowPointToLogical (SDL maps them itself without the band).
bool MapsPointerItself();
void WindowPointToLogical(int& x, int& y); // window points -> logical pixels, in place
