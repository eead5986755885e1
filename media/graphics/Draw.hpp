#pragma once
#include <string_view>
#include <vector>

class TImage;

// The drawing state and the primitives, drawn with the device's renderer (media/window/Window) into
// the frame being made. Nothing is drawn while no window or offscreen surface is open.

// Global drawing state, sticky until changed.
void SetColor(int r, int g, int b); // 0..255, multiplies every drawn pixel
void GetColor(int& r, int& g, int& b);
void SetAlpha(float a); // 0..1, multiplies every drawn pixel's alpha
float GetAlpha();
// How drawn pixels meet the ones under them; a value outside the named ones draws as Mask.
enum class Blend {
    Mask = 1,  // opaque where alpha times the global alpha reaches one half, nothing elsewhere
    Solid = 2, // replaces the pixels, alpha included
    Alpha = 3, // mixes by alpha
    Light = 4, // adds (glows)
    Shade = 5, // multiplies (darkens)
};
void SetBlend(Blend mode);
Blend GetBlend();
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
// The camera's zoom over world drawing (> 0): every position, plus the origin, and every size the
// primitives below draw is multiplied by it; line widths are not, so thin lines stay thin. 1
// (the default) changes nothing; the overlay is drawn at 1.
void SetViewZoom(float zoom);
float GetViewZoom();
void SetViewport(int x, int y, int w, int h); // clip rectangle in logical pixels
void GetViewport(int& x, int& y, int& w, int& h);
void GetTransform(float& ix, float& iy, float& jx, float& jy); // from rotation and scale
// Every setting back to its default, the viewport the whole surface (a new window's state).
void ResetDrawState();
// Gives the renderer's current target the viewport as its clip rectangle (after the device
// opened or changed the target).
void ApplyViewport();

// Primitives (positions in logical pixels, plus the origin).
void DrawImage(TImage& image, float x, float y, int frame = 0); // frame in [0, FrameCount)
void DrawText(std::string_view text, float x, float y);         // 8 x 16 glyphs, codes 32..127
void DrawLine(float x1, float y1, float x2, float y2, int drawLastPixel = 1);
void DrawRect(float x, float y, float w, float h); // filled, transformed like an image
// A point of a primitive, logical pixels.
struct DrawPoint {
    float x, y;
};
// A colour of one polygon: 0..255 each, alpha multiplied by the state's alpha.
struct DrawColour {
    unsigned char r, g, b, a;
};
// Most corners FillConvexPolygon draws; further ones are left out.
inline constexpr int kMaxFillCorners = 64;
// A filled convex polygon with the state's colour, alpha and blend; corners (either winding)
// plus the origin, times the view zoom, not turned or scaled by the state. Fewer than 3 corners
// draw nothing.
void FillConvexPolygon(const DrawPoint* corners, int count);
// Filled convex polygons drawn in order, each in its own colour (the state's colour does not
// apply; its alpha and blend do: Mask draws every one opaque), as few renderer calls as
// possible: polygon i has cornerCounts[i] corners, following the previous one's in `corners`.
// Polygons of fewer than 3 or more than kMaxFillCorners corners are left out. Allocates
// nothing.
void FillConvexPolygons(const DrawPoint* corners, const int* cornerCounts,
                        const DrawColour* colours, int polygons);
// An opaque rectangle of one colour (0..255) on whole pixels plus the origin, replacing what is
// under it; the state's colour, alpha, blend and transform do not apply. On GPU renderers it
// samples no texture: for large areas, where a CPU rasteriser pays per texel read.
void FillSolidRect(int x, int y, int w, int h, int r, int g, int b);
// A frame of image stretched over the picture rectangle x, y, w, h (whole pixels; origin,
// transform, handle and view zoom do not apply; colour, alpha and blend do), sampled nearest:
// rectangles that share an edge meet without a seam or a texel of a neighbouring frame.
void DrawImageRect(TImage& image, int frame, int x, int y, int w, int h);
// Moves a rectangle's edges (program pixels) onto the output's whole pixels under the renderer's
// scale, so that pieces laid edge to edge meet where every rasteriser fills each pixel once: an
// edge a hair from a pixel's centre (a scale of 1.5234 puts row 148 at 225.47) leaves that row
// to neither piece on some GPUs. Nothing changes at a scale of 1.
void SnapToOutputPixels(float& left, float& top, float& right, float& bottom);

// On GPU renderers, consecutive textured quads of one texture and blend mode (images, text,
// rectangles, wide lines) wait and go to the renderer as one call; the software renderer draws
// each at once. FlushDraws hands over what waits: the frame calls it before clearing,
// presenting or reading the picture back, and media's textures before they change.
void FlushDraws();
// true (default): batch on GPU renderers; false: draw every primitive at once (for tests).
void SetDrawBatching(bool on);

// Draw-call recording for tests: every DrawImage appends a record while a sink is set.
struct DrawRecord {
    const TImage* image; // non-owning
    int frame;
    float x, y;
};
void SetDrawRecording(std::vector<DrawRecord>* sink); // non-owning; nullptr stops recording

// Renderer calls the primitives made since the program started, for the bench: draws (copies,
// geometry, lines, rectangles handed to the renderer) and state changes (colour, alpha, blend).
struct DrawCallCounts {
    unsigned long long draws = 0;
    unsigned long long stateChanges = 0;
};
DrawCallCounts GetDrawCallCounts();

double SinDeg(double degrees);
double CosDeg(double degrees);
