#include "media/graphics/TImage.hpp"

#include "media/base/Embedded.hpp"
#include "media/graphics/Png.hpp"
#include "media/graphics/TextureSheet.hpp"
#include "media/window/Window.hpp"

#include <SDL.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {
constexpr int kDefaultImageFlags = 3; // masked and filtered
constexpr int kMaskedFlag = 1;
constexpr int kFilteredFlag = 2;
bool autoCenterHandle = false;

std::optional<DecodedPng> DecodeEmbedded(std::string_view url) {
    auto bytes = OpenEmbedded(url);
    if (!bytes)
        return std::nullopt;
    return DecodePng(bytes->data, bytes->size);
}

// Pictures without alpha get alpha 0 where their colour equals the mask colour.
void ApplyMask(DecodedPng& png, const TImage& image) {
    if (!(image.flags & kMaskedFlag) || png.hasAlpha)
        return;
    std::uint8_t* p = png.rgba.data();
    for (std::size_t i = 0, n = png.rgba.size(); i < n; i += 4) {
        if (p[i] == image.mask_r && p[i + 1] == image.mask_g && p[i + 2] == image.mask_b)
            p[i + 3] = 0;
    }
}

TPixmap CutPixmap(const DecodedPng& png, int x, int y, int w, int h) {
    TPixmap pm;
    pm.width = w;
    pm.height = h;
    pm.pitch = w * 4;
    pm.pixels.resize(static_cast<std::size_t>(pm.pitch) * static_cast<std::size_t>(h));
    for (int row = 0; row < h; ++row) {
        const std::uint8_t* src =
            png.rgba.data() + (static_cast<std::ptrdiff_t>(y + row) * png.width + x) * 4;
        std::memcpy(pm.pixels.data() + static_cast<std::ptrdiff_t>(row) * pm.pitch, src,
                    static_cast<std::size_t>(pm.pitch));
    }
    return pm;
}

std::shared_ptr<TImage> NewImage(int w, int h, int flags) {
    auto image = std::make_shared<TImage>();
    image->width = w;
    image->height = h;
    image->flags = flags < 0 ? kDefaultImageFlags : flags;
    if (autoCenterHandle) {
        image->handle_x = static_cast<float>(w) / 2.0f;
        image->handle_y = static_cast<float>(h) / 2.0f;
    }
    return image;
}

void (*beforeTextureChange)() = nullptr;

void BeforeTextureChange() {
    if (beforeTextureChange)
        beforeTextureChange();
}

SDL_Texture* MakeTexture(const std::uint8_t* pixels, int w, int h, int pitch, bool filtered) {
    SDL_Renderer* renderer = MediaRenderer();
    if (!renderer)
        return nullptr;
    SDL_Texture* tex =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STATIC, w, h);
    if (!tex)
        return nullptr;
    SDL_UpdateTexture(tex, nullptr, pixels, pitch);
    SDL_SetTextureScaleMode(tex, filtered ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    SDL_SetTextureBlendMode(tex, SDL_BLENDMODE_BLEND);
    return tex;
}
} // namespace

TImage::~TImage() {
    BeforeTextureChange(); // quads waiting to be drawn may use these textures
    // Textures of an earlier window went with its renderer; only current ones are ours to free.
    if (!MediaRenderer())
        return;
    for (auto& c : cache_) {
        if (c.seq != MediaGeneration())
            continue;
        if (c.texture)
            SDL_DestroyTexture(c.texture);
        if (c.mask)
            SDL_DestroyTexture(c.mask);
    }
    // The sheet's pages are shared: the frames' area there stays unused.
}

TImage::FrameCache& TImage::Cache(int frame) {
    if (cache_.size() != pixmaps.size())
        cache_.resize(pixmaps.size());
    FrameCache& c = cache_[static_cast<std::size_t>(frame)];
    if (c.seq != MediaGeneration())
        c = FrameCache{nullptr, nullptr, -1.0f, MediaGeneration()};
    return c;
}

SDL_Texture* TImage::FrameTexture(int frame) {
    FrameCache& c = Cache(frame);
    if (!c.texture) {
        const TPixmap& pm = pixmaps[static_cast<std::size_t>(frame)];
        c.texture =
            MakeTexture(pm.pixels.data(), pm.width, pm.height, pm.pitch, flags & kFilteredFlag);
    }
    return c.texture;
}

