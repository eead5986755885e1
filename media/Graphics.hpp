#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TImage;

// Where OpenGraphics draws: a window on the display, or an RGBA surface in memory drawn by
// SDL's software renderer (tests, tools, benchmarks).
enum class GraphicsTarget { Window, Offscreen };

void SetGraphicsTarget(GraphicsTarget target); // takes effect at the next OpenGraphics
GraphicsTarget GetGraphicsTarget();
void InitMedia(); // SDL events/timer (+ video if available); idempotent
void SetWindowCaption(std::string_view caption); // caption of the window opened later
// Opens the drawing surface of width x height logical pixels; depth 0 = desktop window, else
// full screen; hertz = pace of Flip(-1) (0 = no pacing). Resets the drawing state.
// Returns false on failure, with the cause in GraphicsError().
bool OpenGraphics(int width, int height, int depth, int hertz, int flags);
const char* GraphicsError(); // why the last OpenGraphics failed ("" if it did not)
// SDL's name of the renderer drawing now ("software", "opengl", ...); "" while closed. A window
// takes the accelerated renderer unless it is a CPU rasteriser; DAZOZI_RENDERER=software or
// accelerated forces either (read at each OpenGraphics).
const char* RendererName();
const char* TriedGlRenderer(); // GL_RENDERER of the accelerated renderer tried; "" if none
// Desktop full screen at the display's resolution, the picture letterboxed and the pointer still
// reported in logical pixels; false goes back to the window. No effect offscreen; false if SDL
// refused. F11 and Alt+Enter toggle it (media/input/Input).
bool SetFullScreen(bool on);
bool IsFullScreen();  // the window is in desktop full screen now
void CloseGraphics(); // closes the window/offscreen surface (frees frame textures)
bool GraphicsOpen();
int GraphicsWidth();  // logical width given to OpenGraphics
int GraphicsHeight(); // logical height given to OpenGraphics
void Cls();           // fills the back buffer with the clear colour
void SetClsColor(int r, int g, int b);
// Presents the back buffer. -1: paced to the OpenGraphics hertz; 1: waits for the retrace; 0: not.
void Flip(int sync);
// TimeMs at which the paced Flip(-1) lets the next frame start (where its sleep ends).
std::uint32_t FlipTargetMs();
int CloseRequested(); // 1 if a close was requested since the last call (clears it); polls events
[[noreturn]] void EndProgram(); // calls the end handler if set, else exits with status 0
void SetEndProgramHandler(void (*handler)()); // handler may throw to unwind; nullptr = exit
void SetExitStatus(int status);               // the status EndProgram exits with (0 until set)

// Global drawing state, sticky until changed.
void SetColor(int r, int g, int b); // 0..255, multiplies every drawn pixel
void GetColor(int& r, int& g, int& b);
void SetAlpha(float a); // 0..1, multiplies every drawn pixel's alpha
float GetAlpha();
void SetBlend(int mode); // 1 mask, 2 solid, 3 alpha, 4 light (additive), 5 shade (multiply)
int GetBlend();
void SetLineWidth(float w); // pixels
float GetLineWidth();
void SetRotation(float degrees); // positive turns clockwise on screen
float GetRotation();
void SetScale(float sx, float sy);
void GetScale(float& sx, float& sy);
void SetOrigin(float x, float y); // added to every drawing position
void GetOrigin(float& x, float& y);
void SetHandle(float x, float y); // offset of text and line positions (before the transform)
void GetHandle(float& x, float& y);
void SetViewport(int x, int y, int w, int h); // clip rectangle in logical pixels
void GetViewport(int& x, int& y, int& w, int& h);
void GetTransform(float& ix, float& iy, float& jx, float& jy); // from rotation and scale

// Primitives (positions in logical pixels, plus the origin).
void DrawImage(TImage& image, float x, float y, int frame = 0); // frame in [0, FrameCount)
void DrawText(std::string_view text, float x, float y);         // 8 x 16 glyphs, codes 32..127
void DrawLine(float x1, float y1, float x2, float y2, int drawLastPixel = 1);
void DrawRect(float x, float y, float w, float h); // filled, transformed like an image

// Back-buffer access for tests and tools.
std::uint32_t ReadPixel(int x, int y); // 0xRRGGBBAA of the back buffer; 0 outside
bool SaveBackBufferPng(const std::string& path);
// The picture drawn so far as RGBA bytes, rows width * 4 apart: the whole offscreen target, the
// program-size frame of a scaled software window, or else a window's picture between its bars in
// the window's pixels. False when nothing is open.
bool ReadBackBuffer(std::vector<std::uint8_t>& rgba, int& width, int& height);

// Draw-call recording for tests: every DrawImage appends a record while a sink is set.
struct DrawRecord {
    const TImage* image; // non-owning
    int frame;
    float x, y;
};
void SetDrawRecording(std::vector<DrawRecord>* sink); // non-owning; nullptr stops recording

double SinDeg(double degrees);
double CosDeg(double degrees);
