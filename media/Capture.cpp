#include "media/Capture.hpp"

#include "media/Draw.hpp"
#include "media/Png.hpp"
#include "media/Window.hpp"

#include <SDL.h>

#include <algorithm>
#include <cmath>
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
                          static_cast<std::size_t>(y) * surface->pitch;
        Uint32 argb;
        std::memcpy(&argb, row + static_cast<std::size_t>(x) * 4, 4);
        return (argb << 8) | (argb >> 24);
    }
    Uint32 rgba = 0;
    SDL_Rect r{x, y, 1, 1};
    SDL_RenderReadPixels(renderer, &r, SDL_PIXELFORMAT_RGBA8888, &rgba, 4);
    return rgba;
}

bool ReadBackBuffer(std::vector<std::uint8_t>& rgba, int& width, int& height) {
    SDL_Renderer* renderer = MediaRenderer();
    SDL_Surface* surface = MediaSurface();
    if (!renderer)
        return false;
    FlushDraws();
    int w = surface ? surface->w : LogicalWidth();
    int h = surface ? surface->h : LogicalHeight();
    if (surface) {
        SDL_RenderFlush(renderer);
        rgba.resize(static_cast<std::size_t>(w) * h * 4);
        SDL_ConvertPixels(w, h, surface->format->format, surface->pixels, surface->pitch,
                          SDL_PIXELFORMAT_RGBA32, rgba.data(), w * 4);
    } else {
        // A window keeps the picture's proportions, and the renderer reads only its viewport:
        // the picture between the black bars, in the window's pixels. Its size is the logical
        // viewport times the scale; the read goes into a buffer as large as the whole output,
        // then the picture is cut from its top-left corner.
        // Text drawn at the window's resolution over a picture scaled down is no part of the
        // frame: the frame itself, at the program's size, is read as before the text.
        if (ScreenPassOn() && MediaFrameTexture()) {
            rgba.resize(static_cast<std::size_t>(w) * h * 4);
            SDL_SetRenderTarget(renderer, MediaFrameTexture());
            const bool read = SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGBA32,
                                                   rgba.data(), w * 4) == 0;
            SDL_SetRenderTarget(renderer, nullptr); // SDL gives the window its pass back
            for (std::size_t i = 3; i < rgba.size(); i += 4)
                rgba[i] = 255;
            width = w;
            height = h;
            return read;
        }
        int outW = 0, outH = 0;
        if (SDL_GetRendererOutputSize(renderer, &outW, &outH) != 0 || outW <= 0 || outH <= 0)
            return false;
        SDL_Rect viewport{};
        SDL_RenderGetViewport(renderer, &viewport);
        float scaleX = 1.0f, scaleY = 1.0f;
        SDL_RenderGetScale(renderer, &scaleX, &scaleY);
        w = std::clamp(static_cast<int>(std::floor(viewport.w * static_cast<double>(scaleX))), 1,
                       outW);
        h = std::clamp(static_cast<int>(std::floor(viewport.h * static_cast<double>(scaleY))), 1,
                       outH);
        std::vector<std::uint8_t> whole(static_cast<std::size_t>(outW) * outH * 4, 0);
        if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGBA32, whole.data(),
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
    return WritePngFile(path, rgba.data(), w, h);
}
