#include "media/MediaTestSupport.hpp"

#include <array>
#include <string>

using namespace mediatest;

namespace {
// Four pixels of one colour (200, 100, 50) with alpha 255, 128, 127 and 0.
std::shared_ptr<TImage> AlphaStrip() {
    static const std::string url =
        RegisterPng("test\\blend_strip.png",
                    MakeRgba(4, 1,
                             [](int x, int) {
                                 const std::uint8_t alphas[4] = {255, 128, 127, 0};
                                 return std::array<std::uint8_t, 4>{200, 100, 50, alphas[x]};
                             }),
                    4, 1);
    return LoadImage(url, 0);
}

// 20 x 10: red where x < 10, green to the right.
std::shared_ptr<TImage> HalfRedHalfGreen() {
    static const std::string url =
        RegisterPng("test\\red_green.png",
                    MakeRgba(20, 10,
                             [](int x, int) {
                                 return x < 10 ? std::array<std::uint8_t, 4>{255, 0, 0, 255}
                                               : std::array<std::uint8_t, 4>{0, 255, 0, 255};
                             }),
                    20, 10);
    return LoadImage(url, 0);
}

const Rgb kGrey{100, 100, 100};
const Rgb kRed{255, 0, 0};
const Rgb kGreen{0, 255, 0};
const Rgb kBlack{0, 0, 0};
const Rgb kWhite{255, 255, 255};

class BlendTest : public OffscreenTest {
  protected:
    void SetUp() override {
        OffscreenTest::SetUp();
        SetClsColor(100, 100, 100);
        Cls();
        image = AlphaStrip();
        ASSERT_TRUE(image);
    }
    void DrawStrip(Blend mode, float alpha = 1.0f) {
        SetBlend(mode);
        SetAlpha(alpha);
        DrawImage(*image, 10, 10);
    }
    std::shared_ptr<TImage> image;
};
} // namespace

TEST_F(BlendTest, InitialStateIsWhiteOpaqueMaskIdentity) {
    int r, g, b;
    GetColor(r, g, b);
    EXPECT_EQ(Rgb(r, g, b), kWhite);
    EXPECT_EQ(GetAlpha(), 1.0f);
    EXPECT_EQ(GetBlend(), Blend::Mask);
    EXPECT_EQ(GetLineWidth(), 1.0f);
    EXPECT_EQ(GetRotation(), 0.0f);
    float sx, sy, ox, oy;
    GetScale(sx, sy);
    GetOrigin(ox, oy);
    EXPECT_EQ(sx, 1.0f);
    EXPECT_EQ(sy, 1.0f);
    EXPECT_EQ(ox, 0.0f);
    EXPECT_EQ(oy, 0.0f);
    int vx, vy, vw, vh;
    GetViewport(vx, vy, vw, vh);
    EXPECT_EQ(vx, 0);
    EXPECT_EQ(vy, 0);
    EXPECT_EQ(vw, 1024);
    EXPECT_EQ(vh, 768);
    EXPECT_EQ(GraphicsWidth(), 1024);
    EXPECT_EQ(GraphicsHeight(), 768);
}

TEST_F(BlendTest, MaskDrawsOpaqueFromHalfAlphaAndNothingBelow) {
    DrawStrip(Blend::Mask);
    EXPECT_EQ(PixelRgb(10, 10), Rgb(200, 100, 50));
    EXPECT_EQ(PixelRgb(11, 10), Rgb(200, 100, 50)); // 128/255 >= 0.5
    EXPECT_EQ(PixelRgb(12, 10), kGrey);             // 127/255 < 0.5
    EXPECT_EQ(PixelRgb(13, 10), kGrey);
}

TEST_F(BlendTest, MaskThresholdAppliesAfterAlphaMultiplication) {
    DrawStrip(Blend::Mask, 0.5f); // only the fully opaque pixel reaches one half
    EXPECT_EQ(PixelRgb(10, 10), Rgb(200, 100, 50));
    EXPECT_EQ(PixelRgb(11, 10), kGrey);
    Cls();
    DrawStrip(Blend::Mask, 0.4f); // nothing reaches one half
    EXPECT_EQ(PixelRgb(10, 10), kGrey);
    Cls();
    DrawStrip(Blend::Mask, 1.0f); // back to the usual cut, made from the same pixels
    EXPECT_EQ(PixelRgb(11, 10), Rgb(200, 100, 50));
    EXPECT_EQ(PixelRgb(12, 10), kGrey);
}

