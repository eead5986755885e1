#include "media/Window.hpp"

#include "media/Clock.hpp"
#include "media/Display.hpp"
#include "media/RendererChoice.hpp"

#include <SDL.h>

#include <cstdlib>
#include <string>

namespace {

struct Device {
    GraphicsTarget target = GraphicsTarget::Window;
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
    int width = 0, height = 0;
    int vsync = 0;
};

Device cx;

// SDL's software renderer scales and rounds every copy on its own, so tiles drawn edge to edge
// at a scale that is not whole leave a dark pixel between neighbours. A scaled software window is
// therefore drawn at the program's size into a texture, which is scaled once into the window
// when the frame is shown. The GL renderers map every corner through the same float transform
// and leave no gap between tiles at any scale (Mesa's llvmpipe under Xvfb and WebGL in the page
// were checked), so they keep their sharper per-tile scaling. At a scale of 1 the frame is
// drawn into the window directly.
bool WholeFrameScaling() {
    if (!cx.window || cx.rendererName != "software")
        return false;
    int w = 0, h = 0;
    return SDL_GetRendererOutputSize(cx.renderer, &w, &h) == 0 && (w != cx.width || h != cx.height);
}

// The frame drawn into the texture, scaled into the window's picture area (SDL's logical size
// puts it between black bars and maps the pointer back to the program's pixels).
void PresentScaledFrame() {
    SDL_SetRenderTarget(cx.renderer, nullptr);
    SDL_RenderSetClipRect(cx.renderer, nullptr);
    SDL_SetRenderDrawColor(cx.renderer, 0, 0, 0, 255);
    SDL_RenderClear(cx.renderer);
    SDL_RenderCopy(cx.renderer, cx.frame, nullptr, nullptr);
    SDL_RenderPresent(cx.renderer);
}

} // namespace

SDL_Renderer* MediaRenderer() {
    return cx.renderer;
}
unsigned MediaGeneration() {
    return cx.generation;
}
SDL_Window* MediaWindow() {
    return cx.window;
}
SDL_Surface* MediaSurface() {
    return cx.surface;
}

void SetGraphicsTarget(GraphicsTarget target) {
    cx.target = target;
}
GraphicsTarget GetGraphicsTarget() {
    return cx.target;
}

void InitMedia() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0)
        SDL_InitSubSystem(SDL_INIT_EVENTS | SDL_INIT_TIMER);
}

void SetWindowCaption(std::string_view caption) {
    cx.caption.assign(caption);
    if (cx.window)
        SDL_SetWindowTitle(cx.window, cx.caption.c_str());
}

bool OpenWindow(int width, int height, bool fullscreen) {
    CloseWindow();
    InitMedia();
    cx.error.clear();
    cx.glRenderer.clear();
    if (width <= 0 || height <= 0) {
        cx.error = "invalid window size " + std::to_string(width) + " x " + std::to_string(height);
        return false;
    }
    if (cx.target == GraphicsTarget::Offscreen) {
        cx.surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
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
        SDL_RenderSetLogicalSize(cx.renderer, width, height);
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
    if (fullscreen && cx.window)
        SDL_WarpMouseInWindow(cx.window, width / 2, height / 2);
    return true;
}

bool RemakeRenderer() {
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
    SDL_RenderSetLogicalSize(cx.renderer, cx.width, cx.height);
    SDL_RendererInfo info{};
    cx.rendererName = SDL_GetRendererInfo(cx.renderer, &info) == 0 ? info.name : "";
    ++cx.generation;
    return true;
}

void CloseWindow() {
    if (cx.renderer)
        SDL_DestroyRenderer(cx.renderer); // frees every texture made for it
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
}

bool SetFullScreen(bool on) {
    if (!cx.window)
        return false;
    // The logical size set when the window opened keeps the 1024 x 768 picture whole and
    // centred at any window size and maps the pointer back, so nothing else changes.
    return SDL_SetWindowFullscreen(cx.window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
}

bool IsFullScreen() {
    return cx.window != nullptr &&
           (SDL_GetWindowFlags(cx.window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
}

const char* RendererName() {
    return cx.renderer ? cx.rendererName.c_str() : "";
}

const char* TriedGlRenderer() {
    return cx.glRenderer.c_str();
}

const char* GraphicsError() {
    return cx.error.c_str();
}

bool GraphicsOpen() {
    return cx.renderer != nullptr;
}
int GraphicsWidth() {
    return cx.width;
}
int GraphicsHeight() {
    return cx.height;
}

void SetVSync(int on) {
    if (cx.vsync == on || !cx.renderer)
        return;
    SDL_RenderSetVSync(cx.renderer, on);
    cx.vsync = on;
}

bool PresentsKeepRate(int msPerFrame) {
    SetVSync(1);
    const int start = TimeMs();
    int inARow = 0;
    int last = start;
    for (int i = 0; i < 240 && TimeBetween(start, TimeMs()) < 1000; ++i) {
        SDL_RenderPresent(cx.renderer);
        const int now = TimeMs();
        inARow = std::abs(TimeBetween(last, now) - msPerFrame) <= 1 ? inARow + 1 : 0;
        last = now;
        if (inARow >= 3)
            return true;
    }
    SetVSync(0);
    return false;
}

// The texture has the window's pixel format, so the scaling copy converts nothing and
// allocates nothing.
void ChooseFrameTarget() {
    cx.scaledOnce = false;
    if (WholeFrameScaling()) {
        if (!cx.frame) {
            cx.frame = SDL_CreateTexture(cx.renderer, SDL_GetWindowPixelFormat(cx.window),
                                         SDL_TEXTUREACCESS_TARGET, cx.width, cx.height);
            if (cx.frame) {
                SDL_SetTextureBlendMode(cx.frame, SDL_BLENDMODE_NONE);
                SDL_SetTextureScaleMode(cx.frame, SDL_ScaleModeLinear);
            }
        }
        cx.scaledOnce = cx.frame != nullptr && SDL_SetRenderTarget(cx.renderer, cx.frame) == 0;
    }
}

void PresentFrame() {
    if (!cx.renderer)
        return;
    if (cx.scaledOnce)
        PresentScaledFrame();
    else
        SDL_RenderPresent(cx.renderer);
    // The window may have been resized or put in full screen during the frame.
    if (cx.window)
        ChooseFrameTarget();
}

int LogicalWidth() {
    return GraphicsWidth() > 0 ? GraphicsWidth() : 1;
}

int LogicalHeight() {
    return GraphicsHeight() > 0 ? GraphicsHeight() : 1;
}
