#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "media/graphics/TImage.hpp"
#include "physics/CPBody.hpp"
#include "world/TLayer.hpp"
#include "world/WorldTestSupport.hpp"

namespace {

// Cell (c, r) holds r * 100 + c + 1: every cell tells where it was read from.
IntGrid NumberedMap(int w, int h) {
    IntGrid map(static_cast<std::size_t>(h), std::vector<int>(static_cast<std::size_t>(w)));
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            GridCell(map, r, c) = r * 100 + c + 1;
        }
    }
    return map;
}

TEST(PositiveModuloTest, StaysInZeroToDivisor) {
    EXPECT_EQ(PositiveModulo(-1, 18), 17);
    EXPECT_EQ(PositiveModulo(-18, 18), 0);
    EXPECT_EQ(PositiveModulo(-19, 18), 17);
    EXPECT_EQ(PositiveModulo(19, 18), 1);
    EXPECT_EQ(PositiveModulo(0, 18), 0);
    EXPECT_EQ(PositiveModulo(-2147483647 - 1, 7),
              PositiveModulo(-2147483647 - 1 + 7 * 300000000, 7));
    EXPECT_EQ(PositiveModulo(5, 0), 0); // no divisor, no crash
}

TEST(LayerTest, InitCopiesAndPadsTheMapAndResetsTheLayer) {
    InitPhysics();
    IntGrid source = {{1, 2, 3, 4, 5}, {6}, {7, 8, 9}};
    TLayer layer;
    layer.ScrollX = 9;
    layer.HorzRepPat = 2;
    layer.Init(SizedTileSet(24, 16), source, 4, 4);
    EXPECT_EQ(layer.MapData, (IntGrid{{1, 2, 3, 4}, {6, 0, 0, 0}, {7, 8, 9, 0}, {0, 0, 0, 0}}));
    source[0][0] = 99; // the layer owns its copy
    EXPECT_EQ(layer.MapData[0][0], 1);
    EXPECT_EQ(layer.MapW, 4);
    EXPECT_EQ(layer.MapH, 4);
    EXPECT_EQ(layer.maxLevelW, 96);
    EXPECT_EQ(layer.maxLevelH, 64);
    EXPECT_EQ(layer.ScrollX, 0);
    EXPECT_EQ(layer.HorzRepPat, 0);
    EXPECT_EQ(layer.TimeCounter, 0);
    EXPECT_EQ(layer.DT, 1.0f);
    EXPECT_EQ(layer.Time, 0.0f);
    ASSERT_NE(layer.spaceMap, nullptr);
    ASSERT_NE(layer.staticBodyMap, nullptr);
    EXPECT_TRUE(std::isinf(layer.staticBodyMap->GetMass()));
    EXPECT_TRUE(std::isinf(layer.staticBodyMap->GetMoment()));
    EXPECT_EQ(layer.spaceMap->CountBodies(), 0); // the static body stays out of the space

    layer.ScrollTo(-5, 7);
    EXPECT_EQ(layer.ScrollX, -5);
    EXPECT_EQ(layer.ScrollY, 7);
}