TEST_F(BlendTest, ValuesOutsideTheNamedModesDrawAsMask) {
    for (int value : {0, -1, 6, 100}) {
        Cls();
        DrawStrip(static_cast<Blend>(value));
        EXPECT_EQ(PixelRgb(10, 10), Rgb(200, 100, 50)) << value;
        EXPECT_EQ(PixelRgb(11, 10), Rgb(200, 100, 50)) << value;
        EXPECT_EQ(PixelRgb(12, 10), kGrey) << value;
        EXPECT_EQ(PixelRgb(13, 10), kGrey) << value;
    }
}

TEST_F(BlendTest, SolidDrawsEveryPixelOpaque) {
    DrawStrip(Blend::Solid);
    for (int x = 10; x < 14; ++x)
        EXPECT_EQ(PixelRgb(x, 10), Rgb(200, 100, 50)) << x;
}

TEST_F(BlendTest, AlphaMixesByPixelAlphaTimesGlobalAlpha) {
    DrawStrip(Blend::Alpha);
    EXPECT_TRUE(Near(PixelRgb(10, 10), Rgb(200, 100, 50))) << PixelRgb(10, 10);
    EXPECT_TRUE(Near(PixelRgb(11, 10), Rgb(150, 100, 75))) << PixelRgb(11, 10);
    EXPECT_EQ(PixelRgb(13, 10), kGrey);
    Cls();
    DrawStrip(Blend::Alpha, 0.5f);
    EXPECT_TRUE(Near(PixelRgb(10, 10), Rgb(150, 100, 75))) << PixelRgb(10, 10);
}

TEST_F(BlendTest, LightAddsColourTimesAlpha) {
    DrawStrip(Blend::Light);
    EXPECT_TRUE(Near(PixelRgb(10, 10), Rgb(255, 200, 150))) << PixelRgb(10, 10);
    EXPECT_TRUE(Near(PixelRgb(11, 10), Rgb(200, 150, 125))) << PixelRgb(11, 10);
    EXPECT_EQ(PixelRgb(13, 10), kGrey);
}

TEST_F(BlendTest, ShadeMultipliesTheTarget) {
    DrawStrip(Blend::Shade);
    EXPECT_TRUE(Near(PixelRgb(10, 10), Rgb(78, 39, 20))) << PixelRgb(10, 10);
}

TEST_F(BlendTest, ColourTintsEveryMode) {
    SetColor(255, 0, 128);
    DrawStrip(Blend::Solid);
    EXPECT_TRUE(Near(PixelRgb(10, 10), Rgb(200, 0, 25))) << PixelRgb(10, 10);
    Cls();
    DrawStrip(Blend::Mask);
    EXPECT_TRUE(Near(PixelRgb(10, 10), Rgb(200, 0, 25))) << PixelRgb(10, 10);
}

TEST_F(BlendTest, LinesFollowTheBlendModes) {
    SetColor(200, 100, 50);
    SetBlend(Blend::Mask);
    SetAlpha(0.4f);
    DrawLine(0, 0, 50, 0);
    EXPECT_EQ(PixelRgb(20, 0), kGrey);
    SetAlpha(0.6f);
    DrawLine(0, 0, 50, 0);
    EXPECT_EQ(PixelRgb(20, 0), Rgb(200, 100, 50));
    SetBlend(Blend::Light);
    SetAlpha(1.0f);
    DrawLine(0, 2, 50, 2);
    EXPECT_TRUE(Near(PixelRgb(20, 2), Rgb(255, 200, 150))) << PixelRgb(20, 2);
    SetBlend(Blend::Alpha);
    SetAlpha(0.5f);
    DrawLine(0, 4, 50, 4);
    EXPECT_TRUE(Near(PixelRgb(20, 4), Rgb(150, 100, 75))) << PixelRgb(20, 4);
}

class TransformTest : public OffscreenTest {};

TEST_F(TransformTest, TransformFollowsRotationAndScale) {
    SetRotation(90.0f);
    SetScale(2.0f, 3.0f);
    float ix, iy, jx, jy;
    GetTransform(ix, iy, jx, jy);
    EXPECT_NEAR(ix, 0.0f, 1e-6f);
    EXPECT_NEAR(iy, -3.0f, 1e-6f);
    EXPECT_NEAR(jx, 2.0f, 1e-6f);
    EXPECT_NEAR(jy, 0.0f, 1e-6f);
    EXPECT_NEAR(SinDeg(30.0), 0.5, 1e-12);
    EXPECT_NEAR(CosDeg(60.0), 0.5, 1e-12);
}

