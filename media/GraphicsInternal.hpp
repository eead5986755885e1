#pragma once
// Shared between the drawing and image code of media/ only.

struct SDL_Renderer;

SDL_Renderer* MediaRenderer(); // nullptr while no window/offscreen surface is open
unsigned MediaGeneration();    // changes whenever the renderer is made or destroyed

struct SDL_Window;
SDL_Window* MediaWindow(); // nullptr unless a window is open