TEST(LayerTest, EdgeRulesRepeatExtendOrShowNothing) {
    InitPhysics();
    TLayer layer;
    layer.Init(SizedTileSet(40, 24), NumberedMap(18, 19), 18, 19);

    // Rule 0: outside is empty, inside is read as it is.
    EXPECT_EQ(layer.GetTile(-1, 0), 0);
    EXPECT_EQ(layer.GetTile(18, 0), 0);
    EXPECT_EQ(layer.GetTile(0, -1), 0);
    EXPECT_EQ(layer.GetTile(0, 19), 0);
    EXPECT_EQ(layer.GetTile(17, 18), 1818);
    int x = -1;
    int y = 44;
    EXPECT_EQ(layer.FindPositionInMap(x, y), 0);
    EXPECT_EQ(y, 44); // the horizontal rule gave up before touching y

    layer.HorzRepPat = 1;
    EXPECT_EQ(layer.GetTile(-1, 4), layer.GetTile(17, 4));
    EXPECT_EQ(layer.GetTile(-1, 4), 418);
    EXPECT_EQ(layer.GetTile(18, 4), 401);
    EXPECT_EQ(layer.GetTile(-37, 4), 418);

    layer.VertRepPat = 2;
    EXPECT_EQ(layer.GetTile(3, -5), 4);
    EXPECT_EQ(layer.GetTile(3, 30), 1804);
    x = 18;
    y = 30;
    EXPECT_EQ(layer.FindPositionInMap(x, y), 1);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 18);

    // Unknown rules show nothing outside the map and stay harmless.
    layer.HorzRepPat = 7;
    layer.VertRepPat = -3;
    EXPECT_EQ(layer.GetTile(-1, 0), 0);
    EXPECT_EQ(layer.GetTile(0, 19), 0);
    EXPECT_EQ(layer.GetTile(2, 1), 103);

    // A layer without a map reads empty under every rule.
    TLayer blank;
    for (int rule = 0; rule < 3; ++rule) {
        blank.HorzRepPat = rule;
        blank.VertRepPat = rule;
        EXPECT_EQ(blank.GetTile(0, 0), 0);
        EXPECT_EQ(blank.GetBound(-1, 3), 0);
    }
}

class LayerDrawTest : public OffscreenWorldTest {
  protected:
    void SetUp() override {
        OffscreenWorldTest::SetUp();
        fgSet = std::make_shared<TTileSet>();
        fgSet->Init("L1", 24, 24, 0, 19, FGSequences);
        ASSERT_NE(fgSet->TileSetImage, nullptr);
        SetDrawRecording(&records);
    }
    std::shared_ptr<TTileSet> fgSet;
    std::vector<DrawRecord> records;
};

TEST_F(LayerDrawTest, FirstRowFollowsTheTruncatingStartFormula) {
    // Rows hold frames 0..3; both rules repeat so that row -1 shows row 3.
    TLayer layer;
    layer.Init(fgSet, {{1, 1}, {2, 2}, {3, 3}, {4, 4}}, 2, 4);
    layer.HorzRepPat = 1;
    layer.VertRepPat = 1;

    struct Case {
        int py, row, ry;
    };
    for (const Case& c :
         {Case{0, 0, 0}, Case{24, 0, -24}, Case{30, 0, -30}, Case{47, 1, -23}, Case{-1, -1, -23}}) {
        records.clear();
        layer.ScrollTo(0, c.py);
        layer.Draw();
        ASSERT_FALSE(records.empty());
        const DrawRecord& first = records.front();
        EXPECT_EQ(first.image, fgSet->TileSetImage.get());
        EXPECT_EQ(first.frame, PositiveModulo(c.row, 4)) << "py " << c.py;
        EXPECT_FLOAT_EQ(first.y, static_cast<float>(c.ry) + 12.0f) << "py " << c.py;
        EXPECT_FLOAT_EQ(first.x, 12.0f);
        const float lastY = records.back().y - 12.0f;
        EXPECT_LT(lastY, 768.0f);
        EXPECT_GE(lastY + 24.0f, 768.0f) << "rows reach the bottom of the screen";
    }
    // Each row holds 43 columns (0 .. 1008), one draw per cell.
    records.clear();
    layer.ScrollTo(0, 0);
    layer.Draw();
    EXPECT_EQ(records.size(), 43u * 32u);
    EXPECT_EQ(fgSet->TileSetImage->handle_x, 12.0f);
    EXPECT_EQ(fgSet->TileSetImage->handle_y, 12.0f);
}

