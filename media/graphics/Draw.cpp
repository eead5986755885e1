#include "media/graphics/Draw.hpp"

#include "media/graphics/DrawBatch.hpp"

#include "media/graphics/Font8x16.hpp"
#include "media/graphics/TImage.hpp"
#include "media/graphics/TextureSheet.hpp"
#include "media/window/Window.hpp"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr int kGlyphW = 8;
constexpr int kGlyphH = 16;
constexpr int kGlyphCount = 96;

struct DrawState {
    int r = 255, g = 255, b = 255;
    float alpha = 1.0f;
    Blend blend = Blend::Mask;
    float lineWidth = 1.0f;
    float rotation = 0.0f;
    float sx = 1.0f, sy = 1.0f;
    float ix = 1.0f, iy = 0.0f, jx = 0.0f, jy = 1.0f;
    bool identity = true; // no rotation and unit scale: images go through the plain copy path
    float ox = 0.0f, oy = 0.0f;
    float zoom = 1.0f; // the view's, over world drawing
    float hx = 0.0f, hy = 0.0f;
    int vx = 0, vy = 0, vw = 0, vh = 0;
};

// The textures the primitives draw with, made for the device's renderer on first use.
struct Textures {
    SDL_Texture* font = nullptr;
    SDL_Texture* white = nullptr; // 1x1 opaque white, for wide lines
    unsigned generation = 0;      // MediaGeneration() they were made for
};

DrawState ds;
Textures tx;
DrawCallCounts counts;
DrawBatch batch;
bool batchingOn = true;
unsigned batchGeneration = 0; // MediaGeneration() of the pending quads
int batchingFor = -1;         // MediaGeneration() the renderer was last looked at for
bool batchingRenderer = false;
std::vector<DrawRecord>* recording = nullptr; // non-owning

// Textures of an earlier renderer went with it.
void ForgetOldTextures() {
    if (tx.generation != MediaGeneration())
        tx = Textures{nullptr, nullptr, MediaGeneration()};
}

// The software renderer draws every primitive straight into memory: a call costs little, and
// its own per-call path keeps the pictures the golden frames hold. GPU renderers pay per call.
bool Batching() {
    if (!batchingOn || !MediaRenderer())
        return false;
    if (batchingFor != static_cast<int>(MediaGeneration())) {
        batchingFor = static_cast<int>(MediaGeneration());
        batchingRenderer = std::strcmp(RendererName(), "software") != 0;
    }
    return batchingRenderer;
}

// Queues a quad (corners top-left, top-right, bottom-right, bottom-left), drawing what waits
// first when it cannot join it.
void Queue(SDL_Texture* texture, SDL_BlendMode mode, const SDL_Vertex* quad) {
    if (batchGeneration != MediaGeneration()) {
        batch.Discard();
        batchGeneration = MediaGeneration();
        SetBeforeTextureChange(FlushDraws); // images' textures must not change under the batch
    }
    if (!batch.Accepts(MediaRenderer(), texture, mode))
        FlushDraws();
    batch.Add(MediaRenderer(), texture, mode, quad);
}

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

// Sets a texture up for the current blend mode. Returns the texture to draw and the vertex
// colour (which geometry uses instead of the texture modulation), or nullptr when the mode
// draws nothing at the current alpha.
struct TexturedDraw {
    SDL_Texture* texture;
    SDL_Color color;
};

SDL_BlendMode BlendFor(Blend mode) {
    switch (mode) {
    case Blend::Solid:
        return SDL_BLENDMODE_NONE;
    case Blend::Light:
        return SDL_BLENDMODE_ADD;
    case Blend::Shade:
        return SDL_BLENDMODE_MOD;
    default:
        return SDL_BLENDMODE_BLEND;
    }
}

// Mask mode, which a value outside the named ones falls back to.
bool Masked(Blend mode) {
    const int v = static_cast<int>(mode);
    return v <= static_cast<int>(Blend::Mask) || v > static_cast<int>(Blend::Shade);
}