TEST_F(TransformTest, HandleLandsOnTheDrawPosition) {
    auto img = HalfRedHalfGreen();
    SetImageHandle(*img, 10.0f, 5.0f);
    DrawImage(*img, 300, 300);
    EXPECT_EQ(PixelRgb(290, 295), kRed);
    EXPECT_EQ(PixelRgb(299, 304), kRed);
    EXPECT_EQ(PixelRgb(300, 300), kGreen);
    EXPECT_EQ(PixelRgb(309, 304), kGreen);
    EXPECT_EQ(PixelRgb(289, 300), kBlack);
    EXPECT_EQ(PixelRgb(310, 300), kBlack);
    EXPECT_EQ(PixelRgb(300, 294), kBlack);
    EXPECT_EQ(PixelRgb(300, 305), kBlack);
}

TEST_F(TransformTest, OriginShiftsEverything) {
    auto img = HalfRedHalfGreen();
    SetOrigin(100.0f, 50.0f);
    DrawImage(*img, 0, 0);
    EXPECT_EQ(PixelRgb(100, 50), kRed);
    EXPECT_EQ(PixelRgb(119, 59), kGreen);
    EXPECT_EQ(PixelRgb(0, 0), kBlack);
}

// Under a view zoom, a filled polygon lands where a rectangle of the same corners does: its
// corners plus the origin, times the zoom (drawn bodies sit on the zoomed level).
TEST_F(TransformTest, ViewZoomPlacesPolygonsAsRectangles) {
    SetOrigin(-10.0f, -20.0f);
    SetViewZoom(2.0f);
    SetColor(255, 0, 0);
    const DrawPoint square[4] = {{30.0f, 40.0f}, {50.0f, 40.0f}, {50.0f, 60.0f}, {30.0f, 60.0f}};
    FillConvexPolygon(square, 4);
    SetColor(0, 255, 0);
    DrawRect(30.0f, 80.0f, 20.0f, 20.0f);
    SetViewZoom(1.0f);
    SetOrigin(0.0f, 0.0f);
    FlushDraws();
    // (30 - 10) * 2 = 40 to (50 - 10) * 2 = 80 across; (40 - 20) * 2 = 40 to 80 down.
    EXPECT_EQ(PixelRgb(41, 41), kRed);
    EXPECT_EQ(PixelRgb(78, 78), kRed);
    EXPECT_EQ(PixelRgb(38, 60), kBlack);
    EXPECT_EQ(PixelRgb(82, 60), kBlack);
    // The rectangle under it: (80 - 20) * 2 = 120 to 160 down, the same columns.
    EXPECT_EQ(PixelRgb(41, 121), kGreen);
    EXPECT_EQ(PixelRgb(78, 158), kGreen);
    EXPECT_EQ(PixelRgb(82, 140), kBlack);
}

TEST_F(TransformTest, PositiveRotationTurnsClockwise) {
    auto img = HalfRedHalfGreen(); // handle at its top-left corner
    SetRotation(90.0f);
    DrawImage(*img, 500, 500);
    // The image's x axis now points down the screen and its y axis to the left.
    EXPECT_EQ(PixelRgb(495, 503), kRed);
    EXPECT_EQ(PixelRgb(495, 515), kGreen);
    EXPECT_EQ(PixelRgb(505, 495), kBlack); // where a counter-clockwise turn would put it
    EXPECT_EQ(PixelRgb(515, 505), kBlack); // where no turn would put it
}

TEST_F(TransformTest, RotationTurnsAboutTheCentreHandle) {
    SetAutoCenterHandle(true);
    auto img = HalfRedHalfGreen();
    EXPECT_EQ(img->handle_x, 10.0f);
    EXPECT_EQ(img->handle_y, 5.0f);
    SetRotation(180.0f);
    DrawImage(*img, 400, 400);
    EXPECT_EQ(PixelRgb(394, 400), kGreen); // the green half swung to the left
    EXPECT_EQ(PixelRgb(405, 400), kRed);
    EXPECT_EQ(PixelRgb(400, 407), kBlack);
}

TEST_F(TransformTest, ScaleStretchesAboutTheHandle) {
    auto img = HalfRedHalfGreen();
    SetScale(2.0f, 2.0f);
    DrawImage(*img, 100, 100);
    EXPECT_EQ(PixelRgb(110, 110), kRed);
    EXPECT_EQ(PixelRgb(125, 118), kGreen);
    EXPECT_EQ(PixelRgb(138, 118), kGreen);
    EXPECT_EQ(PixelRgb(142, 110), kBlack);
    EXPECT_EQ(PixelRgb(110, 122), kBlack);
}

