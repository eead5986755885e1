#include "media/graphics/Capture.hpp"

#include "media/graphics/Draw.hpp"
#include "media/graphics/PngRowWriter.hpp"
#include "media/window/ControlBand.hpp"
#include "media/window/Display.hpp"
#include "media/window/Window.hpp"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

std::uint32_t ReadPixel(int x, int y) {
    SDL_Renderer* renderer = MediaRenderer();
    SDL_Surface* surface = MediaSurface();
    const int w = surface ? surface->w : GraphicsWidth();
    const int h = surface ? surface->h : GraphicsHeight();
    if (!renderer || x < 0 || y < 0 || x >= w || y >= h)
        return 0;
    FlushDraws();
    if (surface) {
        SDL_RenderFlush(renderer);
        const auto* row = static_cast<const Uint8*>(surface->pixels) +
                          static_cast<std::ptrdiff_t>(y) * surface->pitch;
        Uint32 argb;
        std::memcpy(&argb, row + static_cast<std::size_t>(x) * 4, 4);
        return (argb << 8) | (argb >> 24);
    }
    Uint32 rgba = 0;
    SDL_Rect r{x, y, 1, 1};
    SDL_RenderReadPixels(renderer, &r, SDL_PIXELFORMAT_RGBA8888, &rgba, 4);
    return rgba;
}

namespace {
// What can be read of the picture drawn so far, in the renderer's output pixels.
struct PictureArea {
    SDL_Rect rect{};           // the picture's part that can be read
    int outputWidth = 0;       // a strip of rows is read this wide
    bool window = false;       // a window's picture (opaque), else the offscreen surface's
    bool frameTexture = false; // read from the frame's own texture, not the window
};

// Rows are read a strip at a time into a buffer of about this size, whatever the picture's: a
// browser's memory, once grown, never shrinks.
constexpr std::size_t kStripBytes = std::size_t{1} << 20;

bool FindPictureArea(PictureArea& area) {
    SDL_Renderer* renderer = MediaRenderer();
    if (!renderer)
        return false;
    FlushDraws();
    if (SDL_Surface* surface = MediaSurface()) {
        SDL_RenderFlush(renderer);
        area.rect = {0, 0, surface->w, surface->h};
        area.outputWidth = area.rect.w;
        area.window = false;
        return true;
    }
    // Text drawn at the window's resolution over a picture scaled down is no part of the frame:
    // the frame itself, at the program's size, is read from its texture as before the text.
    if (ScreenPassOn() && MediaFrameTexture()) {
        area.rect = {0, 0, LogicalWidth(), LogicalHeight()};
        area.outputWidth = area.rect.w;
        area.window = true;
        area.frameTexture = true;
        return true;
    }
    // A window keeps the picture's proportions: the picture lies between black bars (or beside
    // the toolbar's band), in the window's pixels. Its place comes from the window's own layout,
    // which places it as the renderer does, and which holds also while text is drawn at the
    // window's resolution (SDL's logical size is off then); the renderer's viewport reads back
    // only in the program's pixels and would lose up to a scale's worth of pixels at its edges.
    int outW = 0, outH = 0;
    if (SDL_GetRendererOutputSize(renderer, &outW, &outH) != 0 || outW <= 0 || outH <= 0)
        return false;
    const PixelRect picture = CurrentPictureLayout().picture;
    const int left = std::clamp(picture.x, 0, outW - 1);
    int top = std::clamp(picture.y, 0, outH - 1);
    int right = std::clamp(picture.x + picture.w, left + 1, outW);
    const int bottom = std::clamp(picture.y + picture.h, top + 1, outH);
    // A browser draws into a drawing buffer of its own size, which past its limit is smaller
    // than the canvas: the renderer's output then holds only its left and bottom part, the rest
    // reads black.
    int heldW = 0, heldH = 0;
    if (DrawingBufferSize(heldW, heldH)) {
        right = std::min(right, heldW);
        top = std::max(top, outH - heldH);
        if (right <= left || bottom <= top)
            return false;
    }
    area.rect = {left, top, right - left, bottom - top};
    area.outputWidth = outW;
    area.window = true;
    return true;
}

// Hands each row of the area, top to bottom, to row(y, rgba) as area.rect.w RGBA pixels (a
// window's opaque), reading a strip of rows at a time through one bounded buffer. False when a
// read or row() failed.
template <class Row> bool ForEachRow(const PictureArea& area, Row&& row) {
    SDL_Renderer* renderer = MediaRenderer();
    SDL_Surface* surface = MediaSurface();
    const std::size_t pitch = static_cast<std::size_t>(area.outputWidth) * 4;
    const int strip = static_cast<int>(
        std::clamp<std::size_t>(kStripBytes / pitch, 1, static_cast<std::size_t>(area.rect.h)));
    std::vector<std::uint8_t> buffer(pitch * static_cast<std::size_t>(strip));
    for (int y = 0; y < area.rect.h; y += strip) {
        const int rows = std::min(strip, area.rect.h - y);
        if (surface) {
            const auto* pixels = static_cast<const Uint8*>(surface->pixels) +
                                 static_cast<std::ptrdiff_t>(y) * surface->pitch;
            if (SDL_ConvertPixels(area.rect.w, rows, surface->format->format, pixels,
                                  surface->pitch, SDL_PIXELFORMAT_RGBA32, buffer.data(),
                                  static_cast<int>(pitch)) != 0)
                return false;
        } else {
            // The whole output's width: the renderer puts what lies in its viewport where it
            // lies, the columns of the area are then taken from it.
            const SDL_Rect rect{0, area.rect.y + y, area.outputWidth, rows};
            if (area.frameTexture)
                SDL_SetRenderTarget(renderer, MediaFrameTexture());
            const bool read = SDL_RenderReadPixels(renderer, &rect, SDL_PIXELFORMAT_RGBA32,
                                                   buffer.data(), static_cast<int>(pitch)) == 0;
            if (area.frameTexture)
                SDL_SetRenderTarget(renderer, nullptr); // SDL gives the window its pass back
            if (!read)
                return false;
        }
        for (int r = 0; r < rows; ++r) {
            std::uint8_t* line = buffer.data() + static_cast<std::size_t>(r) * pitch +
                                 std::size_t{4} * static_cast<std::size_t>(area.rect.x);
            if (area.window) {
                for (int x = 0; x < area.rect.w; ++x)
                    line[4 * x + 3] = 255; // the window's picture is opaque
            }
            if (!row(y + r, line))
                return false;
        }
    }
    return true;
}
} // namespace

bool ReadBackBuffer(std::vector<std::uint8_t>& rgba, int& width, int& height) {
    PictureArea area;
    if (!FindPictureArea(area))
        return false;
    const std::size_t rowBytes = static_cast<std::size_t>(area.rect.w) * 4;
    rgba.resize(rowBytes * static_cast<std::size_t>(area.rect.h));
    if (!ForEachRow(area, [&](int y, const std::uint8_t* line) {
            std::memcpy(rgba.data() + rowBytes * static_cast<std::size_t>(y), line, rowBytes);
            return true;
        }))
        return false;
    width = area.rect.w;
    height = area.rect.h;
    return true;
}

bool SaveBackBufferPng(const std::string& path) {
    PictureArea area;
    if (!FindPictureArea(area))
        return false;
    // Encoded row by row as read: the picture is never held whole.
    PngRowWriter png(path, area.rect.w, area.rect.h);
    return png.Ok() &&
           ForEachRow(area, [&](int, const std::uint8_t* line) { return png.WriteRow(line); }) &&
           png.Finish();
}