SDL_Texture* TImage::MaskTexture(int frame, float threshold) {
    FrameCache& c = Cache(frame);
    if (c.mask && c.maskThreshold == threshold)
        return c.mask;
    BeforeTextureChange(); // quads waiting to be drawn may show the old cut
    // Renderers have no alpha test, so mask mode draws a copy whose alpha is all or nothing.
    // It is made once per threshold; the program only ever uses one (alpha 1).
    const TPixmap& pm = pixmaps[static_cast<std::size_t>(frame)];
    std::vector<std::uint8_t> cut(pm.pixels);
    for (std::size_t i = 3; i < cut.size(); i += 4)
        cut[i] = (static_cast<float>(cut[i]) / 255.0f >= threshold) ? 255 : 0;
    if (c.mask) {
        SDL_UpdateTexture(c.mask, nullptr, cut.data(), pm.pitch);
    } else {
        c.mask = MakeTexture(cut.data(), pm.width, pm.height, pm.pitch, flags & kFilteredFlag);
    }
    c.maskThreshold = threshold;
    return c.mask;
}

// Frames sit in a grid of cells one pixel larger on every side than a frame, the border a copy
// of the frame's edge: filtering at an edge then reads what the frame's own texture (clamped at
// its edges) would, so a frame drawn from here looks as it does alone.
bool TImage::MakeAtlas(Atlas& a, float threshold, bool filtered) {
    if (!MediaRenderer() || pixmaps.empty() || width <= 0 || height <= 0)
        return false;
    if (a.seq != MediaGeneration())
        a = Atlas{nullptr, 0, 0, -2.0f, false, 0, MediaGeneration()};
    if (a.failed)
        return false;
    if (a.texture && a.threshold == threshold)
        return true;
    const int n = FrameCount();
    const int cellW = width + 2, cellH = height + 2;
    int columns = 1;
    while (columns * columns < n)
        ++columns;
    const int rows = (n + columns - 1) / columns;
    const int w = columns * cellW, h = rows * cellH;
    if (!a.texture) {
        TextureSheet::Place place;
        if (!TextureSheet::Shared(filtered).Reserve(w, h, place)) {
            a.failed = true;
            return false;
        }
        a.texture = place.texture;
        a.x = place.x;
        a.y = place.y;
    }
    std::vector<std::uint8_t> px(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4, 0);
    for (int f = 0; f < n; ++f) {
        const TPixmap& pm = pixmaps[static_cast<std::size_t>(f)];
        const int x0 = (f % columns) * cellW, y0 = (f / columns) * cellH;
        for (int y = -1; y <= height; ++y) {
            const int sy = std::clamp(y, 0, std::min(height, pm.height) - 1);
            for (int x = -1; x <= width; ++x) {
                const int sx = std::clamp(x, 0, std::min(width, pm.width) - 1);
                const std::uint8_t* src =
                    pm.pixels.data() + static_cast<std::ptrdiff_t>(sy) * pm.pitch + sx * 4;
                std::uint8_t* dst =
                    px.data() + (static_cast<std::ptrdiff_t>(y0 + y + 1) * w + (x0 + x + 1)) * 4;
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
                dst[3] = threshold < 0.0f || static_cast<float>(src[3]) / 255.0f >= threshold
                             ? (threshold < 0.0f ? src[3] : 255)
                             : 0;
            }
        }
    }
    BeforeTextureChange(); // quads waiting to be drawn may show the old cut
    TextureSheet::Upload(TextureSheet::Place{a.texture, a.x, a.y}, w, h, px.data(), w * 4);
    a.threshold = threshold;
    a.columns = columns;
    return true;
}

const ImageCover& TImage::Cover(int frame) {
    if (covers_.size() != pixmaps.size())
        covers_.resize(pixmaps.size());
    auto& cover = covers_[static_cast<std::size_t>(frame)];
    if (!cover) {
        const TPixmap& pm = pixmaps[static_cast<std::size_t>(frame)];
        cover = std::make_unique<ImageCover>(pm.pixels.data(), pm.width, pm.height, pm.pitch);
    }
    return *cover;
}

