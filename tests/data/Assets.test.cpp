// The embedded pictures and sound as the program decodes them: sizes, formats,
// alpha classes, the tile sheets' frames, the star's outline and the sound's shape.
#include "data/LevelData.hpp"
#include "data/Resources.hpp"

#include "media/base/Embedded.hpp"
#include "media/graphics/Png.hpp"
#include "media/graphics/TImage.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

DecodedPng Decode(const std::string& name) {
    RegisterResources();
    const auto bytes = OpenEmbedded("incbin::data\\img\\" + name);
    EXPECT_TRUE(bytes.has_value()) << name;
    if (!bytes) {
        return {};
    }
    const auto png = DecodePng(bytes->data, bytes->size);
    EXPECT_TRUE(png.has_value()) << name;
    return png ? *png : DecodedPng{};
}

int Alpha(const DecodedPng& p, int x, int y) {
    return p.rgba[static_cast<std::size_t>(y * p.width + x) * 4 + 3];
}

struct AlphaCounts {
    int clear = 0, partial = 0, opaque = 0;
};

AlphaCounts CountAlpha(const DecodedPng& p, int x0, int y0, int w, int h) {
    AlphaCounts c;
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            const int a = Alpha(p, x, y);
            (a == 0 ? c.clear : a == 255 ? c.opaque : c.partial)++;
        }
    }
    return c;
}

struct Vec {
    double x, y;
};

// The convex pieces of the star body, in body pixels around the picture centre.
const std::vector<std::vector<Vec>> kStarPieces = {
    {{4.8, -5.6}, {-4.8, -5.6}, {-8.0, 4.0}, {0, 10.4}, {8.0, 4.0}},
    {{0, -15.2}, {-5.6, -4.8}, {5.6, -4.8}},
    {{4.8, -5.6}, {8.0, 4.0}, {15.2, -3.2}},
    {{-4.8, -5.6}, {-15.2, -3.2}, {-8.0, 4.0}},
    {{8.0, 4.0}, {0, 10.4}, {9.6, 14.4}},
    {{-8.0, 4.0}, {-9.6, 14.4}, {0, 10.4}}};

// Signed distance from p to a convex polygon (negative inside), either winding.
double ConvexDistance(const std::vector<Vec>& v, Vec p) {
    double inside = -1e9, outside = 1e9;
    bool out = false;
    double area = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const Vec a = v[i], b = v[(i + 1) % v.size()];
        area += a.x * b.y - b.x * a.y;
    }
    for (std::size_t i = 0; i < v.size(); ++i) {
        const Vec a = v[i], b = v[(i + 1) % v.size()];
        const double ex = b.x - a.x, ey = b.y - a.y, len = std::hypot(ex, ey);
        // Outward normal for either winding.
        double nx = ey / len, ny = -ex / len;
        if (area < 0) {
            nx = -nx;
            ny = -ny;
        }
        const double d = (p.x - a.x) * nx + (p.y - a.y) * ny;
        inside = std::max(inside, d);
        if (d > 0) {
            out = true;
            const double t =
                std::clamp(((p.x - a.x) * ex + (p.y - a.y) * ey) / (len * len), 0.0, 1.0);
            outside = std::min(outside, std::hypot(p.x - a.x - ex * t, p.y - a.y - ey * t));
        }
    }
    return out ? outside : inside;
}

double StarDistance(Vec p) {
    double d = 1e9;
    for (const auto& piece : kStarPieces) {
        d = std::min(d, ConvexDistance(piece, p));
    }
    return d;
}

std::uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

} // namespace

