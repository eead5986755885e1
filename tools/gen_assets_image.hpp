#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A straight-alpha colour with channels in [0, 1].
struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;
};

constexpr Rgba Opaque(int r, int g, int b) {
    return {r / 255.0, g / 255.0, b / 255.0, 1.0};
}
Rgba WithAlpha(Rgba c, double a);
Rgba Mix(Rgba a, Rgba b, double t); // linear blend of two colours, t in [0, 1]
Rgba Over(Rgba top, Rgba bottom);   // Porter-Duff "over" of straight-alpha colours
double Clamp01(double v);
double SmoothStep(double e0, double e1, double x);

// An 8-bit RGBA picture, rows top to bottom.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    Picture() = default;
    Picture(int w, int h)
        : width(w), height(h),
          rgba(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4, 0) {}
    std::uint8_t* At(int x, int y) { return &rgba[Offset(x, y)]; }
    const std::uint8_t* At(int x, int y) const { return &rgba[Offset(x, y)]; }
    // Index of pixel (x, y)'s first byte; x and y lie inside the picture.
    std::size_t Offset(int x, int y) const {
        return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)) *
               4;
    }
};

// Colour of a continuous drawing at a point given in pixel units (pixel (i, j)
// covers [i, i+1) x [j, j+1)).
using Shader = std::function<Rgba(double x, double y)>;

// Renders `shader` into the w x h rectangle at (ox, oy) of `pic`, averaging
// `ss` x `ss` samples per pixel (premultiplied, so edges fade to transparent).
void Render(Picture& pic, int ox, int oy, int w, int h, int ss, const Shader& shader);

// Turns every alpha into 0 or 255 (for pictures drawn with mask blending).
void HardenAlpha(Picture& pic, int threshold = 128);

// Deterministic writers: no time stamps, fixed compression settings.
bool WritePngRgba(const std::string& path, const Picture& pic);
bool WritePngPalette(const std::string& path,
                     const Picture& pic); // alpha 0/255 only, <= 256 colours
bool WriteWavMono16(const std::string& path, const std::vector<std::int16_t>& samples, int rate);

// Reads an RGBA PNG (any colour type is expanded); used by the level renderer.
bool ReadPng(const std::string& path, Picture& pic);
