#pragma once
#include <string_view>

struct SDL_Renderer;
struct SDL_Surface;
struct SDL_Texture;
struct SDL_Window;

// The drawing device: a window on the display, or an RGBA surface in memory drawn by SDL's
// software renderer (tests, tools, benchmarks), and the renderer that draws into it. It knows
// nothing of what is drawn: the frame (media/frame/Frame) opens, clears and presents it, the
// drawing code (media/graphics/Draw) and the images' textures (media/graphics/TImage) draw with its
// renderer. The band of controls beside the picture is media/window/ControlBand's, presents paced
// by the display media/window/VSync's.

enum class GraphicsTarget { Window, Offscreen };

void SetGraphicsTarget(GraphicsTarget target); // takes effect at the next OpenWindow
GraphicsTarget GetGraphicsTarget();
void InitMedia(); // SDL events/timer (+ video if available); idempotent
void SetWindowCaption(std::string_view caption); // caption of the window opened later
// Closes what was open, then opens the target of width x height logical pixels and its
// renderer; fullscreen: desktop full screen with the pointer in the middle. The next frame is
// drawn straight into the window until ChooseFrameTarget. False on failure, with the cause in
// GraphicsError().
bool OpenWindow(int width, int height, bool fullscreen);
void CloseWindow(); // closes the window or offscreen surface (frees every texture)
// Makes the window's renderer anew, for a GPU that lost what it held (a browser's WebGL context
// given back after a loss): textures are made again on their first use. False, with the reason
// in GraphicsError(), when none could be made; false without a window.
bool RemakeRenderer();
const char* GraphicsError(); // why the last OpenWindow failed ("" if it did not)
// SDL's name of the renderer drawing now ("software", "opengl", ...); "" while closed. A window
// takes the accelerated renderer unless it is a CPU rasteriser; DAZOZI_RENDERER=software or
// accelerated forces either (read at each OpenWindow).
const char* RendererName();
const char* TriedGlRenderer(); // GL_RENDERER of the accelerated renderer tried; "" if none
// Desktop full screen at the display's resolution, the picture letterboxed and the pointer still
// reported in logical pixels; false goes back to the window. No effect offscreen; false if SDL
// refused. F11 and Alt+Enter toggle it (media/input/Input).
bool SetFullScreen(bool on);
bool IsFullScreen(); // the window is in desktop full screen now
bool GraphicsOpen();
int GraphicsWidth();  // logical width given to OpenWindow (a screen pass's width during one)
int GraphicsHeight(); // logical height given to OpenWindow (a screen pass's height during one)
// The size touch positions are normalised over: the logical picture (1 x 1 with none open).
int LogicalWidth();
int LogicalHeight();

// Between frames: picks what the next frame is drawn into (the window, or the frame texture of
// a scaled software window). Each target has a clip rectangle of its own: set it again after.
void ChooseFrameTarget();
// Shows the frame drawn so far, then (in a window) picks the next frame's target.
void PresentFrame();

// Offscreen runs stand for a window of width x height pixels (0 x 0: the program's logical
// size), showing the picture as a software window of that size does. Takes effect at the next
// OpenWindow.
void SetOffscreenWindowSize(int width, int height);
void GetOutputSize(int& w, int& h); // the window's (or offscreen surface's) pixels; 0 x 0 closed
// Output pixels per window point (the desktop's scaling, a browser's device pixel ratio); >= 1.
float PixelsPerPoint();
// From here to the present, drawing goes straight into the window's pixels: the picture drawn
// so far is shown first, then the drawing coordinates cover the output rectangle x, y, w, h
// with one unit = `unit` output pixels, and GraphicsWidth/Height give its size in units. False
// (nothing changed) when nothing is open or the rectangle is empty.
bool BeginScreenPass(int x, int y, int w, int h, float unit);
bool ScreenPassOn(); // a screen pass is on (until the present)

// For the media code drawing with the device.
SDL_Renderer* MediaRenderer(); // nullptr while nothing is open
unsigned MediaGeneration();    // changes whenever the renderer is made or destroyed
SDL_Window* MediaWindow();     // nullptr unless a window is open
SDL_Surface* MediaSurface();   // the offscreen surface; nullptr unless one is open
// The texture a scaled window's picture is drawn into this frame at the program's size; nullptr
// when the frame is drawn straight into the window.
SDL_Texture* MediaFrameTexture();