// Texture for a frame in the current mode. Mask mode draws the thresholded copy opaquely:
// a pixel passes when its alpha times the global alpha reaches one half.
TexturedDraw PrepareTexture(SDL_Texture* plain, TImage* image, int frame) {
    SDL_Color col{static_cast<Uint8>(ds.r), static_cast<Uint8>(ds.g), static_cast<Uint8>(ds.b),
                  AlphaByte(ds.alpha)};
    SDL_Texture* tex = plain;
    if (Masked(ds.blend)) {
        if (ds.alpha < 0.5f)
            return {nullptr, col};
        if (image)
            tex = image->MaskTexture(frame, ds.alpha >= 1.0f ? 0.5f : 0.5f / ds.alpha);
        col.a = 255;
    }
    if (!tex)
        return {nullptr, col};
    ++counts.stateChanges;
    SDL_SetTextureBlendMode(tex, BlendFor(ds.blend));
    ++counts.stateChanges;
    SDL_SetTextureColorMod(tex, col.r, col.g, col.b);
    ++counts.stateChanges;
    SDL_SetTextureAlphaMod(tex, col.a);
    return {tex, col};
}

// Colour and blend mode for untextured primitives; false when nothing is to be drawn.
bool FillColor(SDL_Color& col, SDL_BlendMode& mode) {
    col = SDL_Color{static_cast<Uint8>(ds.r), static_cast<Uint8>(ds.g), static_cast<Uint8>(ds.b),
                    AlphaByte(ds.alpha)};
    mode = BlendFor(ds.blend);
    if (Masked(ds.blend)) {
        if (ds.alpha < 0.5f)
            return false;
        col.a = 255;
        mode = SDL_BLENDMODE_NONE;
    }
    return true;
}

