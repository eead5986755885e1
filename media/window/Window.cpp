#include "media/window/Window.hpp"

#include "media/window/ControlBand.hpp"
#include "media/window/Device.hpp"
#include "media/window/Display.hpp"
#include "media/window/PictureLayout.hpp"
#include "media/window/RendererChoice.hpp"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

GraphicsTarget nextTarget = GraphicsTarget::Window; // what the next OpenWindow opens

// SDL's software renderer scales and rounds every copy on its own, so tiles drawn edge to edge
// at a scale that is not whole leave a dark pixel between neighbours. A scaled software window is
// therefore drawn at the program's size into a texture, which is scaled once into the window
// when the frame is shown. The GL renderers map every corner through the same float transform
// and leave no gap between tiles at any scale (Mesa's llvmpipe under Xvfb and WebGL in the page
// were checked), so they keep their sharper per-tile scaling. At a scale of 1 the frame is
// drawn into the window directly.
// With the controls' band the picture is placed by the program, not by SDL's logical size, and
// every renderer draws it whole first.
bool WholeFrameScaling() {
    Device& cx = TheDevice();
    if (!cx.window && !cx.surface)
        return false;
    if (ControlBandItems() > 0)
        return true;
    if (cx.rendererName != "software")
        return false;
    int w = 0, h = 0;
    return SDL_GetRendererOutputSize(cx.renderer, &w, &h) == 0 && (w != cx.width || h != cx.height);
}

// SDL's logical size letterboxes the picture and maps the window's pointer to the program's
// pixels; with the band, or during a pass in window pixels, it is off. Set while the window,
// not a texture, is the target: SDL keeps a target's settings apart.
void UseLogicalSize(bool on) {
    Device& cx = TheDevice();
    if (cx.logicalOn == on || !cx.renderer)
        return;
    SDL_RenderSetLogicalSize(cx.renderer, on ? cx.width : 0, on ? cx.height : 0);
    if (!on) {
        SDL_RenderSetViewport(cx.renderer, nullptr);
        SDL_RenderSetScale(cx.renderer, 1.0f, 1.0f);
    }
    cx.logicalOn = on;
}

bool WantsLogicalSize() {
    Device& cx = TheDevice();
    if (ControlBandItems() > 0)
        return false;
    if (cx.window)
        return true;
    return cx.surface && (cx.surface->w != cx.width || cx.surface->h != cx.height);
}

// The frame drawn into the texture, scaled into the window's picture area (SDL's logical size
// puts it between black bars and maps the pointer back to the program's pixels).
// With the band the program places it itself.
void ShowScaledFrame() {
    Device& cx = TheDevice();
    SDL_SetRenderTarget(cx.renderer, nullptr);
    SDL_RenderSetClipRect(cx.renderer, nullptr);
    SDL_SetRenderDrawColor(cx.renderer, 0, 0, 0, 255);
    SDL_RenderClear(cx.renderer);
    if (cx.logicalOn) {
        SDL_RenderCopy(cx.renderer, cx.frame, nullptr, nullptr);
    } else {
        const PixelRect p = CurrentPictureLayout().picture;
        const SDL_Rect dst{p.x, p.y, p.w, p.h};
        SDL_RenderCopy(cx.renderer, cx.frame, nullptr, &dst);
    }
    cx.scaledOnce = false;
}

} // namespace

SDL_Renderer* MediaRenderer() {
    return TheDevice().renderer;
}
unsigned MediaGeneration() {
    return TheDevice().generation;
}
SDL_Window* MediaWindow() {
    return TheDevice().window;
}
SDL_Surface* MediaSurface() {
    return TheDevice().surface;
}
SDL_Texture* MediaFrameTexture() {
    Device& cx = TheDevice();
    return cx.frame != nullptr && (cx.scaledOnce || cx.passOn) ? cx.frame : nullptr;
}

void SetGraphicsTarget(GraphicsTarget target) {
    nextTarget = target;
}
GraphicsTarget GetGraphicsTarget() {
    return nextTarget;
}

void InitMedia() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0)
        SDL_InitSubSystem(SDL_INIT_EVENTS | SDL_INIT_TIMER);
}

void SetWindowCaption(std::string_view caption) {
    Device& cx = TheDevice();
    cx.caption.assign(caption);
    if (cx.window)
        SDL_SetWindowTitle(cx.window, cx.caption.c_str());
}