TEST_F(LayerDrawTest, ShiftAndViewportMoveTheOffsetsButNotTheScreenArea) {
    TLayer layer;
    layer.Init(fgSet, {{1, 2}, {3, 4}}, 2, 2);
    layer.ShiftX = 10;
    layer.ShiftY = -5;
    layer.Draw();
    // px = 10: column 0 starts 10 pixels left of the screen; py = -5: row 0 five pixels down.
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].frame, 0);
    EXPECT_FLOAT_EQ(records[0].x, -10.0f + 12.0f);
    EXPECT_FLOAT_EQ(records[0].y, 5.0f + 12.0f);
    EXPECT_EQ(records[3].frame, 3);
    EXPECT_FLOAT_EQ(records[3].x, 14.0f + 12.0f);
    EXPECT_FLOAT_EQ(records[3].y, 29.0f + 12.0f);

    // The viewport's corner shifts the offsets; its size bounds the loops.
    records.clear();
    layer.ShiftX = 0;
    layer.ShiftY = 0;
    SetViewport(24, 0, 30, 20);
    layer.Draw();
    // An offset of one pitch starts one column early, wholly left of the drawing area.
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].frame, 0);
    EXPECT_FLOAT_EQ(records[0].x, -24.0f + 12.0f);
    EXPECT_EQ(records[1].frame, 1);
    EXPECT_FLOAT_EQ(records[1].x, 12.0f);
    EXPECT_FLOAT_EQ(records[1].y, 12.0f);
}

TEST_F(LayerDrawTest, NothingOutsideTheMapUnderRuleZero) {
    TLayer layer;
    layer.Init(fgSet, {{1, 0}, {-1, 19}}, 2, 2);
    layer.ScrollTo(-100, -50);
    layer.Draw();
    // Three non-empty cells, each drawn once at its place on the screen; 0 is never drawn.
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].frame, 0);
    EXPECT_FLOAT_EQ(records[0].x, 100.0f + 12.0f);
    EXPECT_FLOAT_EQ(records[0].y, 50.0f + 12.0f);
    EXPECT_EQ(records[1].frame, 15); // sequence 1 at time 0 shows tile 16
    EXPECT_EQ(records[2].frame, 18);
    EXPECT_FLOAT_EQ(records[2].x, 124.0f + 12.0f);
    EXPECT_FLOAT_EQ(records[2].y, 74.0f + 12.0f);
}

TEST_F(LayerDrawTest, AnimatedCellsAdvanceOncePerDraw) {
    auto bgSet = std::make_shared<TTileSet>();
    bgSet->Init("BACK1", 40, 24, 0, 28, BGSequences);
    TLayer layer;
    layer.Init(bgSet, {{-1, -2, -3}}, 3, 1);

    auto framesAt = [&](int counter) {
        layer.TimeCounter = counter;
        records.clear();
        layer.Draw();
        std::vector<int> frames;
        for (const DrawRecord& r : records) {
            frames.push_back(r.frame);
        }
        return frames;
    };
    // The zero-duration third sequence never draws.
    EXPECT_EQ(framesAt(0), (std::vector<int>{25, 26}));
    EXPECT_EQ(framesAt(47), (std::vector<int>{25, 26}));
    EXPECT_EQ(framesAt(48), (std::vector<int>{26, 25}));
    EXPECT_EQ(framesAt(95), (std::vector<int>{26, 25}));
    EXPECT_EQ(framesAt(96), (std::vector<int>{25, 26}));
    EXPECT_EQ(layer.TimeCounter, 97);
    EXPECT_EQ(layer.GetTile(0, 0), 26); // GetTile reads the same clock
}

TEST_F(LayerDrawTest, DriftMovesTheContentAndClocksRunWithoutVisibleCells) {
    TLayer layer;
    layer.Init(fgSet, {{1}}, 1, 1);
    layer.TimeX = 2.0f;
    std::vector<float> xs;
    for (int i = 0; i < 4; ++i) {
        records.clear();
        layer.Draw();
        ASSERT_EQ(records.size(), 1u);
        xs.push_back(records[0].x);
    }
    EXPECT_EQ(xs, (std::vector<float>{12.0f, 14.0f, 16.0f, 18.0f}));
    EXPECT_FLOAT_EQ(layer.Time, 4.0f);

    // Far off the map nothing is visible, but both clocks still advance.
    records.clear();
    layer.ScrollTo(100000, 100000);
    layer.DT = 0.5f;
    layer.Draw();
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(layer.TimeCounter, 5);
    EXPECT_FLOAT_EQ(layer.Time, 4.5f);
}

