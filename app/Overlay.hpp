#pragma once

class CPShape;
class CPSpace;

// Text overlay state, program-wide.
extern int shapeCount;  // active physics shapes counted in the current frame
extern int fpsFrames;   // frames counted in the current one-second window
extern int fpsValue;    // frames of the last completed window: the value shown
extern int fpsNextTime; // TimeMs() at which the current window ends; start-up sets TimeMs() + 1000

// ForEach callback: adds 1 to shapeCount, ignores both arguments. Always 0.
int countShape(CPShape* shape, void* data);
// shapeCount = the number of active shapes of space (static shapes are not counted).
void CountActiveShapes(CPSpace& space);
// Draws " FPS : <fpsValue>" at (GraphicsWidth() - 80, 0) in white over a one-pixel dark
// shadow (below the counts, at y 98 or on a touch device 30, when the first line leaves no room
// beside it) (the colour is
// white again afterwards), counts this frame and closes the window when TimeMs() reached
// fpsNextTime (wrap-safe); the next window ends 1000 ms after this one did, or 1000 ms from now
// when the clock has passed more than a whole window since.
void drawFPS();
// Draws the seven help and count lines at x = 0, y = 0, 14, ..., 84 in white over a one-pixel
// dark shadow (on a touch device two short ones, what a finger does and the shapes' count);
// leaves the colour white and the rest of the state as it was.
void DrawOverlayText();