TEST_F(TransformTest, DrawRecordingSeesEveryImageDraw) {
    auto img = HalfRedHalfGreen();
    std::vector<DrawRecord> records;
    SetDrawRecording(&records);
    DrawImage(*img, 1.5f, 2.5f);
    DrawImage(*img, 3, 4, 0);
    SetDrawRecording(nullptr);
    DrawImage(*img, 5, 6);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].image, img.get());
    EXPECT_EQ(records[0].x, 1.5f);
    EXPECT_EQ(records[1].y, 4.0f);
}

TEST_F(TransformTest, ViewportClipsDrawing) {
    auto img = HalfRedHalfGreen();
    SetViewport(0, 0, 105, 768);
    DrawImage(*img, 100, 100);
    EXPECT_EQ(PixelRgb(104, 100), kRed);
    EXPECT_EQ(PixelRgb(105, 100), kBlack);
    SetViewport(0, 0, 1024, 768);
    DrawImage(*img, 100, 100);
    EXPECT_EQ(PixelRgb(105, 100), kRed);
}

class TextTest : public OffscreenTest {};

TEST_F(TextTest, NineCharactersCoverSeventyTwoBySixteen) {
    SetBlend(Blend::Solid); // solid: the glyph cells themselves become visible
    DrawText("123456789", 944, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 944; x <= 1015; ++x)
            ASSERT_EQ(PixelRgb(x, y), kWhite) << x << "," << y;
    for (int y = 0; y < 17; ++y) {
        EXPECT_EQ(PixelRgb(943, y), kBlack);
        EXPECT_EQ(PixelRgb(1016, y), kBlack);
    }
    for (int x = 940; x < 1024; ++x)
        EXPECT_EQ(PixelRgb(x, 16), kBlack);
}

TEST_F(TextTest, GlyphsAreTintedAndStayInTheirCells) {
    SetColor(255, 0, 0);
    DrawText("Hi", 100, 100);
    int lit = 0;
    for (int y = 90; y < 126; ++y)
        for (int x = 90; x < 126; ++x) {
            const Rgb c = PixelRgb(x, y);
            if (c == kBlack)
                continue;
            ++lit;
            EXPECT_EQ(c, kRed);
            EXPECT_TRUE(x >= 100 && x < 116 && y >= 100 && y < 116) << x << "," << y;
        }
    EXPECT_GT(lit, 20);
    // Each glyph is drawn from its own bitmap: 'H' differs from 'i'.
    int diff = 0;
    for (int y = 100; y < 116; ++y)
        for (int x = 0; x < 8; ++x)
            diff += PixelRgb(100 + x, y) != PixelRgb(108 + x, y);
    EXPECT_GT(diff, 5);
}

TEST_F(TextTest, CharactersOutsideTheFontAreSkipped) {
    SetBlend(Blend::Solid);
    DrawText("A\tB\xE9", 0, 0);
    EXPECT_EQ(PixelRgb(15, 0), kWhite);
    EXPECT_EQ(PixelRgb(16, 0), kBlack);
}

class LineTest : public OffscreenTest {
  protected:
    int LitInColumn(int x) {
        int n = 0;
        for (int y = 0; y < 768; ++y)
            n += PixelRgb(x, y) != kBlack;
        return n;
    }
};

TEST_F(LineTest, WidthFiveLineCoversAFivePixelBand) {
    SetLineWidth(5.0f);
    DrawLine(100, 200, 300, 200);
    for (int x : {100, 150, 250, 300})
        EXPECT_EQ(LitInColumn(x), 5) << x;
    for (int y = 198; y <= 202; ++y)
        EXPECT_EQ(PixelRgb(200, y), kWhite) << y;
    EXPECT_EQ(LitInColumn(99), 0);
    EXPECT_EQ(LitInColumn(301), 0);
}

TEST_F(LineTest, ThinLineIncludesBothEnds) {
    DrawLine(10, 20, 60, 20, 1);
    EXPECT_EQ(LitInColumn(10), 1);
    EXPECT_EQ(LitInColumn(60), 1);
    EXPECT_EQ(LitInColumn(61), 0);
    EXPECT_EQ(PixelRgb(35, 20), kWhite);
}

TEST_F(LineTest, LineEndGoesThroughTheTransform) {
    SetRotation(90.0f);
    DrawLine(100, 100, 140, 100); // turned to point down
    EXPECT_EQ(PixelRgb(100, 130), kWhite);
    EXPECT_EQ(PixelRgb(130, 100), kBlack);
    SetRotation(0.0f);
    SetLineWidth(3.0f);
    SetOrigin(0.0f, 300.0f);
    DrawLine(400, 0, 450, 50); // a wide diagonal
    EXPECT_EQ(PixelRgb(425, 325), kWhite);
    EXPECT_EQ(PixelRgb(440, 315), kBlack);
}
