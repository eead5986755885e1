#include "media/Graphics.hpp"

#include "media/Clock.hpp"
#include "media/Font8x16.hpp"
#include "media/GraphicsInternal.hpp"
#include "media/QuietStderr.hpp"
#include "media/RendererChoice.hpp"
#include "media/TImage.hpp"
#include "media/TSound.hpp"
#include "media/input/Input.hpp"

#include <SDL.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool EnvSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// A desktop window needs an X or Wayland display, unless SDL was pointed at a driver by name.
bool DisplayReachable() {
    return EnvSet("DISPLAY") || EnvSet("WAYLAND_DISPLAY") || EnvSet("SDL_VIDEODRIVER");
}

// The display the environment names, for messages: X's DISPLAY first, as SDL tries X first.
std::string NamedDisplay() {
    if (EnvSet("DISPLAY"))
        return std::string("the X display \"") + std::getenv("DISPLAY") + "\"";
    if (EnvSet("WAYLAND_DISPLAY"))
        return std::string("the Wayland display \"") + std::getenv("WAYLAND_DISPLAY") + "\"";
    return "the display named by SDL_VIDEODRIVER";
}

bool VideoDriverRequested() {
    return EnvSet("SDL_VIDEODRIVER");
}

bool IsInvisibleVideoDriver(const char* driver) {
    return driver != nullptr &&
           (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}
constexpr double kDegToRad = 0.017453292519943295;
constexpr int kGlyphW = 8;
constexpr int kGlyphH = 16;
constexpr int kGlyphCount = 96;

struct DrawState {
    int r = 255, g = 255, b = 255;
    float alpha = 1.0f;
    int blend = 1;
    float lineWidth = 1.0f;
    float rotation = 0.0f;
    float sx = 1.0f, sy = 1.0f;
    float ix = 1.0f, iy = 0.0f, jx = 0.0f, jy = 1.0f;
    bool identity = true; // no rotation and unit scale: images go through the plain copy path
    float ox = 0.0f, oy = 0.0f;
    float hx = 0.0f, hy = 0.0f;
    int vx = 0, vy = 0, vw = 0, vh = 0;
};

struct Context {
    GraphicsTarget target = GraphicsTarget::Window;
    std::string caption;
    std::string error;
    std::string rendererName; // SDL's name of the renderer in use
    std::string glRenderer;   // GL_RENDERER of the accelerated renderer tried, if any
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Surface* surface = nullptr; // the offscreen back buffer
    SDL_Texture* font = nullptr;
    SDL_Texture* white = nullptr; // 1x1 opaque white, for wide lines
    SDL_Texture* frame = nullptr; // the whole picture of a scaled software window, made once
    bool scaledOnce = false;      // frames are drawn into `frame` and scaled when shown
    unsigned generation = 0;
    int width = 0, height = 0;
    bool fullscreen = false;
    int vsync = 0;
    // Frame pacing of Flip(-1).
    bool pacing = false;
    int hertz = 0, msPerFrame = 0, remainder = 0, accumulator = 0;
    std::uint32_t targetTime = 0;
    int clsR = 0, clsG = 0, clsB = 0;
    std::vector<DrawRecord>* recording = nullptr;
    void (*endHandler)() = nullptr;
    int exitStatus = 0;
};

DrawState ds;
Context cx;

Uint8 AlphaByte(float a) {
    return static_cast<Uint8>(std::clamp(a, 0.0f, 1.0f) * 255.0f + 0.5f);
}

void UpdateTransform() {
    const double rad = ds.rotation * kDegToRad;
    const float c = static_cast<float>(std::cos(rad));
    const float s = static_cast<float>(std::sin(rad));
    ds.ix = c * ds.sx;
    ds.iy = -s * ds.sy;
    ds.jx = s * ds.sx;
    ds.jy = c * ds.sy;
    ds.identity = ds.rotation == 0.0f && ds.sx == 1.0f && ds.sy == 1.0f;
}

void ApplyViewport() {
    if (!cx.renderer)
        return;
    if (ds.vx <= 0 && ds.vy <= 0 && ds.vx + ds.vw >= cx.width && ds.vy + ds.vh >= cx.height) {
        SDL_RenderSetClipRect(cx.renderer, nullptr);
    } else {
        SDL_Rect clip{ds.vx, ds.vy, std::max(ds.vw, 0), std::max(ds.vh, 0)};
        SDL_RenderSetClipRect(cx.renderer, &clip);
    }
}

// Sets a texture up for the current blend mode. Returns the texture to draw and the vertex
// colour (which geometry uses instead of the texture modulation), or nullptr when the mode
// draws nothing at the current alpha.
struct TexturedDraw {
    SDL_Texture* texture;
    SDL_Color color;
};

SDL_BlendMode BlendFor(int mode) {
    switch (mode) {
    case 2:
        return SDL_BLENDMODE_NONE;
    case 4:
        return SDL_BLENDMODE_ADD;
    case 5:
        return SDL_BLENDMODE_MOD;
    default:
        return SDL_BLENDMODE_BLEND;
    }
}

// Texture for a frame in the current mode. Mask mode draws the thresholded copy opaquely:
// a pixel passes when its alpha times the global alpha reaches one half.
TexturedDraw PrepareTexture(SDL_Texture* plain, TImage* image, int frame) {
    SDL_Color col{static_cast<Uint8>(ds.r), static_cast<Uint8>(ds.g), static_cast<Uint8>(ds.b),
                  AlphaByte(ds.alpha)};
    SDL_Texture* tex = plain;
    if (ds.blend == 1 || ds.blend < 1 || ds.blend > 5) {
        if (ds.alpha < 0.5f)
            return {nullptr, col};
        if (image)
            tex = image->MaskTexture(frame, ds.alpha >= 1.0f ? 0.5f : 0.5f / ds.alpha);
        col.a = 255;
    }
    if (!tex)
        return {nullptr, col};
    SDL_SetTextureBlendMode(tex, BlendFor(ds.blend));
    SDL_SetTextureColorMod(tex, col.r, col.g, col.b);
    SDL_SetTextureAlphaMod(tex, col.a);
    return {tex, col};
}

// Colour and blend mode for untextured primitives; false when nothing is to be drawn.
bool PrepareFill(SDL_Color& col) {
    col = SDL_Color{static_cast<Uint8>(ds.r), static_cast<Uint8>(ds.g), static_cast<Uint8>(ds.b),
                    AlphaByte(ds.alpha)};
    SDL_BlendMode mode = BlendFor(ds.blend);
    if (ds.blend == 1 || ds.blend < 1 || ds.blend > 5) {
        if (ds.alpha < 0.5f)
            return false;
        col.a = 255;
        mode = SDL_BLENDMODE_NONE;
    }
    SDL_SetRenderDrawBlendMode(cx.renderer, mode);
    SDL_SetRenderDrawColor(cx.renderer, col.r, col.g, col.b, col.a);
    return true;
}

// A textured quad: corner (u, v) of the rectangle [u0, u1] x [v0, v1] lands at
// (x + u*ix + v*iy, y + u*jx + v*jy); texture coordinates [s0, s1] x [t0, t1].
void QuadVertices(SDL_Vertex* v, float x, float y, float u0, float v0, float u1, float v1, float s0,
                  float t0, float s1, float t1, SDL_Color col) {
    const float us[4] = {u0, u1, u1, u0};
    const float vs[4] = {v0, v0, v1, v1};
    const float ss[4] = {s0, s1, s1, s0};
    const float ts[4] = {t0, t0, t1, t1};
    for (int k = 0; k < 4; ++k) {
        v[k].position.x = x + us[k] * ds.ix + vs[k] * ds.iy;
        v[k].position.y = y + us[k] * ds.jx + vs[k] * ds.jy;
        v[k].color = col;
        v[k].tex_coord.x = ss[k];
        v[k].tex_coord.y = ts[k];
    }
}

constexpr int kQuadIndices[6] = {0, 1, 2, 0, 2, 3};

// SDL's software renderer builds a temporary surface for every untextured triangle it blends;
// sampling one white texel instead draws the same pixels without allocating each time.
SDL_Texture* WhiteTexture() {
    if (cx.white)
        return cx.white;
    const Uint32 pixel = 0xFFFFFFFFu;
    cx.white =
        SDL_CreateTexture(cx.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 1, 1);
    if (cx.white) {
        SDL_UpdateTexture(cx.white, nullptr, &pixel, 4);
        SDL_SetTextureScaleMode(cx.white, SDL_ScaleModeNearest);
    }
    return cx.white;
}

SDL_Texture* FontTexture() {
    if (cx.font)
        return cx.font;
    // White glyph pixels, transparent white elsewhere, all 96 glyphs side by side.
    static Uint32 pixels[kGlyphH][kGlyphW * kGlyphCount];
    for (int g = 0; g < kGlyphCount; ++g)
        for (int row = 0; row < kGlyphH; ++row)
            for (int col = 0; col < kGlyphW; ++col) {
                const bool on = (kFont8x16[g][row] >> (7 - col)) & 1;
                pixels[row][g * kGlyphW + col] = on ? 0xFFFFFFFFu : 0x00FFFFFFu;
            }
    cx.font = SDL_CreateTexture(cx.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                kGlyphW * kGlyphCount, kGlyphH);
    if (cx.font) {
        SDL_UpdateTexture(cx.font, nullptr, pixels, kGlyphW * kGlyphCount * 4);
        SDL_SetTextureScaleMode(cx.font, SDL_ScaleModeNearest);
    }
    return cx.font;
}

void SetVSync(int on) {
    if (cx.vsync == on || !cx.renderer)
        return;
    SDL_RenderSetVSync(cx.renderer, on);
    cx.vsync = on;
}

// Full screen: when presents synchronised to the retrace already take one frame at the
// requested rate (three in a row within 1 ms, measured for up to a second), the display paces
// the program and the software pacing is not needed.
bool DisplayKeepsTheRate() {
    SetVSync(1);
    const int start = TimeMs();
    int inARow = 0;
    int last = start;
    for (int i = 0; i < 240 && TimeBetween(start, TimeMs()) < 1000; ++i) {
        SDL_RenderPresent(cx.renderer);
        const int now = TimeMs();
        inARow = std::abs(TimeBetween(last, now) - cx.msPerFrame) <= 1 ? inARow + 1 : 0;
        last = now;
        if (inARow >= 3)
            return true;
    }
    SetVSync(0);
    return false;
}

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

// Between frames only, with the window as the render target: picks where the next frame is drawn.
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
    ApplyViewport(); // each target keeps a clip rectangle of its own
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

void ResetDrawState() {
    ds = DrawState{};
    ds.vw = cx.width;
    ds.vh = cx.height;
    UpdateTransform();
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

bool OpenGraphics(int width, int height, int depth, int hertz, int flags) {
    (void)flags; // the back buffer is always there: SDL renderers are double buffered
    CloseGraphics();
    InitMedia();
    cx.error.clear();
    cx.glRenderer.clear();
    if (width <= 0 || height <= 0) {
        cx.error = "invalid window size " + std::to_string(width) + " x " + std::to_string(height);
        return false;
    }
    cx.fullscreen = depth != 0;
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
        if (!DisplayReachable()) {
            cx.error = "no display found (neither DISPLAY nor WAYLAND_DISPLAY is set)";
            return false;
        }
        bool videoUp = SDL_WasInit(SDL_INIT_VIDEO) != 0;
        if (!videoUp) {
            // The display libraries SDL tries in turn print their own warnings when theirs is
            // not there; the one line of the caller says which display failed instead.
            QuietStderr quiet;
            videoUp = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        }
        if (!videoUp) {
            cx.error = "cannot reach " + NamedDisplay() + " (" + SDL_GetError() + ")";
            return false;
        }
        // Without a display SDL falls back to its invisible drivers, and the program would run
        // on with no window at all; only take them when someone asked for them by name.
        if (IsInvisibleVideoDriver(SDL_GetCurrentVideoDriver()) && !VideoDriverRequested()) {
            cx.error = "cannot reach " + NamedDisplay() + " (no display server answers there)";
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            return false;
        }
        // Hidden until its renderer is made: making a GL renderer replaces the window, and the
        // first one would flash on the screen (and be found by whoever looks for it) and vanish.
        Uint32 windowFlags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_HIDDEN;
        if (cx.fullscreen)
            windowFlags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        cx.window = SDL_CreateWindow(cx.caption.c_str(), SDL_WINDOWPOS_CENTERED,
                                     SDL_WINDOWPOS_CENTERED, width, height, windowFlags);
        if (!cx.window) {
            cx.error = std::string("cannot open the window: ") + SDL_GetError();
            return false;
        }
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
    cx.font = nullptr;
    cx.white = nullptr;
    cx.frame = nullptr;
    cx.scaledOnce = false;
    ResetDrawState();
    ApplyViewport();
    cx.hertz = hertz;
    cx.pacing = hertz > 0;
    cx.msPerFrame = hertz > 0 ? 1000 / hertz : 0;
    cx.remainder = hertz > 0 ? 1000 - cx.msPerFrame * hertz : 0;
    if (cx.fullscreen && cx.pacing && DisplayKeepsTheRate())
        cx.pacing = false;
    cx.accumulator = 0;
    cx.targetTime = static_cast<std::uint32_t>(TimeMs());
    if (cx.fullscreen && cx.window)
        SDL_WarpMouseInWindow(cx.window, width / 2, height / 2);
    ChooseFrameTarget();
    FlushInput();
    Cls();
    return true;
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

void CloseGraphics() {
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
    cx.font = nullptr;
    cx.white = nullptr;
    cx.frame = nullptr;
    cx.scaledOnce = false;
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

void SetClsColor(int r, int g, int b) {
    cx.clsR = r;
    cx.clsG = g;
    cx.clsB = b;
}

void Cls() {
    if (!cx.renderer)
        return;
    SDL_SetRenderDrawColor(cx.renderer, static_cast<Uint8>(cx.clsR), static_cast<Uint8>(cx.clsG),
                           static_cast<Uint8>(cx.clsB), 255);
    SDL_RenderClear(cx.renderer);
}

void Flip(int sync) {
    if (sync == -1 && cx.pacing) {
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

std::uint32_t FlipTargetMs() {
    return cx.targetTime;
}

int CloseRequested() {
    PollEvents();
    return TakeCloseRequest() ? 1 : 0;
}

void SetEndProgramHandler(void (*handler)()) {
    cx.endHandler = handler;
}

void SetExitStatus(int status) {
    cx.exitStatus = status;
}

void EndProgram() {
    if (cx.endHandler)
        cx.endHandler();
    const int status = cx.exitStatus;
    std::fflush(stdout);
    std::fflush(stderr);
    CloseAudio();
    CloseGraphics();
    SDL_Quit();
    std::exit(status);
}

void SetColor(int r, int g, int b) {
    ds.r = std::clamp(r, 0, 255);
    ds.g = std::clamp(g, 0, 255);
    ds.b = std::clamp(b, 0, 255);
}
void GetColor(int& r, int& g, int& b) {
    r = ds.r;
    g = ds.g;
    b = ds.b;
}
void SetAlpha(float a) {
    ds.alpha = a;
}
float GetAlpha() {
    return ds.alpha;
}
void SetBlend(int mode) {
    ds.blend = mode;
}
int GetBlend() {
    return ds.blend;
}
void SetLineWidth(float w) {
    ds.lineWidth = w;
}
float GetLineWidth() {
    return ds.lineWidth;
}
void SetRotation(float degrees) {
    ds.rotation = degrees;
    UpdateTransform();
}
float GetRotation() {
    return ds.rotation;
}
void SetScale(float sx, float sy) {
    ds.sx = sx;
    ds.sy = sy;
    UpdateTransform();
}
void GetScale(float& sx, float& sy) {
    sx = ds.sx;
    sy = ds.sy;
}
void SetOrigin(float x, float y) {
    ds.ox = x;
    ds.oy = y;
}
void GetOrigin(float& x, float& y) {
    x = ds.ox;
    y = ds.oy;
}
void SetHandle(float x, float y) {
    ds.hx = x;
    ds.hy = y;
}
void GetHandle(float& x, float& y) {
    x = ds.hx;
    y = ds.hy;
}
void SetViewport(int x, int y, int w, int h) {
    ds.vx = x;
    ds.vy = y;
    ds.vw = w;
    ds.vh = h;
    ApplyViewport();
}
void GetViewport(int& x, int& y, int& w, int& h) {
    x = ds.vx;
    y = ds.vy;
    w = ds.vw;
    h = ds.vh;
}
void GetTransform(float& ix, float& iy, float& jx, float& jy) {
    ix = ds.ix;
    iy = ds.iy;
    jx = ds.jx;
    jy = ds.jy;
}

void DrawImage(TImage& image, float x, float y, int frame) {
    if (cx.recording)
        cx.recording->push_back(DrawRecord{&image, frame, x, y});
    if (!cx.renderer || frame < 0 || frame >= image.FrameCount())
        return;
    SDL_Texture* plain = ds.blend == 1 ? nullptr : image.FrameTexture(frame);
    TexturedDraw d = PrepareTexture(plain, &image, frame);
    if (!d.texture)
        return;
    const float w = static_cast<float>(image.width);
    const float h = static_cast<float>(image.height);
    if (ds.identity) {
        SDL_FRect dst{x + ds.ox - image.handle_x, y + ds.oy - image.handle_y, w, h};
        SDL_RenderCopyF(cx.renderer, d.texture, nullptr, &dst);
        return;
    }
    SDL_Vertex v[4];
    QuadVertices(v, x + ds.ox, y + ds.oy, -image.handle_x, -image.handle_y, w - image.handle_x,
                 h - image.handle_y, 0.0f, 0.0f, 1.0f, 1.0f, d.color);
    SDL_RenderGeometry(cx.renderer, d.texture, v, 4, kQuadIndices, 6);
}

void DrawText(std::string_view text, float x, float y) {
    if (!cx.renderer || text.empty())
        return;
    SDL_Texture* font = FontTexture();
    TexturedDraw d = PrepareTexture(font, nullptr, 0);
    if (!d.texture)
        return;
    // The pen starts at the position plus the origin plus the transformed handle.
    float px = x + ds.ox + ds.hx * ds.ix + ds.hy * ds.iy;
    float py = y + ds.oy + ds.hx * ds.jx + ds.hy * ds.jy;
    const float stepX = kGlyphW * ds.ix;
    const float stepY = kGlyphW * ds.jx;
    constexpr float texW = static_cast<float>(kGlyphW * kGlyphCount);
    for (char ch : text) {
        const int code = static_cast<unsigned char>(ch);
        if (code < 32 || code > 127)
            continue;
        const int g = code - 32;
        if (ds.identity) {
            SDL_Rect src{g * kGlyphW, 0, kGlyphW, kGlyphH};
            SDL_FRect dst{px, py, static_cast<float>(kGlyphW), static_cast<float>(kGlyphH)};
            SDL_RenderCopyF(cx.renderer, d.texture, &src, &dst);
        } else {
            SDL_Vertex v[4];
            QuadVertices(v, px, py, 0.0f, 0.0f, kGlyphW, kGlyphH, (g * kGlyphW) / texW, 0.0f,
                         ((g + 1) * kGlyphW) / texW, 1.0f, d.color);
            SDL_RenderGeometry(cx.renderer, d.texture, v, 4, kQuadIndices, 6);
        }
        px += stepX;
        py += stepY;
    }
}

void DrawLine(float x1, float y1, float x2, float y2, int drawLastPixel) {
    SDL_Color col;
    if (!cx.renderer || !PrepareFill(col))
        return;
    const float sx = x1 + ds.ox + ds.hx * ds.ix + ds.hy * ds.iy;
    const float sy = y1 + ds.oy + ds.hx * ds.jx + ds.hy * ds.jy;
    const float dx = x2 - x1, dy = y2 - y1;
    const float ex = sx + dx * ds.ix + dy * ds.iy;
    const float ey = sy + dx * ds.jx + dy * ds.jy;
    const float len = std::hypot(ex - sx, ey - sy);
    if (ds.lineWidth <= 1.0f) {
        float fx = ex, fy = ey;
        if (!drawLastPixel && len > 0.0f) {
            // SDL draws the end point; step back one pixel along the major axis to leave it out.
            const float major = std::max(std::fabs(ex - sx), std::fabs(ey - sy));
            fx -= (ex - sx) / major;
            fy -= (ey - sy) / major;
        }
        SDL_RenderDrawLineF(cx.renderer, sx, sy, fx, fy);
        return;
    }
    // Wide lines are quads around the line through the pixel centres, reaching half a pixel
    // past the start (and past the end when the last pixel is drawn).
    float ux = 1.0f, uy = 0.0f;
    if (len > 0.0f) {
        ux = (ex - sx) / len;
        uy = (ey - sy) / len;
    }
    const float half = ds.lineWidth * 0.5f;
    const float nx = -uy * half, ny = ux * half;
    const float ax = sx + 0.5f - ux * 0.5f, ay = sy + 0.5f - uy * 0.5f;
    const float tail = drawLastPixel ? 0.5f : -0.5f;
    const float bx = ex + 0.5f + ux * tail, by = ey + 0.5f + uy * tail;
    SDL_Vertex v[4];
    const float px[4] = {ax + nx, bx + nx, bx - nx, ax - nx};
    const float py[4] = {ay + ny, by + ny, by - ny, ay - ny};
    for (int k = 0; k < 4; ++k) {
        v[k].position = SDL_FPoint{px[k], py[k]};
        v[k].color = col;
        v[k].tex_coord = SDL_FPoint{0.5f, 0.5f};
    }
    SDL_Texture* white = WhiteTexture();
    if (white) {
        SDL_BlendMode mode = SDL_BLENDMODE_NONE;
        SDL_GetRenderDrawBlendMode(cx.renderer, &mode);
        SDL_SetTextureBlendMode(white, mode);
    }
    SDL_RenderGeometry(cx.renderer, white, v, 4, kQuadIndices, 6);
}

void DrawRect(float x, float y, float w, float h) {
    SDL_Color col;
    if (!cx.renderer || !PrepareFill(col))
        return;
    if (ds.identity) {
        SDL_FRect r{x + ds.ox, y + ds.oy, w, h};
        SDL_RenderFillRectF(cx.renderer, &r);
        return;
    }
    SDL_Vertex v[4];
    QuadVertices(v, x + ds.ox, y + ds.oy, 0.0f, 0.0f, w, h, 0.0f, 0.0f, 0.0f, 0.0f, col);
    SDL_RenderGeometry(cx.renderer, nullptr, v, 4, kQuadIndices, 6);
}

std::uint32_t ReadPixel(int x, int y) {
    if (!cx.renderer || x < 0 || y < 0 || x >= cx.width || y >= cx.height)
        return 0;
    if (cx.surface) {
        SDL_RenderFlush(cx.renderer);
        const auto* row = static_cast<const Uint8*>(cx.surface->pixels) +
                          static_cast<std::size_t>(y) * cx.surface->pitch;
        Uint32 argb;
        std::memcpy(&argb, row + static_cast<std::size_t>(x) * 4, 4);
        return (argb << 8) | (argb >> 24);
    }
    Uint32 rgba = 0;
    SDL_Rect r{x, y, 1, 1};
    SDL_RenderReadPixels(cx.renderer, &r, SDL_PIXELFORMAT_RGBA8888, &rgba, 4);
    return rgba;
}

bool ReadBackBuffer(std::vector<std::uint8_t>& rgba, int& width, int& height) {
    if (!cx.renderer)
        return false;
    int w = cx.width, h = cx.height;
    if (cx.surface) {
        SDL_RenderFlush(cx.renderer);
        rgba.resize(static_cast<std::size_t>(w) * h * 4);
        SDL_ConvertPixels(w, h, cx.surface->format->format, cx.surface->pixels, cx.surface->pitch,
                          SDL_PIXELFORMAT_RGBA32, rgba.data(), w * 4);
    } else {
        // A window keeps the picture's proportions, and the renderer reads only its viewport:
        // the picture between the black bars, in the window's pixels. Its size is the logical
        // viewport times the scale; the read goes into a buffer as large as the whole output,
        // then the picture is cut from its top-left corner.
        int outW = 0, outH = 0;
        if (SDL_GetRendererOutputSize(cx.renderer, &outW, &outH) != 0 || outW <= 0 || outH <= 0)
            return false;
        SDL_Rect viewport{};
        SDL_RenderGetViewport(cx.renderer, &viewport);
        float scaleX = 1.0f, scaleY = 1.0f;
        SDL_RenderGetScale(cx.renderer, &scaleX, &scaleY);
        w = std::clamp(static_cast<int>(std::floor(viewport.w * static_cast<double>(scaleX))), 1,
                       outW);
        h = std::clamp(static_cast<int>(std::floor(viewport.h * static_cast<double>(scaleY))), 1,
                       outH);
        std::vector<std::uint8_t> whole(static_cast<std::size_t>(outW) * outH * 4, 0);
        if (SDL_RenderReadPixels(cx.renderer, nullptr, SDL_PIXELFORMAT_RGBA32, whole.data(),
                                 outW * 4) != 0)
            return false;
        rgba.resize(static_cast<std::size_t>(w) * h * 4);
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* row = whole.data() + static_cast<std::size_t>(y) * outW * 4;
            std::uint8_t* out = rgba.data() + static_cast<std::size_t>(y) * w * 4;
            for (int x = 0; x < w; ++x) {
                out[4 * x] = row[4 * x];
                out[4 * x + 1] = row[4 * x + 1];
                out[4 * x + 2] = row[4 * x + 2];
                out[4 * x + 3] = 255; // the window's picture is opaque
            }
        }
    }
    width = w;
    height = h;
    return true;
}

bool SaveBackBufferPng(const std::string& path) {
    int w = 0, h = 0;
    std::vector<std::uint8_t> rgba;
    if (!ReadBackBuffer(rgba, w, h))
        return false;
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = static_cast<png_uint_32>(w);
    img.height = static_cast<png_uint_32>(h);
    img.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&img, path.c_str(), 0, rgba.data(), 0, nullptr) != 0;
}

void SetDrawRecording(std::vector<DrawRecord>* sink) {
    cx.recording = sink;
}

double SinDeg(double degrees) {
    return std::sin(degrees * kDegToRad);
}
double CosDeg(double degrees) {
    return std::cos(degrees * kDegToRad);
}