TEST_F(LayerDrawTest, ZeroPitchDrawsNothingButKeepsTime) {
    TLayer layer;
    layer.Init(fgSet, {{1, 1}, {1, 1}}, 2, 2);
    layer.HorzRepPat = 1;
    SetScale(0.01f, 1.0f); // 24 * 0.01 rounds down to a zero column pitch
    layer.Draw();
    SetScale(1.0f, 0.02f);
    layer.Draw();
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(layer.TimeCounter, 2);
    EXPECT_FLOAT_EQ(layer.Time, 2.0f);

    // A tile set without a sheet draws nothing either.
    SetScale(1.0f, 1.0f);
    TLayer bare;
    bare.Init(SizedTileSet(24, 24), {{1}}, 1, 1);
    bare.Draw();
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(bare.TimeCounter, 1);
}

TEST_F(LayerDrawTest, MapSizeFollowsScaleAndOverlap) {
    auto set = SizedTileSet(24, 24, 4);
    TLayer layer;
    layer.Init(set, {}, 84, 32);
    int w = 0;
    int h = 0;
    layer.GetMapSize(w, h);
    EXPECT_EQ(w, 2016);
    EXPECT_EQ(h, 640);
    SetScale(0.5f, 1.5f);
    layer.GetMapSize(w, h);
    EXPECT_EQ(w, 1008);
    EXPECT_EQ(h, 960);
}

// Rows overlap by the tile set's overlap; the pitch and the offset from a cell's corner to the
// frame's centre handle both follow the scale, so scaled cells still meet edge to edge.
TEST_F(LayerDrawTest, OverlapAndScaleSetThePitchAndTheHalfFrameOffset) {
    fgSet->Overlap = 4;
    TLayer layer;
    layer.Init(fgSet, {{1, 2}, {3, 4}}, 2, 2);
    struct Case {
        float scale, x0, x1, y0, y1;
    };
    // Scale 1: columns 24 apart, rows 20; scale 2: 48 and 40, and the handle 24 in, not 12.
    for (const Case& c :
         {Case{1.0f, 12.0f, 36.0f, 12.0f, 32.0f}, Case{2.0f, 24.0f, 72.0f, 24.0f, 64.0f}}) {
        SCOPED_TRACE(c.scale);
        SetScale(c.scale, c.scale);
        records.clear();
        layer.Draw();
        ASSERT_EQ(records.size(), 4u);
        EXPECT_FLOAT_EQ(records[0].x, c.x0);
        EXPECT_FLOAT_EQ(records[1].x, c.x1);
        EXPECT_FLOAT_EQ(records[0].y, c.y0);
        EXPECT_FLOAT_EQ(records[2].y, c.y1);
        EXPECT_EQ(records[3].frame, 3);
    }
    SetScale(1.0f, 1.0f);
}

TEST_F(LayerDrawTest, TilesLandPixelExactOnTheScreen) {
    SetDrawRecording(nullptr);
    TLayer layer;
    layer.Init(fgSet, {{5, 6}, {7, 8}}, 2, 2);
    layer.ScrollTo(-100, -60);
    Cls();
    layer.Draw();
    // Compare every opaque pixel of the four cells with the sheet's own frame pixels.
    int compared = 0;
    for (int cell = 0; cell < 4; ++cell) {
        const TPixmap& pm = fgSet->TileSetImage->pixmaps[static_cast<std::size_t>(4 + cell)];
        const int left = 100 + (cell % 2) * 24;
        const int top = 60 + (cell / 2) * 24;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 24; ++x) {
                const std::uint8_t* p = &pm.pixels[static_cast<std::size_t>(y * pm.pitch + x * 4)];
                if (p[3] != 255) {
                    continue;
                }
                const std::uint32_t want = (std::uint32_t(p[0]) << 24) |
                                           (std::uint32_t(p[1]) << 16) |
                                           (std::uint32_t(p[2]) << 8) | 0xFFu;
                ASSERT_EQ(ReadPixel(left + x, top + y) | 0xFFu, want)
                    << "cell " << cell << " at " << x << "," << y;
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 4 * 24 * 12);
    // Nothing is drawn just outside the map.
    EXPECT_EQ(ReadPixel(99, 70) & 0xFFFFFF00u, 0u);
    EXPECT_EQ(ReadPixel(148, 70) & 0xFFFFFF00u, 0u);
}

} // namespace