TEST(AssetsTest, PicturesHaveTheirSizesAndFormats) {
    struct Expect {
        const char* name;
        int w, h;
        bool palette;
    };
    const Expect all[] = {{"anchor.png", 14, 14, false},      {"BACK1TileSet.png", 240, 120, false},
                          {"ball.png", 32, 32, false},        {"blueBall.png", 32, 32, false},
                          {"brightStar.png", 64, 64, false},  {"cube.png", 32, 32, true},
                          {"L1TileSet.png", 240, 48, false},  {"link.png", 16, 12, false},
                          {"reflectBall.png", 32, 32, false}, {"star.png", 32, 32, false}};
    for (const Expect& e : all) {
        const DecodedPng p = Decode(e.name);
        EXPECT_EQ(p.width, e.w) << e.name;
        EXPECT_EQ(p.height, e.h) << e.name;
        EXPECT_EQ(p.palette, e.palette) << e.name;
        EXPECT_TRUE(p.hasAlpha) << e.name << " needs an alpha channel or a transparency table";
        ASSERT_EQ(p.rgba.size(), static_cast<std::size_t>(e.w * e.h) * 4) << e.name;
        // Every picture has see-through pixels, so masking never has to invent any.
        EXPECT_GT(CountAlpha(p, 0, 0, e.w, e.h).clear, 0) << e.name;
    }
}

TEST(AssetsTest, SheetsAndCubeAreOpaqueOrClearSpritesHaveSoftEdges) {
    for (const char* name : {"BACK1TileSet.png", "L1TileSet.png", "cube.png"}) {
        const DecodedPng p = Decode(name);
        EXPECT_EQ(CountAlpha(p, 0, 0, p.width, p.height).partial, 0) << name;
    }
    for (const char* name : {"anchor.png", "ball.png", "blueBall.png", "brightStar.png", "link.png",
                             "reflectBall.png", "star.png"}) {
        const DecodedPng p = Decode(name);
        EXPECT_GT(CountAlpha(p, 0, 0, p.width, p.height).partial, 0) << name;
    }
}

TEST(AssetsTest, TileSheetsCutIntoTheirFrames) {
    RegisterResources();
    const auto back = LoadAnimImage("incbin::data\\img\\BACK1TileSet.png", 40, 24, 0, 28);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->FrameCount(), 28);
    EXPECT_EQ(back->width, 40);
    EXPECT_EQ(back->height, 24);
    const auto front = LoadAnimImage("incbin::data\\img\\L1TileSet.png", 24, 24, 0, 19);
    ASSERT_NE(front, nullptr);
    EXPECT_EQ(front->FrameCount(), 19);
    EXPECT_EQ(front->width, 24);
    EXPECT_EQ(front->height, 24);
}

TEST(AssetsTest, BackgroundTilesCoverTheScreenAndUnusedCellsAreEmpty) {
    const DecodedPng p = Decode("BACK1TileSet.png");
    for (int cell = 0; cell < 30; ++cell) {
        const AlphaCounts c = CountAlpha(p, (cell % 6) * 40, (cell / 6) * 24, 40, 24);
        if (cell < 27) {
            // Sky, hills and clouds are drawn behind everything: no holes.
            EXPECT_EQ(c.opaque, 40 * 24) << "tile value " << cell + 1;
        } else if (cell == 27) {
            EXPECT_EQ(c.opaque, 40 * 24) << "second cloud frame";
        } else {
            EXPECT_EQ(c.clear, 40 * 24) << "unused cell " << cell;
        }
    }
}

TEST(AssetsTest, ForegroundTilesFitTheGround) {
    const DecodedPng p = Decode("L1TileSet.png");
    auto cell = [&](int tile) {
        return CountAlpha(p, ((tile - 1) % 10) * 24, ((tile - 1) / 10) * 24, 24, 24);
    };
    // The brick block, the earth fill, the walls and the inner corners under a wall are solid
    // all over.
    for (int tile : {1, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}) {
        EXPECT_EQ(cell(tile).opaque, 24 * 24) << "tile value " << tile;
    }
    // Grass tiles: solid from the grass down, tufts against the sky on top.
    for (int tile : {2, 3, 4, 5}) {
        const int x0 = ((tile - 1) % 10) * 24, y0 = ((tile - 1) / 10) * 24;
        EXPECT_GT(CountAlpha(p, x0, y0, 24, 1).clear, 0) << "tile value " << tile;
        const AlphaCounts lower = CountAlpha(p, x0, y0 + 8, 24, 16);
        EXPECT_EQ(lower.opaque, 24 * 16) << "tile value " << tile;
    }
    // Bush halves stand on the bottom of their cells and leave sky around them.
    for (int tile : {16, 17, 18, 19}) {
        const int x0 = ((tile - 1) % 10) * 24, y0 = ((tile - 1) / 10) * 24;
        EXPECT_GT(CountAlpha(p, x0, y0 + 23, 24, 1).opaque, 6) << "tile value " << tile;
        EXPECT_GT(cell(tile).clear, 24 * 3) << "tile value " << tile;
    }
    // The two frames of each bush half differ, so the bush moves.
    for (int tile : {16, 18}) {
        int differing = 0;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 24; ++x) {
                const std::uint8_t* a =
                    &p.rgba[static_cast<std::size_t>((y + 24) * 240 + (tile - 1) % 10 * 24 + x) *
                            4];
                const std::uint8_t* b =
                    &p.rgba[static_cast<std::size_t>((y + 24) * 240 + tile % 10 * 24 + x) * 4];
                differing += std::memcmp(a, b, 4) != 0;
            }
        }
        EXPECT_GT(differing, 10) << "tile values " << tile << " and " << tile + 1;
    }
    EXPECT_EQ(cell(20).clear, 24 * 24) << "the last cell is not part of the tile set";
}

