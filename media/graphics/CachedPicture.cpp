#include "media/graphics/CachedPicture.hpp"

#include "media/graphics/Draw.hpp"
#include "media/graphics/DrawBatch.hpp"
#include "media/window/Window.hpp"

#include <SDL.h>

CachedPicture::~CachedPicture() {
    Release();
}

bool CachedPicture::Available() {
    SDL_Renderer* renderer = MediaRenderer();
    return renderer != nullptr && DrawBatchingActive() && SDL_RenderTargetSupported(renderer);
}

void CachedPicture::Release() {
    // A texture of an earlier renderer went with that renderer.
    if (texture_ && generation_ == MediaGeneration() && MediaRenderer()) {
        FlushDraws(); // quads waiting may still read it
        SDL_DestroyTexture(texture_);
    }
    texture_ = nullptr;
    w_ = h_ = 0;
}

bool CachedPicture::Prepare(int w, int h, bool& fresh) {
    fresh = false;
    if (texture_ && generation_ != MediaGeneration())
        texture_ = nullptr; // freed with its renderer
    if (!Available() || w <= 0 || h <= 0) {
        Release();
        return false;
    }
    if (texture_ && w == w_ && h == h_)
        return true;
    Release();
    SDL_Renderer* renderer = MediaRenderer();
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 ||
        (info.max_texture_width > 0 && w > info.max_texture_width) ||
        (info.max_texture_height > 0 && h > info.max_texture_height))
        return false;
    texture_ =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, w, h);
    if (!texture_)
        return false;
    generation_ = MediaGeneration();
    w_ = w;
    h_ = h;
    // Copied unscaled onto whole pixels, a texel is read at its centre: nearest sampling gives
    // the pixels the pieces would have drawn themselves.
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
    // A new target texture holds whatever the GPU's memory held: start from transparent.
    SDL_Texture* previous = SDL_GetRenderTarget(renderer);
    FlushDraws();
    SDL_SetRenderTarget(renderer, texture_);
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 0);
    SDL_RenderClear(renderer);
    SDL_SetRenderTarget(renderer, previous);
    ApplyViewport();
    fresh = true;
    return true;
}

bool CachedPicture::Begin() {
    if (!texture_ || generation_ != MediaGeneration() || drawing_)
        return false;
    FlushDraws(); // what waits belongs to the frame
    SDL_Renderer* renderer = MediaRenderer();
    previousTarget_ = SDL_GetRenderTarget(renderer);
    if (SDL_SetRenderTarget(renderer, texture_) != 0)
        return false;
    GetOrigin(savedOx_, savedOy_);
    GetViewport(savedVx_, savedVy_, savedVw_, savedVh_);
    SetOrigin(0.0f, 0.0f);
    SetViewport(0, 0, w_, h_);
    drawing_ = true;
    return true;
}

void CachedPicture::End() {
    if (!drawing_)
        return;
    drawing_ = false;
    FlushDraws(); // what was queued belongs to the picture
    SDL_SetRenderTarget(MediaRenderer(), previousTarget_);
    SetOrigin(savedOx_, savedOy_);
    SetViewport(savedVx_, savedVy_, savedVw_, savedVh_);
}

void CachedPicture::Clear(int x, int y, int w, int h) {
    if (!drawing_)
        return;
    FlushDraws(); // tiles queued before belong under the cleared rectangle's neighbours
    SDL_Renderer* renderer = MediaRenderer();
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 0);
    const SDL_Rect r{x, y, w, h};
    SDL_RenderFillRect(renderer, &r);
}

void CachedPicture::Draw(int sx, int sy, int w, int h, float x, float y, bool opaque) {
    if (!texture_ || generation_ != MediaGeneration() || drawing_ || w <= 0 || h <= 0)
        return;
    float ox = 0.0f, oy = 0.0f;
    GetOrigin(ox, oy);
    float left = x + ox, top = y + oy;
    float right = left + static_cast<float>(w), bottom = top + static_cast<float>(h);
    // Pieces meet the plain rectangles beside them on the same whole pixels.
    SnapToOutputPixels(left, top, right, bottom);
    // The texture coordinates stop a quarter texel inside the rectangle. Unscaled, every pixel
    // still reads the texel under its centre (the mapping moves by a quarter texel at most);
    // scaled, a rasteriser that snaps corners to a sub-pixel grid (browsers' software WebGL)
    // would otherwise read the texel beyond the edge now and then: another cell's, or nothing.
    constexpr float kInset = 0.25f;
    const float u0 = (static_cast<float>(sx) + kInset) / static_cast<float>(w_);
    const float v0 = (static_cast<float>(sy) + kInset) / static_cast<float>(h_);
    const float u1 = (static_cast<float>(sx + w) - kInset) / static_cast<float>(w_);
    const float v1 = (static_cast<float>(sy + h) - kInset) / static_cast<float>(h_);
    const SDL_Color white{255, 255, 255, 255};
    const SDL_Vertex quad[4] = {{{left, top}, white, {u0, v0}},
                                {{right, top}, white, {u1, v0}},
                                {{right, bottom}, white, {u1, v1}},
                                {{left, bottom}, white, {u0, v1}}};
    QueueTexturedQuad(texture_, opaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND, quad);
}