bool OpenWindow(int width, int height, bool fullscreen) {
    Device& cx = TheDevice();
    CloseWindow();
    InitMedia();
    cx.error.clear();
    cx.glRenderer.clear();
    if (width <= 0 || height <= 0) {
        cx.error = "invalid window size " + std::to_string(width) + " x " + std::to_string(height);
        return false;
    }
    if (nextTarget == GraphicsTarget::Offscreen) {
        const int outW = cx.offscreenW > 0 ? cx.offscreenW : width;
        const int outH = cx.offscreenH > 0 ? cx.offscreenH : height;
        cx.surface = SDL_CreateRGBSurfaceWithFormat(0, outW, outH, 32, SDL_PIXELFORMAT_ARGB8888);
        if (!cx.surface) {
            cx.error = std::string("cannot make the offscreen surface: ") + SDL_GetError();
            return false;
        }
        cx.renderer = SDL_CreateSoftwareRenderer(cx.surface);
        if (!cx.renderer) {
            cx.error = std::string("cannot make the software renderer: ") + SDL_GetError();
            SDL_FreeSurface(cx.surface);
            cx.surface = nullptr;
            return false;
        }
    } else {
        const RendererPreference preference = RendererPreferenceFromEnvironment();
        if (preference == RendererPreference::Invalid) {
            cx.error = InvalidRendererMessage();
            return false;
        }
        if (!OpenDisplay(cx.error))
            return false;
        // Hidden until its renderer is made: making a GL renderer replaces the window, and the
        // first one would flash on the screen (and be found by whoever looks for it) and vanish.
        Uint32 windowFlags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_HIDDEN;
        if (fullscreen)
            windowFlags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        cx.window = SDL_CreateWindow(cx.caption.c_str(), SDL_WINDOWPOS_CENTERED,
                                     SDL_WINDOWPOS_CENTERED, width, height, windowFlags);
        if (!cx.window) {
            cx.error = std::string("cannot open the window: ") + SDL_GetError();
            return false;
        }
        // One-pixel lines through the driver's own line call, as the offscreen software renderer
        // draws them (it takes no line method): SDL's default for a window renderer plots its
        // own points and lands some a pixel away, and the golden frames would not show what the
        // window does.
        SDL_SetHintWithPriority(SDL_HINT_RENDER_LINE_METHOD, "2", SDL_HINT_OVERRIDE);
        const RendererChoice choice = CreateWindowRenderer(cx.window, preference);
        cx.renderer = choice.renderer;
        cx.glRenderer = choice.glRenderer;
        if (!cx.renderer) {
            cx.error = std::string("cannot draw into the window: ") + SDL_GetError();
            SDL_DestroyWindow(cx.window);
            cx.window = nullptr;
            return false;
        }
        // The picture keeps the program's size and aspect when the window is resized, and
        // SDL maps the pointer back into those coordinates.
        SDL_StopTextInput();
        SDL_ShowWindow(cx.window);
    }
    ++cx.generation;
    {
        SDL_RendererInfo info{};
        cx.rendererName = SDL_GetRendererInfo(cx.renderer, &info) == 0 ? info.name : "";
    }
    cx.width = width;
    cx.height = height;
    cx.vsync = 0;
    cx.frame = nullptr;
    cx.scaledOnce = false;
    cx.passOn = false;
    cx.logicalOn = false;
    cx.outW = cx.outH = 0;
    SDL_GetRendererOutputSize(cx.renderer, &cx.outW, &cx.outH);
    UseLogicalSize(WantsLogicalSize());
    if (fullscreen && cx.window)
        SDL_WarpMouseInWindow(cx.window, width / 2, height / 2);
    return true;
}

bool RemakeRenderer() {
    Device& cx = TheDevice();
    if (!cx.window)
        return false;
    // Everything made for the old renderer goes with it; the caches see a new generation.
    if (cx.renderer)
        SDL_DestroyRenderer(cx.renderer);
    cx.renderer = nullptr;
    cx.frame = nullptr;
    cx.scaledOnce = false;
    ++cx.generation;
    const RendererChoice choice =
        CreateWindowRenderer(cx.window, RendererPreferenceFromEnvironment());
    cx.renderer = choice.renderer;
    if (!cx.renderer) {
        cx.error = std::string("cannot draw into the window: ") + SDL_GetError();
        return false;
    }
    cx.logicalOn = false;
    cx.passOn = false;
    SDL_GetRendererOutputSize(cx.renderer, &cx.outW, &cx.outH);
    UseLogicalSize(WantsLogicalSize());
    SDL_RendererInfo info{};
    cx.rendererName = SDL_GetRendererInfo(cx.renderer, &info) == 0 ? info.name : "";
    ++cx.generation;
    return true;
}

void CloseWindow() {
    Device& cx = TheDevice();
    if (cx.renderer) {
        // The frame's texture may still be the target: the software renderer leaks what it
        // keeps for a target destroyed with it, so the window takes the drawing back first.
        SDL_SetRenderTarget(cx.renderer, nullptr);
        SDL_DestroyRenderer(cx.renderer); // frees every texture made for it
    }
    if (cx.window)
        SDL_DestroyWindow(cx.window);
    if (cx.surface)
        SDL_FreeSurface(cx.surface);
    if (cx.renderer || cx.window || cx.surface)
        ++cx.generation;
    cx.renderer = nullptr;
    cx.window = nullptr;
    cx.surface = nullptr;
    cx.frame = nullptr;
    cx.scaledOnce = false;
    cx.passOn = false;
    cx.logicalOn = false;
}