// FillColor, set as the renderer's drawing colour and blend mode.
bool PrepareFill(SDL_Color& col) {
    SDL_BlendMode mode = SDL_BLENDMODE_NONE;
    if (!FillColor(col, mode))
        return false;
    ++counts.stateChanges;
    SDL_SetRenderDrawBlendMode(MediaRenderer(), mode);
    ++counts.stateChanges;
    SDL_SetRenderDrawColor(MediaRenderer(), col.r, col.g, col.b, col.a);
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

// The pieces of a frame's cover as quads, placed and turned as QuadVertices places the whole
// frame (its handle at x, y), each corner's texture coordinates where the frame's rectangle
// (uv: left, top, right, bottom) has that point.
void QueueCover(const ImageCover& cover, SDL_Texture* atlas, SDL_BlendMode mode, float x, float y,
                const TImage& image, const float uv[4], SDL_Color col) {
    const float su = (uv[2] - uv[0]) / static_cast<float>(image.width);
    const float sv = (uv[3] - uv[1]) / static_cast<float>(image.height);
    for (const ImageCover::Piece& p : cover.Pieces()) {
        const float px[4] = {p.topLeft, p.topRight, p.bottomRight, p.bottomLeft};
        const float py[4] = {p.top, p.top, p.bottom, p.bottom};
        SDL_Vertex v[4];
        for (int k = 0; k < 4; ++k) {
            const float u = px[k] - image.handle_x, w = py[k] - image.handle_y;
            v[k].position.x = x + u * ds.ix + w * ds.iy;
            v[k].position.y = y + u * ds.jx + w * ds.jy;
            v[k].color = col;
            v[k].tex_coord.x = uv[0] + px[k] * su;
            v[k].tex_coord.y = uv[1] + py[k] * sv;
        }
        Queue(atlas, mode, v);
    }
}

// A primitive under a view zoom other than 1 is drawn as the same primitive without one: its
// position, plus the origin, multiplied by the zoom, its transform grown by it, and the plain
// copy path left for the transformed one. The state is put back when the primitive is done.
// Under zoom 1 nothing changes, so the picture stays exactly as without a camera.
class ZoomedPrimitive {
  public:
    ZoomedPrimitive(float& x, float& y) : on_(ds.zoom != 1.0f) {
        if (!on_)
            return;
        saved_ =
            Saved{ds.ox, ds.oy, ds.sx, ds.sy, ds.ix, ds.iy, ds.jx, ds.jy, ds.zoom, ds.identity};
        const float z = ds.zoom;
        x = (x + ds.ox) * z;
        y = (y + ds.oy) * z;
        ds.ox = 0.0f;
        ds.oy = 0.0f;
        ds.sx *= z;
        ds.sy *= z;
        ds.ix *= z;
        ds.iy *= z;
        ds.jx *= z;
        ds.jy *= z;
        ds.identity = false;
        ds.zoom = 1.0f;
    }
    ~ZoomedPrimitive() {
        if (!on_)
            return;
        ds.ox = saved_.ox;
        ds.oy = saved_.oy;
        ds.sx = saved_.sx;
        ds.sy = saved_.sy;
        ds.ix = saved_.ix;
        ds.iy = saved_.iy;
        ds.jx = saved_.jx;
        ds.jy = saved_.jy;
        ds.zoom = saved_.zoom;
        ds.identity = saved_.identity;
    }
    ZoomedPrimitive(const ZoomedPrimitive&) = delete;
    ZoomedPrimitive& operator=(const ZoomedPrimitive&) = delete;

  private:
    // The state's fields the zoom changes.
    struct Saved {
        float ox, oy, sx, sy, ix, iy, jx, jy, zoom;
        bool identity;
    };
    Saved saved_{};
    bool on_;
};

// SDL's software renderer builds a temporary surface for every untextured triangle it blends;
// sampling one white texel instead draws the same pixels without allocating each time.
SDL_Texture* WhiteTexture() {
    ForgetOldTextures();
    if (tx.white)
        return tx.white;
    const Uint32 pixel = 0xFFFFFFFFu;
    tx.white = SDL_CreateTexture(MediaRenderer(), SDL_PIXELFORMAT_ARGB8888,
                                 SDL_TEXTUREACCESS_STATIC, 1, 1);
    if (tx.white) {
        SDL_UpdateTexture(tx.white, nullptr, &pixel, 4);
        SDL_SetTextureScaleMode(tx.white, SDL_ScaleModeNearest);
    }
    return tx.white;
}

SDL_Texture* FontTexture() {
    ForgetOldTextures();
    if (tx.font)
        return tx.font;
    // White glyph pixels, transparent white elsewhere, all 96 glyphs side by side.
    static Uint32 pixels[kGlyphH][kGlyphW * kGlyphCount];
    for (int g = 0; g < kGlyphCount; ++g)
        for (int row = 0; row < kGlyphH; ++row)
            for (int col = 0; col < kGlyphW; ++col) {
                const bool on = (kFont8x16[g][row] >> (7 - col)) & 1;
                pixels[row][g * kGlyphW + col] = on ? 0xFFFFFFFFu : 0x00FFFFFFu;
            }
    tx.font = SDL_CreateTexture(MediaRenderer(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                kGlyphW * kGlyphCount, kGlyphH);
    if (tx.font) {
        SDL_UpdateTexture(tx.font, nullptr, pixels, kGlyphW * kGlyphCount * 4);
        SDL_SetTextureScaleMode(tx.font, SDL_ScaleModeNearest);
    }
    return tx.font;
}

} // namespace

void FlushDraws() {
    if (batch.Pending() == 0)
        return;
    if (batchGeneration != MediaGeneration() || !MediaRenderer()) {
        batch.Discard();
        return;
    }
    ++counts.stateChanges;
    ++counts.draws;
    batch.Flush();
}

bool DrawBatchingActive() {
    return Batching();
}

void QueueTexturedQuad(SDL_Texture* texture, int blendMode, const SDL_Vertex* quad) {
    Queue(texture, static_cast<SDL_BlendMode>(blendMode), quad);
}

void SetDrawBatching(bool on) {
    FlushDraws();
    batchingOn = on;
}

void ApplyViewport() {
    if (!MediaRenderer())
        return;
    FlushDraws(); // what waits was drawn under the old clip
    // The viewport is the picture's; a pass in the window's own pixels draws unclipped.
    if (ScreenPassOn() || (ds.vx <= 0 && ds.vy <= 0 && ds.vx + ds.vw >= GraphicsWidth() &&
                           ds.vy + ds.vh >= GraphicsHeight())) {
        SDL_RenderSetClipRect(MediaRenderer(), nullptr);
    } else {
        SDL_Rect clip{ds.vx, ds.vy, std::max(ds.vw, 0), std::max(ds.vh, 0)};
        SDL_RenderSetClipRect(MediaRenderer(), &clip);
    }
}

void ResetDrawState() {
    ds = DrawState{};
    ds.vw = GraphicsWidth();
    ds.vh = GraphicsHeight();
    UpdateTransform();
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
void SetBlend(Blend mode) {
    ds.blend = mode;
}
Blend GetBlend() {
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
void SetViewZoom(float zoom) {
    ds.zoom = zoom > 0.0f ? zoom : 1.0f;
}
float GetViewZoom() {
    return ds.zoom;
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
    if (recording)
        recording->push_back(DrawRecord{&image, frame, x, y});
    if (!MediaRenderer() || frame < 0 || frame >= image.FrameCount())
        return;
    const ZoomedPrimitive zoomed(x, y);
    const float w = static_cast<float>(image.width);
    const float h = static_cast<float>(image.height);
    if (Batching()) {
        // The colour and alpha go in the vertices; the frame comes from the image's atlas, so
        // a level's tiles join one call whatever their frames.
        SDL_Color col{static_cast<Uint8>(ds.r), static_cast<Uint8>(ds.g), static_cast<Uint8>(ds.b),
                      AlphaByte(ds.alpha)};
        float threshold = -1.0f;
        if (Masked(ds.blend)) {
            if (ds.alpha < 0.5f)
                return;
            threshold = ds.alpha >= 1.0f ? 0.5f : 0.5f / ds.alpha;
            col.a = 255;
        }
        // Unrotated, unscaled and on whole pixels, every pixel centre falls on a texel centre,
        // where bilinear filtering reads that one texel: the nearest-sampled copy draws the
        // same pixels for less work (a CPU rasteriser pays per texel read).
        const float left = x + ds.ox - image.handle_x, top = y + ds.oy - image.handle_y;
        const bool nearest = ds.identity && left == std::floor(left) && top == std::floor(top);
        float uv[4];
        if (SDL_Texture* atlas = image.AtlasTexture(frame, threshold, uv, nearest)) {
            // Blended, a frame changes the picture only where it is not transparent: one that
            // is mostly transparent (a star's glow) goes as the pieces that cover it, the same
            // pixels for less fill. Solid and shade modes change what is under transparent
            // texels too.
            if (ds.blend != Blend::Solid && ds.blend != Blend::Shade) {
                const ImageCover& cover = image.Cover(frame);
                if (cover.Worthwhile()) {
                    QueueCover(cover, atlas, BlendFor(ds.blend), x + ds.ox, y + ds.oy, image, uv,
                               col);
                    return;
                }
            }
            SDL_Vertex v[4];
            QuadVertices(v, x + ds.ox, y + ds.oy, -image.handle_x, -image.handle_y,
                         w - image.handle_x, h - image.handle_y, uv[0], uv[1], uv[2], uv[3], col);
            Queue(atlas, BlendFor(ds.blend), v);
            return;
        }
        FlushDraws();
    }
    SDL_Texture* plain = ds.blend == Blend::Mask ? nullptr : image.FrameTexture(frame);
    TexturedDraw d = PrepareTexture(plain, &image, frame);
    if (!d.texture)
        return;
    if (ds.identity) {
        SDL_FRect dst{x + ds.ox - image.handle_x, y + ds.oy - image.handle_y, w, h};
        ++counts.draws;
        SDL_RenderCopyF(MediaRenderer(), d.texture, nullptr, &dst);
        return;
    }
    SDL_Vertex v[4];
    QuadVertices(v, x + ds.ox, y + ds.oy, -image.handle_x, -image.handle_y, w - image.handle_x,
                 h - image.handle_y, 0.0f, 0.0f, 1.0f, 1.0f, d.color);
    ++counts.draws;
    SDL_RenderGeometry(MediaRenderer(), d.texture, v, 4, kQuadIndices, 6);
}

void DrawText(std::string_view text, float x, float y) {
    if (!MediaRenderer() || text.empty())
        return;
    const ZoomedPrimitive zoomed(x, y);
    SDL_Texture* font = FontTexture();
    const bool batching = Batching();
    TexturedDraw d{nullptr, {}};
    if (batching) {
        d.color = SDL_Color{static_cast<Uint8>(ds.r), static_cast<Uint8>(ds.g),
                            static_cast<Uint8>(ds.b), AlphaByte(ds.alpha)};
        if (Masked(ds.blend)) {
            if (ds.alpha < 0.5f)
                return;
            d.color.a = 255;
        }
        d.texture = font;
    } else {
        d = PrepareTexture(font, nullptr, 0);
    }
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
        if (batching) {
            SDL_Vertex v[4];
            QuadVertices(v, px, py, 0.0f, 0.0f, kGlyphW, kGlyphH,
                         static_cast<float>(g * kGlyphW) / texW, 0.0f,
                         static_cast<float>((g + 1) * kGlyphW) / texW, 1.0f, d.color);
            Queue(d.texture, BlendFor(ds.blend), v);
        } else if (ds.identity) {
            SDL_Rect src{g * kGlyphW, 0, kGlyphW, kGlyphH};
            SDL_FRect dst{px, py, static_cast<float>(kGlyphW), static_cast<float>(kGlyphH)};
            ++counts.draws;
            SDL_RenderCopyF(MediaRenderer(), d.texture, &src, &dst);
        } else {
            SDL_Vertex v[4];
            QuadVertices(v, px, py, 0.0f, 0.0f, kGlyphW, kGlyphH,
                         static_cast<float>(g * kGlyphW) / texW, 0.0f,
                         static_cast<float>((g + 1) * kGlyphW) / texW, 1.0f, d.color);
            ++counts.draws;
            SDL_RenderGeometry(MediaRenderer(), d.texture, v, 4, kQuadIndices, 6);
        }
        px += stepX;
        py += stepY;
    }
}

void DrawLine(float x1, float y1, float x2, float y2, int drawLastPixel) {
    SDL_Color col;
    SDL_BlendMode mode = SDL_BLENDMODE_NONE;
    if (!MediaRenderer() || !FillColor(col, mode))
        return;
    // The line's run is taken before the zoom: the zoomed transform grows it.
    const float dx = x2 - x1, dy = y2 - y1;
    const ZoomedPrimitive zoomed(x1, y1);
    const bool batching = Batching() && ds.lineWidth > 1.0f;
    if (!batching) {
        // A thin line is not a quad: what waits is drawn first to keep the order.
        FlushDraws();
        PrepareFill(col);
    }
    const float sx = x1 + ds.ox + ds.hx * ds.ix + ds.hy * ds.iy;
    const float sy = y1 + ds.oy + ds.hx * ds.jx + ds.hy * ds.jy;
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
        ++counts.draws;
        SDL_RenderDrawLineF(MediaRenderer(), sx, sy, fx, fy);
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
    if (batching) {
        // The white on the images' sheet: a line between two images joins their batch.
        SDL_Texture* sheet = nullptr;
        float u = 0.0f, w = 0.0f;
        if (TextureSheet::Shared(true).White(sheet, u, w)) {
            for (SDL_Vertex& corner : v)
                corner.tex_coord = SDL_FPoint{u, w};
            Queue(sheet, mode, v);
            return;
        }
        FlushDraws();
        PrepareFill(col);
    }
    SDL_Texture* white = WhiteTexture();
    if (white) {
        ++counts.stateChanges;
        SDL_SetTextureBlendMode(white, mode);
    }
    ++counts.draws;
    SDL_RenderGeometry(MediaRenderer(), white, v, 4, kQuadIndices, 6);
}

void DrawRect(float x, float y, float w, float h) {
    SDL_Color col;
    SDL_BlendMode mode = SDL_BLENDMODE_NONE;
    if (!MediaRenderer() || !FillColor(col, mode))
        return;
    const ZoomedPrimitive zoomed(x, y);
    if (Batching()) {
        SDL_Texture* sheet = nullptr;
        float u = 0.0f, v0 = 0.0f;
        if (TextureSheet::Shared(true).White(sheet, u, v0)) {
            SDL_Vertex v[4];
            QuadVertices(v, x + ds.ox, y + ds.oy, 0.0f, 0.0f, w, h, u, v0, u, v0, col);
            Queue(sheet, mode, v);
            return;
        }
    }
    FlushDraws();
    PrepareFill(col);
    if (ds.identity) {
        SDL_FRect r{x + ds.ox, y + ds.oy, w, h};
        ++counts.draws;
        SDL_RenderFillRectF(MediaRenderer(), &r);
        return;
    }
    SDL_Vertex v[4];
    QuadVertices(v, x + ds.ox, y + ds.oy, 0.0f, 0.0f, w, h, 0.0f, 0.0f, 0.0f, 0.0f, col);
    ++counts.draws;
    SDL_RenderGeometry(MediaRenderer(), nullptr, v, 4, kQuadIndices, 6);
}

void FillConvexPolygon(const DrawPoint* corners, int count) {
    const DrawColour colour{static_cast<unsigned char>(ds.r), static_cast<unsigned char>(ds.g),
                            static_cast<unsigned char>(ds.b), 255};
    FillConvexPolygons(corners, &count, &colour, 1);
}

void FillConvexPolygons(const DrawPoint* corners, const int* cornerCounts,
                        const DrawColour* colours, int polygons) {
    SDL_Color state;
    SDL_BlendMode mode = SDL_BLENDMODE_NONE;
    if (!MediaRenderer() || polygons <= 0 || !FillColor(state, mode))
        return;
    const bool opaque = Masked(ds.blend);
    // Corners as every primitive takes them under a view zoom: plus the origin, times the zoom
    // (a zoom of 1 leaves them exactly as they were).
    const float z = ds.zoom;
    auto colourOf = [&](int i) {
        const DrawColour& c = colours[i];
        return SDL_Color{c.r, c.g, c.b,
                         opaque ? Uint8{255} : static_cast<Uint8>((c.a * state.a + 127) / 255)};
    };
    if (Batching()) {
        SDL_Texture* sheet = nullptr;
        float u = 0.0f, w = 0.0f;
        if (TextureSheet::Shared(true).White(sheet, u, w)) {
            // Each polygon a fan of quads from its first corner (a last odd triangle is a quad
            // whose second half has no area), so that polygons join the images' batch.
            const DrawPoint* p = corners;
            for (int i = 0; i < polygons; p += cornerCounts[i], ++i) {
                const int n = cornerCounts[i];
                if (n < 3 || n > kMaxFillCorners)
                    continue;
                const SDL_Color col = colourOf(i);
                auto vertex = [&](int k) {
                    return SDL_Vertex{{(p[k].x + ds.ox) * z, (p[k].y + ds.oy) * z}, col, {u, w}};
                };
                for (int k = 1; k + 1 < n; k += 2) {
                    const SDL_Vertex quad[4] = {vertex(0), vertex(k), vertex(k + 1),
                                                vertex(std::min(k + 2, n - 1))};
                    Queue(sheet, mode, quad);
                }
            }
            return;
        }
    }
    FlushDraws();
    // Opaque triangles go untextured, which the software renderer fills fastest; blended ones
    // sample the white texel, as wide lines do: it would make a surface for every untextured
    // triangle it blends.
    SDL_Texture* texture = opaque ? nullptr : WhiteTexture();
    if (texture) {
        ++counts.stateChanges;
        SDL_SetTextureBlendMode(texture, mode);
    } else {
        ++counts.stateChanges;
        SDL_SetRenderDrawBlendMode(MediaRenderer(), mode);
    }
    // Whole polygons gather into one call, as many as fit.
    constexpr int kCorners = 1024;
    SDL_Vertex v[kCorners];
    int indices[3 * kCorners];
    int corner = 0, index = 0;
    auto flush = [&] {
        if (index > 0) {
            ++counts.draws;
            SDL_RenderGeometry(MediaRenderer(), texture, v, corner, indices, index);
        }
        corner = index = 0;
    };
    const DrawPoint* p = corners;
    for (int i = 0; i < polygons; p += cornerCounts[i], ++i) {
        const int n = cornerCounts[i];
        if (n < 3 || n > kMaxFillCorners)
            continue;
        if (corner + n > kCorners)
            flush();
        const SDL_Color col = colourOf(i);
        for (int k = 0; k < n; ++k) {
            v[corner + k] =
                SDL_Vertex{{(p[k].x + ds.ox) * z, (p[k].y + ds.oy) * z}, col, {0.5f, 0.5f}};
        }
        for (int k = 1; k + 1 < n; ++k) {
            indices[index++] = corner;
            indices[index++] = corner + k;
            indices[index++] = corner + k + 1;
        }
        corner += n;
    }
    flush();
}

void FillSolidRect(int x, int y, int w, int h, int r, int g, int b) {
    if (!MediaRenderer() || w <= 0 || h <= 0)
        return;
    const SDL_Color col{static_cast<Uint8>(r), static_cast<Uint8>(g), static_cast<Uint8>(b), 255};
    float left = static_cast<float>(x) + std::floor(ds.ox);
    float top = static_cast<float>(y) + std::floor(ds.oy);
    if (ds.zoom != 1.0f) {
        // Edges on whole pixels of the zoomed picture: rectangles side by side stay so.
        const float right = std::floor((left + static_cast<float>(w)) * ds.zoom + 0.5f);
        const float bottom = std::floor((top + static_cast<float>(h)) * ds.zoom + 0.5f);
        left = std::floor(left * ds.zoom + 0.5f);
        top = std::floor(top * ds.zoom + 0.5f);
        w = static_cast<int>(right - left);
        h = static_cast<int>(bottom - top);
        if (w <= 0 || h <= 0)
            return;
    }
    float right = left + static_cast<float>(w), bottom = top + static_cast<float>(h);
    SnapToOutputPixels(left, top, right, bottom);
    if (Batching()) {
        const SDL_Vertex quad[4] = {{{left, top}, col, {0.0f, 0.0f}},
                                    {{right, top}, col, {0.0f, 0.0f}},
                                    {{right, bottom}, col, {0.0f, 0.0f}},
                                    {{left, bottom}, col, {0.0f, 0.0f}}};
        Queue(nullptr, SDL_BLENDMODE_NONE, quad);
        return;
    }
    ++counts.stateChanges;
    SDL_SetRenderDrawBlendMode(MediaRenderer(), SDL_BLENDMODE_NONE);
    ++counts.stateChanges;
    SDL_SetRenderDrawColor(MediaRenderer(), col.r, col.g, col.b, col.a);
    const SDL_FRect rect{left, top, right - left, bottom - top};
    ++counts.draws;
    SDL_RenderFillRectF(MediaRenderer(), &rect);
}

void DrawImageRect(TImage& image, int frame, int x, int y, int w, int h) {
    if (recording)
        recording->push_back(
            DrawRecord{&image, frame, static_cast<float>(x), static_cast<float>(y)});
    if (!MediaRenderer() || frame < 0 || frame >= image.FrameCount() || w <= 0 || h <= 0)
        return;
    if (Batching()) {
        SDL_Color col{static_cast<Uint8>(ds.r), static_cast<Uint8>(ds.g), static_cast<Uint8>(ds.b),
                      AlphaByte(ds.alpha)};
        float threshold = -1.0f;
        if (Masked(ds.blend)) {
            if (ds.alpha < 0.5f)
                return;
            threshold = ds.alpha >= 1.0f ? 0.5f : 0.5f / ds.alpha;
            col.a = 255;
        }
        float uv[4];
        // The nearest-sampled sheet: a pixel centre inside the rectangle maps inside the frame,
        // never onto the frame beside it on the sheet.
        if (SDL_Texture* atlas = image.AtlasTexture(frame, threshold, uv, true)) {
            const float l = static_cast<float>(x), t = static_cast<float>(y);
            const float r = l + static_cast<float>(w), b = t + static_cast<float>(h);
            const SDL_Vertex quad[4] = {{{l, t}, col, {uv[0], uv[1]}},
                                        {{r, t}, col, {uv[2], uv[1]}},
                                        {{r, b}, col, {uv[2], uv[3]}},
                                        {{l, b}, col, {uv[0], uv[3]}}};
            Queue(atlas, BlendFor(ds.blend), quad);
            return;
        }
        FlushDraws();
    }
    SDL_Texture* plain = ds.blend == Blend::Mask ? nullptr : image.FrameTexture(frame);
    TexturedDraw d = PrepareTexture(plain, &image, frame);
    if (!d.texture)
        return;
    const SDL_Rect dst{x, y, w, h};
    ++counts.draws;
    SDL_RenderCopy(MediaRenderer(), d.texture, nullptr, &dst);
}

void SnapToOutputPixels(float& left, float& top, float& right, float& bottom) {
    float sx = 1.0f, sy = 1.0f;
    if (MediaRenderer() != nullptr) {
        SDL_RenderGetScale(MediaRenderer(), &sx, &sy);
    }
    // The logical size's letterbox starts on a whole pixel, so whole multiples of the scale
    // from the viewport's corner are whole pixels of the output too.
    const auto snap = [](float v, float scale) {
        return scale == 1.0f || scale <= 0.0f ? v : std::round(v * scale) / scale;
    };
    left = snap(left, sx);
    right = snap(right, sx);
    top = snap(top, sy);
    bottom = snap(bottom, sy);
}

DrawCallCounts GetDrawCallCounts() {
    return counts;
}

void SetDrawRecording(std::vector<DrawRecord>* sink) {
    recording = sink;
}

double SinDeg(double degrees) {
    return std::sin(degrees * kDegToRad);
}
double CosDeg(double degrees) {
    return std::cos(degrees * kDegToRad);
}
