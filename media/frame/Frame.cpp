#include "media/frame/Frame.hpp"

#include "media/base/Clock.hpp"
#include "media/graphics/Draw.hpp"
#include "media/input/Input.hpp"
#include "media/window/ControlBand.hpp"
#include "media/window/VSync.hpp"
#include "media/window/Window.hpp"

#include <SDL.h>

namespace {

struct Pacing {
    bool fullscreen = false; // opened with a depth: full screen asked for
    bool on = false;         // Flip(-1) sleeps to keep the rate
    int hertz = 0, msPerFrame = 0, remainder = 0, accumulator = 0;
    std::uint32_t targetTime = 0;
    int clsR = 0, clsG = 0, clsB = 0;
    float overlayScale = 1.0f;
};
Pacing cx;

} // namespace

bool OpenGraphics(int width, int height, int depth, int hertz, int flags) {
    (void)flags; // the back buffer is always there: SDL renderers are double buffered
    cx.fullscreen = depth != 0;
    if (!OpenWindow(width, height, cx.fullscreen))
        return false;
    ResetDrawState();
    ApplyViewport();
    cx.hertz = hertz;
    cx.on = hertz > 0;
    cx.msPerFrame = hertz > 0 ? 1000 / hertz : 0;
    cx.remainder = hertz > 0 ? 1000 - cx.msPerFrame * hertz : 0;
    // Full screen: when presents synchronised to the retrace already take one frame at the
    // requested rate, the display paces the program and the software pacing is not needed.
    if (cx.fullscreen && cx.on && PresentsKeepRate(cx.msPerFrame))
        cx.on = false;
    cx.accumulator = 0;
    cx.targetTime = static_cast<std::uint32_t>(TimeMs());
    ChooseFrameTarget();
    ApplyViewport(); // each target keeps a clip rectangle of its own
    FlushInput();
    Cls();
    return true;
}

void CloseGraphics() {
    CloseWindow();
}

void SetClsColor(int r, int g, int b) {
    cx.clsR = r;
    cx.clsG = g;
    cx.clsB = b;
}

void Cls() {
    SDL_Renderer* renderer = MediaRenderer();
    if (!renderer)
        return;
    FlushDraws(); // what waits belongs under the clear
    SDL_SetRenderDrawColor(renderer, static_cast<Uint8>(cx.clsR), static_cast<Uint8>(cx.clsG),
                           static_cast<Uint8>(cx.clsB), 255);
    SDL_RenderClear(renderer);
}

void Flip(int sync) {
    if (sync == -1 && cx.on) {
        cx.targetTime += static_cast<std::uint32_t>(cx.msPerFrame);
        cx.accumulator += cx.remainder;
        if (cx.accumulator >= cx.hertz) {
            cx.accumulator -= cx.hertz;
            cx.targetTime += 1;
        }
        const int wait = static_cast<int>(cx.targetTime - static_cast<std::uint32_t>(TimeMs()));
        if (wait > 0)
            SleepMs(wait);
        else
            cx.targetTime -= static_cast<std::uint32_t>(wait); // late: pace from now, no burst
        SetVSync(0);
    } else if (sync == -1) {
        SetVSync(cx.fullscreen ? 1 : 0);
    } else {
        SetVSync(sync == 1 ? 1 : 0);
    }
    if (!MediaRenderer())
        return;
    FlushDraws();
    PresentFrame();
    if (MediaWindow())
        ApplyViewport(); // the next frame's target has a clip rectangle of its own
}

namespace {

// The overlay over a picture laid out so, with unit output pixels to a window point.
OverlayFrame overlayFor(const PictureLayout& layout, float unit) {
    OverlayFrame o{1.0f, LogicalWidth(), LogicalHeight(), false};
    // One window point per font pixel at least: on a high-density screen (a phone's browser)
    // the picture may have more output pixels than the program and still be drawn smaller
    // than the text can be read at.
    const PixelRect& p = layout.picture;
    if (layout.scale <= 0.0f || layout.scale >= unit || p.w <= 0 || p.h <= 0)
        return o;
    // As BeginScreenPass sizes its pass.
    o.width = static_cast<int>(static_cast<float>(p.w) / unit);
    o.height = static_cast<int>(static_cast<float>(p.h) / unit);
    o.scale = static_cast<float>(o.width) / static_cast<float>(LogicalWidth());
    o.windowPixels = true;
    return o;
}

} // namespace

OverlayFrame NextOverlay() {
    if (!GraphicsOpen())
        return {1.0f, LogicalWidth(), LogicalHeight(), false};
    return overlayFor(CurrentPictureLayout(), PixelsPerPoint());
}

OverlayFrame InputOverlay() {
    if (!GraphicsOpen())
        return {1.0f, LogicalWidth(), LogicalHeight(), false};
    int w = 0, h = 0;
    float unit = 1.0f;
    InputWindow(w, h, unit);
    return overlayFor(InputPictureLayout(), unit);
}

void BeginOverlay() {
    cx.overlayScale = 1.0f;
    FlushDraws(); // what waits belongs to the picture
    const OverlayFrame next = NextOverlay();
    if (!next.windowPixels)
        return;
    const PictureLayout layout = CurrentPictureLayout();
    const PixelRect& p = layout.picture;
    if (BeginScreenPass(p.x, p.y, p.w, p.h, PixelsPerPoint())) {
        cx.overlayScale = static_cast<float>(GraphicsWidth()) / static_cast<float>(LogicalWidth());
        ApplyViewport();
    }
}

float OverlayScale() {
    return ScreenPassOn() ? cx.overlayScale : 1.0f;
}

bool BeginWindowPass() {
    FlushDraws();
    int w = 0, h = 0;
    GetOutputSize(w, h);
    if (!BeginScreenPass(0, 0, w, h, PixelsPerPoint()))
        return false;
    ApplyViewport();
    return true;
}

std::uint32_t FlipTargetMs() {
    return cx.targetTime;
}
