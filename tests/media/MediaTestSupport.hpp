#pragma once
// Helpers for the media tests: an offscreen drawing surface, pictures made on the fly and
// registered as embedded files, pixel access.

#include "media/Graphics.hpp"
#include "media/base/Clock.hpp"
#include "media/base/Embedded.hpp"
#include "media/graphics/Png.hpp"
#include "media/graphics/TImage.hpp"
#include "media/input/Input.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace mediatest {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

inline Rgb PixelRgb(int x, int y) {
    const std::uint32_t p = ReadPixel(x, y);
    return Rgb{static_cast<int>(p >> 24), static_cast<int>((p >> 16) & 255),
               static_cast<int>((p >> 8) & 255)};
}

inline bool Near(Rgb a, Rgb b, int tolerance = 2) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

// Registers bytes under `name` for the rest of the process and returns the "incbin::" url.
inline std::string RegisterBytes(const std::string& name, std::vector<std::uint8_t> bytes) {
    static std::deque<std::vector<std::uint8_t>> store; // the registry keeps pointers
    store.push_back(std::move(bytes));
    RegisterEmbedded(name, store.back().data(), store.back().size());
    return "incbin::" + name;
}

inline std::string RegisterPng(const std::string& name, const std::vector<std::uint8_t>& rgba,
                               int w, int h) {
    return RegisterBytes(name, EncodePng(rgba.data(), w, h));
}

// An RGBA picture of w x h filled by f(x, y) -> {r, g, b, a}.
template <class F> std::vector<std::uint8_t> MakeRgba(int w, int h, F f) {
    std::vector<std::uint8_t> px(static_cast<std::size_t>(w * h) * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto c = f(x, y);
            std::uint8_t* p = &px[static_cast<std::size_t>(y * w + x) * 4];
            p[0] = c[0];
            p[1] = c[1];
            p[2] = c[2];
            p[3] = c[3];
        }
    return px;
}

// A 1024 x 768 offscreen surface for each test, with the global state put back afterwards.
class OffscreenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetGraphicsTarget(GraphicsTarget::Offscreen);
        ASSERT_TRUE(OpenGraphics(1024, 768, 0, 60, 0)) << GraphicsError();
    }
    void TearDown() override {
        CloseGraphics();
        SetGraphicsTarget(GraphicsTarget::Window);
        SetClsColor(0, 0, 0);
        SetAutoCenterHandle(false);
        SetClock(nullptr);
    }
};

} // namespace mediatest