bool SetFullScreen(bool on) {
    Device& cx = TheDevice();
    if (!cx.window)
        return false;
    // The logical size set when the window opened keeps the 1024 x 768 picture whole and
    // centred at any window size and maps the pointer back, so nothing else changes.
    return SDL_SetWindowFullscreen(cx.window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
}

bool IsFullScreen() {
    Device& cx = TheDevice();
    return cx.window != nullptr &&
           (SDL_GetWindowFlags(cx.window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
}

const char* RendererName() {
    Device& cx = TheDevice();
    return cx.renderer ? cx.rendererName.c_str() : "";
}

const char* TriedGlRenderer() {
    Device& cx = TheDevice();
    return cx.glRenderer.c_str();
}

const char* GraphicsError() {
    Device& cx = TheDevice();
    return cx.error.c_str();
}

bool GraphicsOpen() {
    Device& cx = TheDevice();
    return cx.renderer != nullptr;
}
int GraphicsWidth() {
    Device& cx = TheDevice();
    return cx.passOn ? cx.passW : cx.width;
}
int GraphicsHeight() {
    Device& cx = TheDevice();
    return cx.passOn ? cx.passH : cx.height;
}

// The texture has the window's pixel format, so the scaling copy converts nothing and
// allocates nothing.
void ChooseFrameTarget() {
    Device& cx = TheDevice();
    cx.scaledOnce = false;
    if (cx.renderer && SDL_GetRenderTarget(cx.renderer) == nullptr &&
        SDL_GetRendererOutputSize(cx.renderer, &cx.outW, &cx.outH) != 0)
        cx.outW = cx.outH = 0;
    if (cx.passOn) {
        cx.passOn = false;
        SDL_RenderSetViewport(cx.renderer, nullptr);
        SDL_RenderSetScale(cx.renderer, 1.0f, 1.0f);
    }
    UseLogicalSize(WantsLogicalSize());
    if (WholeFrameScaling()) {
        if (!cx.frame) {
            const Uint32 format =
                cx.window ? SDL_GetWindowPixelFormat(cx.window) : cx.surface->format->format;
            cx.frame = SDL_CreateTexture(cx.renderer, format, SDL_TEXTUREACCESS_TARGET, cx.width,
                                         cx.height);
            if (cx.frame) {
                SDL_SetTextureBlendMode(cx.frame, SDL_BLENDMODE_NONE);
                SDL_SetTextureScaleMode(cx.frame, SDL_ScaleModeLinear);
            }
        }
        cx.scaledOnce = cx.frame != nullptr && SDL_SetRenderTarget(cx.renderer, cx.frame) == 0;
    }
}

void PresentFrame() {
    Device& cx = TheDevice();
    if (!cx.renderer)
        return;
    if (cx.scaledOnce)
        ShowScaledFrame();
    SDL_RenderPresent(cx.renderer);
    // The window may have been resized or put in full screen during the frame.
    if (cx.window || cx.passOn || cx.offscreenW > 0 || ControlBandItems() > 0)
        ChooseFrameTarget();
}

int LogicalWidth() {
    Device& cx = TheDevice();
    return cx.width > 0 ? cx.width : 1;
}

int LogicalHeight() {
    Device& cx = TheDevice();
    return cx.height > 0 ? cx.height : 1;
}

void SetOffscreenWindowSize(int width, int height) {
    Device& cx = TheDevice();
    cx.offscreenW = std::max(width, 0);
    cx.offscreenH = std::max(height, 0);
}

void GetOutputSize(int& w, int& h) {
    TheDevice().OutputSize(w, h);
}

float PixelsPerPoint() {
    return TheDevice().PixelsPerPoint();
}

bool BeginScreenPass(int x, int y, int w, int h, float unit) {
    Device& cx = TheDevice();
    if (!cx.renderer || w <= 0 || h <= 0 || unit <= 0.0f)
        return false;
    if (cx.scaledOnce)
        ShowScaledFrame();
    SDL_SetRenderTarget(cx.renderer, nullptr);
    UseLogicalSize(false);
    SDL_RenderSetScale(cx.renderer, unit, unit);
    // SDL takes the viewport in the scaled units and multiplies it back.
    const SDL_Rect viewport{static_cast<int>(std::lround(static_cast<float>(x) / unit)),
                            static_cast<int>(std::lround(static_cast<float>(y) / unit)),
                            static_cast<int>(static_cast<float>(w) / unit),
                            static_cast<int>(static_cast<float>(h) / unit)};
    SDL_RenderSetViewport(cx.renderer, &viewport);
    SDL_RenderSetClipRect(cx.renderer, nullptr);
    cx.passOn = true;
    cx.passW = viewport.w;
    cx.passH = viewport.h;
    return true;
}

bool ScreenPassOn() {
    return TheDevice().passOn;
}