namespace {

// Mean colour step across the shared edge of two tiles placed side by side
// (right = true) or one above the other, over the pixels opaque on both sides.
double EdgeStep(const DecodedPng& sheet, int tw, int th, int a, int b, bool right) {
    const int cols = sheet.width / tw;
    auto px = [&](int tile, int x, int y) {
        const int fx = ((tile - 1) % cols) * tw + x, fy = ((tile - 1) / cols) * th + y;
        return &sheet.rgba[static_cast<std::size_t>(fy * sheet.width + fx) * 4];
    };
    const int n = right ? th : tw;
    double sum = 0;
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const std::uint8_t* p = right ? px(a, tw - 1, i) : px(a, i, th - 1);
        const std::uint8_t* q = right ? px(b, 0, i) : px(b, i, 0);
        if (p[3] == 255 && q[3] == 255) {
            sum += (std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2])) / 3.0;
            ++count;
        }
    }
    return count ? sum / count : 0.0;
}

} // namespace

TEST(AssetsTest, BackgroundTilesJoinWithoutSeams) {
    CreateLevelData();
    const DecodedPng sheet = Decode("BACK1TileSet.png");
    // The map repeats sideways; clouds show either frame, both sit on plain sky.
    auto tile = [](int v) { return v < 0 ? 26 : v; };
    for (int r = 0; r < 19; ++r) {
        for (int c = 0; c < 18; ++c) {
            const int a = tile(GridCell(BGMapData, r, c));
            const int right = tile(GridCell(BGMapData, r, (c + 1) % 18));
            EXPECT_LT(EdgeStep(sheet, 40, 24, a, right, true), 12.0)
                << a << " beside " << right << " at row " << r << " column " << c;
            // The last row repeats down the screen, so it also meets itself.
            const int below = tile(GridCell(BGMapData, std::min(r + 1, 18), c));
            EXPECT_LT(EdgeStep(sheet, 40, 24, a, below, false), 12.0)
                << a << " above " << below << " at row " << r << " column " << c;
        }
    }
}

TEST(AssetsTest, GroundTilesJoinWithoutSeams) {
    CreateLevelData();
    const DecodedPng sheet = Decode("L1TileSet.png");
    auto ground = [](int v) { return v >= 2 && v <= 15; };
    int pairs = 0;
    for (int r = 0; r < 32; ++r) {
        for (int c = 0; c < 84; ++c) {
            const int a = GridCell(FGMapData, r, c);
            if (!ground(a)) {
                continue;
            }
            // Two walls back to back are a crack in the ground, drawn as one.
            const int next = c + 1 < 84 ? GridCell(FGMapData, r, c + 1) : 0;
            const bool crack = (a == 4 || a == 11) && (next == 5 || next == 12 || next == 15);
            if (ground(next) && !crack) {
                EXPECT_LT(EdgeStep(sheet, 24, 24, a, GridCell(FGMapData, r, c + 1), true), 6.0)
                    << a << " beside " << GridCell(FGMapData, r, c + 1) << " at " << r << "," << c;
                ++pairs;
            }
            if (r + 1 < 32 && ground(GridCell(FGMapData, r + 1, c))) {
                EXPECT_LT(EdgeStep(sheet, 24, 24, a, GridCell(FGMapData, r + 1, c), false), 6.0)
                    << a << " above " << GridCell(FGMapData, r + 1, c) << " at " << r << "," << c;
                ++pairs;
            }
        }
    }
    EXPECT_GT(pairs, 800);
}

