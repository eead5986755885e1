#include "media/graphics/TextureSheet.hpp"

#include "media/window/Window.hpp"

#include <SDL.h>

void TextureSheet::ForgetOldPages() {
    // Pages of an earlier renderer went with it.
    if (generation_ == MediaGeneration())
        return;
    pages_.clear();
    haveWhite_ = false;
    generation_ = MediaGeneration();
}

bool TextureSheet::Reserve(int w, int h, Place& out) {
    ForgetOldPages();
    SDL_Renderer* renderer = MediaRenderer();
    if (!renderer || w <= 0 || h <= 0 || w > kPageSize || h > kPageSize)
        return false;
    // Shelves: areas go side by side on the current shelf, a new shelf starts below it when
    // the row is full, and a new page when the page is. Pictures come in few sizes, so little
    // is lost.
    for (Page& p : pages_) {
        if (p.x + w > kPageSize) {
            p.shelfY += p.shelfH;
            p.shelfH = 0;
            p.x = 0;
        }
        if (p.shelfY + h > kPageSize)
            continue;
        out = Place{p.texture, p.x, p.shelfY};
        p.x += w;
        if (h > p.shelfH)
            p.shelfH = h;
        return true;
    }
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer, &info);
    if ((info.max_texture_width > 0 && info.max_texture_width < kPageSize) ||
        (info.max_texture_height > 0 && info.max_texture_height < kPageSize))
        return false;
    SDL_Texture* tex = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STATIC,
                                         kPageSize, kPageSize);
    if (!tex)
        return false;
    SDL_SetTextureScaleMode(tex, filtered_ ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    SDL_SetTextureBlendMode(tex, SDL_BLENDMODE_BLEND);
    pages_.push_back(Page{tex, 0, h, w});
    out = Place{tex, 0, 0};
    return true;
}

void TextureSheet::Upload(const Place& place, int w, int h, const std::uint8_t* pixels, int pitch) {
    const SDL_Rect area{place.x, place.y, w, h};
    SDL_UpdateTexture(place.texture, &area, pixels, pitch);
}

bool TextureSheet::White(SDL_Texture*& texture, float& u, float& v) {
    ForgetOldPages();
    if (!haveWhite_) {
        // Four by four, so that a bilinear sample at its centre reads white texels only.
        constexpr int kSide = 4;
        std::uint8_t px[kSide * kSide * 4];
        for (std::uint8_t& b : px)
            b = 255;
        if (!Reserve(kSide, kSide, white_))
            return false;
        Upload(white_, kSide, kSide, px, kSide * 4);
        haveWhite_ = true;
    }
    texture = white_.texture;
    u = static_cast<float>(white_.x + 2) / kPageSize;
    v = static_cast<float>(white_.y + 2) / kPageSize;
    return true;
}

TextureSheet& TextureSheet::Shared(bool filtered) {
    static TextureSheet filteredSheet(true);
    static TextureSheet nearestSheet(false);
    return filtered ? filteredSheet : nearestSheet;
}
