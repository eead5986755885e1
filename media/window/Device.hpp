#pragma once

#include <string>

struct SDL_Renderer;
struct SDL_Surface;
struct SDL_Texture;
struct SDL_Window;

// The drawing device's state, for the window part's own files (Window, ControlBand, VSync): what
// is open, its renderer and sizes. One for the program (TheDevice), made empty at start-up and
// filled by OpenWindow; the SDL objects it points to belong to it until CloseWindow.
struct Device {
    std::string caption;
    std::string error;
    std::string rendererName; // SDL's name of the renderer in use
    std::string glRenderer;   // GL_RENDERER of the accelerated renderer tried, if any
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Surface* surface = nullptr; // the offscreen back buffer
    SDL_Texture* frame = nullptr;   // the whole picture of a scaled software window, made once
    bool scaledOnce = false;        // frames are drawn into `frame` and scaled when shown
    unsigned generation = 0;
    int width = 0, height = 0; // logical size given to OpenWindow
    int vsync = 0;
    int offscreenW = 0, offscreenH = 0; // the window an offscreen run stands for (0: none)
    bool logicalOn = false;             // SDL's logical size is set on the window's renderer
    // A pass drawing in the window's own pixels (BeginScreenPass until the present): the
    // picture is already in the window, and drawing sizes are passW x passH units.
    bool passOn = false;
    int passW = 0, passH = 0;
    // The window's output pixels, taken while the window is the target: SDL gives a target
    // texture's size instead while one is set.
    int outW = 0, outH = 0;

    // The window's (or offscreen surface's) pixels; 0 x 0 while nothing is open.
    void OutputSize(int& w, int& h) const;
    // Output pixels per window point (the desktop's scaling, a browser's device pixel ratio); >= 1.
    float PixelsPerPoint() const;
};

Device& TheDevice(); // the program's one device