TImage::Coverage TImage::MaskCoverage(int frame, float threshold) {
    if (frame < 0 || frame >= FrameCount())
        return kNothing;
    if (coverageThreshold_ != threshold || coverage_.size() != pixmaps.size()) {
        coverage_.assign(pixmaps.size(), -1);
        solid_.assign(pixmaps.size(), 0);
        coverageThreshold_ = threshold;
    }
    signed char& c = coverage_[static_cast<std::size_t>(frame)];
    if (c < 0) {
        // The same cut as the mask-mode textures make; a pixmap smaller than the frame leaves
        // the rest of the rectangle uncovered.
        const TPixmap& pm = pixmaps[static_cast<std::size_t>(frame)];
        int passed = 0;
        for (int y = 0; y < pm.height; ++y)
            for (int x = 0; x < pm.width; ++x)
                passed += static_cast<float>(
                              pm.pixels[static_cast<std::size_t>(y * pm.pitch + x * 4 + 3)]) /
                              255.0f >=
                          threshold;
        if (passed == width * height && pm.width == width && pm.height == height && width > 0 &&
            height > 0) {
            const std::uint8_t* p0 = pm.pixels.data();
            bool one = true;
            for (int y = 0; y < pm.height && one; ++y)
                for (int x = 0; x < pm.width && one; ++x) {
                    const std::uint8_t* p = p0 + static_cast<std::ptrdiff_t>(y) * pm.pitch + x * 4;
                    one = p[0] == p0[0] && p[1] == p0[1] && p[2] == p0[2];
                }
            if (one)
                solid_[static_cast<std::size_t>(frame)] =
                    0x1000000u | (std::uint32_t{p0[0]} << 16) | (std::uint32_t{p0[1]} << 8) | p0[2];
        }
        c = static_cast<signed char>(
            passed == 0                                                            ? kNothing
            : passed == width * height && pm.width == width && pm.height == height ? kOpaque
                                                                                   : kSome);
    }
    return static_cast<Coverage>(c);
}

bool TImage::SolidColor(int frame, float threshold, int& r, int& g, int& b) {
    if (MaskCoverage(frame, threshold) != kOpaque)
        return false;
    const std::uint32_t c = solid_[static_cast<std::size_t>(frame)];
    r = static_cast<int>((c >> 16) & 0xFF);
    g = static_cast<int>((c >> 8) & 0xFF);
    b = static_cast<int>(c & 0xFF);
    return c != 0;
}

SDL_Texture* TImage::AtlasTexture(int frame, float threshold, float uv[4], bool nearest) {
    const bool filtered = (flags & kFilteredFlag) != 0 && !nearest;
    Atlas& a = atlas_[(threshold < 0.0f ? 0 : 1) + (filtered ? 0 : 2)];
    if (!MakeAtlas(a, threshold < 0.0f ? -1.0f : threshold, filtered))
        return nullptr;
    const int cellW = width + 2, cellH = height + 2;
    const float x0 = static_cast<float>(a.x + (frame % a.columns) * cellW + 1);
    const float y0 = static_cast<float>(a.y + (frame / a.columns) * cellH + 1);
    constexpr float page = static_cast<float>(TextureSheet::kPageSize);
    uv[0] = x0 / page;
    uv[1] = y0 / page;
    uv[2] = (x0 + static_cast<float>(width)) / page;
    uv[3] = (y0 + static_cast<float>(height)) / page;
    return a.texture;
}

void SetBeforeTextureChange(void (*hook)()) {
    beforeTextureChange = hook;
}

std::shared_ptr<TImage> LoadImage(std::string_view url, int flags) {
    auto png = DecodeEmbedded(url);
    if (!png || png->width <= 0 || png->height <= 0)
        return nullptr;
    auto image = NewImage(png->width, png->height, flags);
    ApplyMask(*png, *image);
    image->pixmaps.push_back(CutPixmap(*png, 0, 0, png->width, png->height));
    return image;
}

std::shared_ptr<TImage> LoadAnimImage(std::string_view url, int cellW, int cellH, int first,
                                      int count, int flags) {
    if (cellW <= 0 || cellH <= 0 || first < 0 || count <= 0)
        return nullptr;
    auto png = DecodeEmbedded(url);
    if (!png)
        return nullptr;
    const int columns = png->width / cellW;
    const int rows = png->height / cellH;
    if (columns * rows < first + count)
        return nullptr;
    auto image = NewImage(cellW, cellH, flags);
    ApplyMask(*png, *image);
    image->pixmaps.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        const int c = first + k;
        image->pixmaps.push_back(
            CutPixmap(*png, cellW * (c % columns), cellH * (c / columns), cellW, cellH));
    }
    return image;
}

void SetAutoCenterHandle(bool on) {
    autoCenterHandle = on;
}
bool GetAutoCenterHandle() {
    return autoCenterHandle;
}

void SetImageHandle(TImage& image, float x, float y) {
    image.handle_x = x;
    image.handle_y = y;
}

int ImageWidth(const TImage& image) {
    return image.width;
}
int ImageHeight(const TImage& image) {
    return image.height;
}