TEST(AssetsTest, StarPictureFollowsTheStarBody) {
    const DecodedPng p = Decode("star.png");
    int checked = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            // Pixel centres relative to the picture centre, which lands on the body position.
            const double d = StarDistance({x + 0.5 - 16.0, y + 0.5 - 16.0});
            if (d < -1.0) {
                EXPECT_EQ(Alpha(p, x, y), 255) << x << "," << y << " lies inside the star";
                ++checked;
            } else if (d > 1.0) {
                EXPECT_EQ(Alpha(p, x, y), 0) << x << "," << y << " lies outside the star";
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 600);
}

TEST(AssetsTest, RoundSpritesFillTheirCircle) {
    for (const char* name : {"ball.png", "blueBall.png", "reflectBall.png"}) {
        const DecodedPng p = Decode(name);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const double r = std::hypot(x + 0.5 - 16.0, y + 0.5 - 16.0);
                if (r > 16.0) {
                    EXPECT_EQ(Alpha(p, x, y), 0) << name << " " << x << "," << y;
                } else if (r < 13.5 && std::string(name) != "reflectBall.png") {
                    EXPECT_EQ(Alpha(p, x, y), 255) << name << " " << x << "," << y;
                }
            }
        }
    }
    // The shading is translucent: light at the top, dark at the bottom.
    const DecodedPng r = Decode("reflectBall.png");
    auto at = [&](int x, int y) { return &r.rgba[static_cast<std::size_t>(y * 32 + x) * 4]; };
    EXPECT_LT(at(16, 5)[3], 255);
    EXPECT_GT(at(16, 5)[0], 200) << "light at the top";
    EXPECT_LT(at(16, 27)[0], 60) << "dark at the bottom";
    EXPECT_GT(at(16, 27)[3], 40);
}

TEST(AssetsTest, SoundIsAShortCleanMonoClip) {
    RegisterResources();
    const auto wav = OpenEmbedded("incbin::data\\snd\\metal_drop_1.wav");
    ASSERT_TRUE(wav.has_value());
    const unsigned char* b = wav->data;
    ASSERT_GE(wav->size, 44u);
    ASSERT_EQ(std::memcmp(b, "RIFF", 4), 0);
    EXPECT_EQ(Le32(b + 4), wav->size - 8);
    ASSERT_EQ(std::memcmp(b + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(Le16(b + 20), 1) << "PCM";
    EXPECT_EQ(Le16(b + 22), 1) << "mono";
    EXPECT_EQ(Le32(b + 24), 44100u);
    EXPECT_EQ(Le16(b + 34), 16) << "bits per sample";
    ASSERT_EQ(std::memcmp(b + 36, "data", 4), 0);
    const std::uint32_t bytes = Le32(b + 40);
    ASSERT_EQ(44u + bytes, wav->size);
    const std::size_t count = bytes / 2;
    EXPECT_NEAR(static_cast<double>(count) / 44100.0, 0.6, 0.05);

    std::vector<int> s(count);
    for (std::size_t i = 0; i < count; ++i) {
        s[i] = static_cast<std::int16_t>(Le16(b + 44 + 2 * i));
    }
    int peak = 0, peakAt = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (std::abs(s[i]) > peak) {
            peak = std::abs(s[i]);
            peakAt = static_cast<int>(i);
        }
    }
    EXPECT_LT(peak, 32767) << "never clips";
    EXPECT_GT(peak, 16000) << "loud enough to hear";
    EXPECT_LT(peakAt, 44100 / 50) << "the attack is sharp";
    auto rms = [&](std::size_t from, std::size_t n) {
        double sum = 0;
        for (std::size_t i = from; i < from + n; ++i) {
            sum += double(s[i]) * s[i];
        }
        return std::sqrt(sum / static_cast<double>(n));
    };
    EXPECT_LT(rms(count - 4410, 4410), rms(0, 4410) / 50) << "dies away within the clip";
    EXPECT_EQ(s.back(), 0) << "ends in silence, no click";
}
