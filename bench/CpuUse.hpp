#pragma once

// CPU use of the real program in a window, paced at 60 frames per second on the real clock, on
// both window renderers in turn: SDL's software renderer and the accelerated one (on a machine
// without a GPU, OpenGL rasterised by Mesa on the CPU). Prints a Markdown table.

// Runs after StartUp(Window) and initGame(); `rounds` alternations of `seconds` per renderer
// and scene. Returns the process exit status.
int RunCpuUse(int rounds, double seconds);
