#include "media/graphics/ImageCover.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Picture {
    int w, h;
    std::vector<std::uint8_t> rgba; // alpha only matters: 255 where `solid`, else 0
};

Picture Make(int w, int h, const std::function<bool(int, int)>& solid) {
    Picture p{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w * h * 4), 0)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (solid(x, y))
                p.rgba[static_cast<std::size_t>((y * w + x) * 4 + 3)] = 255;
    return p;
}

bool Inside(const ImageCover::Piece& p, float x, float y) {
    constexpr float kSlack = 1e-3f;
    if (y < p.top - kSlack || y > p.bottom + kSlack)
        return false;
    const float t = p.bottom > p.top ? (y - p.top) / (p.bottom - p.top) : 0.0f;
    const float left = p.topLeft + (p.bottomLeft - p.topLeft) * t;
    const float right = p.topRight + (p.bottomRight - p.topRight) * t;
    return x >= left - kSlack && x <= right + kSlack;
}

// Every point where a bilinear sample reads a non-transparent texel (within half a texel
// beyond its square, inside the frame) lies in a piece; a point missed is returned as "x,y".
std::string FirstPointMissed(const ImageCover& cover, const Picture& pic) {
    for (int ty = 0; ty < pic.h; ++ty) {
        for (int tx = 0; tx < pic.w; ++tx) {
            if (pic.rgba[static_cast<std::size_t>((ty * pic.w + tx) * 4 + 3)] == 0)
                continue;
            for (float y = static_cast<float>(ty) - 0.45f; y <= static_cast<float>(ty) + 1.45f;
                 y += 0.15f) {
                for (float x = static_cast<float>(tx) - 0.45f; x <= static_cast<float>(tx) + 1.45f;
                     x += 0.15f) {
                    if (x < 0.0f || y < 0.0f || x > static_cast<float>(pic.w) ||
                        y > static_cast<float>(pic.h))
                        continue;
                    bool in = false;
                    for (const auto& p : cover.Pieces())
                        in = in || Inside(p, x, y);
                    if (!in)
                        return std::to_string(x) + "," + std::to_string(y);
                }
            }
        }
    }
    return "";
}

// Pieces stay inside the frame: outside it the frame's neighbours on a shared texture would show.
bool WithinFrame(const ImageCover& cover, const Picture& pic) {
    const float w = static_cast<float>(pic.w), h = static_cast<float>(pic.h);
    for (const auto& p : cover.Pieces()) {
        for (const float x : {p.topLeft, p.topRight, p.bottomLeft, p.bottomRight})
            if (x < 0.0f || x > w)
                return false;
        if (p.top < 0.0f || p.bottom > h || p.top >= p.bottom)
            return false;
    }
    return true;
}

struct Case {
    const char* name;
    Picture picture;
    bool worthwhile;
    float maxShare; // of the frame's area the pieces may cover
};

TEST(ImageCover, PiecesCoverWhatFilteringCanReadAndLeaveOutTheRest) {
    const float r = 20.0f;
    const std::vector<Case> cases = {
        {"opaque square", Make(16, 16, [](int, int) { return true; }), false, 1.0f},
        {"transparent", Make(16, 16, [](int, int) { return false; }), true, 0.0f},
        {"one texel in a corner", Make(32, 32, [](int x, int y) { return x == 0 && y == 0; }), true,
         0.01f},
        {"one texel at the far corner",
         Make(32, 32, [](int x, int y) { return x == 31 && y == 31; }), true, 0.01f},
        // A disc: the bands' edges follow its rim.
        {"disc",
         Make(64, 64,
              [&](int x, int y) {
                  return std::hypot(static_cast<float>(x) + 0.5f - 32.0f,
                                    static_cast<float>(y) + 0.5f - 32.0f) < r;
              }),
         true, 0.38f},
        // A diamond: slanted edges, which slanting pieces follow closely and upright ones not.
        {"diamond",
         Make(64, 64, [](int x, int y) { return std::abs(x - 32) + std::abs(y - 32) < 30; }), true,
         0.56f},
        // Two blobs in one band, with transparent rows between bands.
        {"two blobs",
         Make(48, 48,
              [](int x, int y) {
                  return (y > 4 && y < 12 && x > 4 && x < 10) ||
                         (y > 30 && y < 36 && x > 36 && x < 44);
              }),
         true, 0.25f},
    };
    for (const Case& c : cases) {
        const Picture& pic = c.picture;
        const ImageCover cover(pic.rgba.data(), pic.w, pic.h, pic.w * 4);
        EXPECT_EQ(FirstPointMissed(cover, pic), "") << c.name;
        EXPECT_TRUE(WithinFrame(cover, pic)) << c.name;
        EXPECT_EQ(cover.Worthwhile(), c.worthwhile) << c.name;
        EXPECT_LE(cover.Area(), c.maxShare * cover.FrameArea() + 1e-3f)
            << c.name << " covers " << cover.Area();
        EXPECT_LE(
            cover.Pieces().size(),
            static_cast<std::size_t>((pic.h + ImageCover::kBandRows - 1) / ImageCover::kBandRows))
            << c.name;
    }
}

// Rows are read `pitch` bytes apart, not width * 4: a frame cut from a wider picture.
TEST(ImageCover, ReadsRowsByPitch) {
    // Texels 0..3 of row 10 in the frame; the texels right of the frame are not its own.
    const Picture wide =
        Make(40, 16, [](int x, int y) { return (x >= 20 && x < 24 && y == 10) || x >= 30; });
    const ImageCover cover(wide.rgba.data() + 20 * 4, 8, 16, 40 * 4);
    ASSERT_EQ(cover.Pieces().size(), 1u);
    const auto& p = cover.Pieces()[0];
    EXPECT_EQ(p.top, 9.0f);
    EXPECT_EQ(p.bottom, 12.0f);
    EXPECT_EQ(p.topLeft, 0.0f);
    EXPECT_EQ(p.topRight, 5.0f);
    EXPECT_EQ(p.bottomLeft, 0.0f);
    EXPECT_EQ(p.bottomRight, 5.0f);
}

} // namespace