namespace {

// The world point under a picture point inverts the view's mapping at every zoom: the point a
// tool takes is the one drawn under the pointer.
TEST(LayerTest, WorldAtInvertsScrollAndZoom) {
    struct Case {
        float zoom;
        int scrollX, scrollY;
        double x, y, wantX, wantY;
    };
    for (const Case& c : {Case{1.0f, 100, 40, 10.0, 20.0, 110.0, 60.0},
                          Case{0.5f, -16, -384, 512.0, 384.0, 1008.0, 384.0},
                          Case{2.0f, 300, 0, 512.0, 384.0, 556.0, 192.0},
                          Case{3.3f, 0, 10, 33.0, 330.0, 10.0, 110.0}}) {
        SCOPED_TRACE(c.zoom);
        TLayer layer;
        layer.ScrollTo(c.scrollX, c.scrollY);
        layer.Zoom = c.zoom;
        const CPVect p = layer.WorldAt(c.x, c.y);
        EXPECT_NEAR(p.x, c.wantX, 1e-3);
        EXPECT_NEAR(p.y, c.wantY, 1e-3);
    }
}

// The first tile of the foreground's sheet that covers its whole cell.
int OpaqueTile(TTileSet& set) {
    TImage& image = *set.TileSetImage;
    for (int t = 1; t <= image.FrameCount(); ++t)
        if (image.MaskCoverage(t - 1, 0.5f) == TImage::kOpaque)
            return t;
    return 0;
}

// A map filled with one opaque tile, zoomed by odd factors: every picture pixel over the map
// is a tile's, none the cleared screen's (a seam), and none is drawn past the map's edge.
TEST_F(LayerDrawTest, ZoomedCellsMeetWithoutSeams) {
    SetDrawRecording(nullptr);
    const int tile = OpaqueTile(*fgSet);
    ASSERT_GT(tile, 0);
    const int cols = 30, rows = 20;
    TLayer layer;
    layer.Init(fgSet, IntGrid(rows, std::vector<int>(cols, tile)), cols, rows);
    SetClsColor(255, 0, 255);
    for (const float zoom : {0.7f, 0.7071068f, 1.1892071f, 1.3f, 3.3f, 3.3635857f}) {
        SCOPED_TRACE(zoom);
        layer.Zoom = zoom;
        layer.ScrollTo(-7, -5);
        Cls();
        layer.Draw();
        // The map's picture: from (7, 5) * zoom to (7 + 720, 5 + 480) * zoom, within the view.
        const int left = static_cast<int>(std::ceil(7.0f * zoom)) + 1;
        const int top = static_cast<int>(std::ceil(5.0f * zoom)) + 1;
        const int right = std::min(1024, static_cast<int>(727.0f * zoom) - 1);
        const int bottom = std::min(768, static_cast<int>(485.0f * zoom) - 1);
        int seams = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                seams += (ReadPixel(x, y) >> 8) == 0xFF00FFu;
        EXPECT_EQ(seams, 0);
        if (727.0f * zoom + 2.0f < 1024.0f) {
            EXPECT_EQ(ReadPixel(static_cast<int>(727.0f * zoom) + 2, top) >> 8, 0xFF00FFu);
        }
        EXPECT_EQ(ReadPixel(left - 3, top) >> 8, 0xFF00FFu);
    }
    SetClsColor(0, 0, 0);
}

} // namespace
