#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "app/Overlay.hpp"
#include "control/SceneFixture.hpp"
#include "data/LevelData.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPSegmentShape.hpp"
#include "physics/CPSpaceHash.hpp"

namespace {

// Pixels of the rectangle (0, 0)-(w, h) of the back buffer.
std::vector<std::uint32_t> grab(int x0, int y0, int w, int h) {
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(w * h));
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            pixels.push_back(ReadPixel(x, y));
        }
    }
    return pixels;
}

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kShadow = 0x101018FFu; // (16, 16, 24), opaque
constexpr std::uint32_t kBlack = 0x000000FFu;

// The overlay's block drawn by hand from the expected texts: every line's one-pixel dark shadow
// (one pixel right and down) first, then the white lines. The lines overlap by two pixel rows,
// so a block is only comparable as a whole.
std::vector<std::uint32_t> expectedBlock(const char* shapes, const char* balls, const char* stars) {
    Cls();
    for (int pass = 0; pass < 2; ++pass) {
        const float d = pass == 0 ? 1.0f : 0.0f;
        if (pass == 0) {
            SetColor(16, 16, 24);
        } else {
            SetColor(255, 255, 255);
        }
        DrawText(" Mouse + Clics 1/2 + up/down/left/right keys", d, d);
        DrawText(std::string(" Debug Mode : D key | Dynamic Shapes:") + shapes, d, 14 + d);
        DrawText(std::string(" Ball  (key 1):") + balls, d, 28 + d);
        DrawText(" Cube  (key 2):0", d, 42 + d);
        DrawText(std::string(" Star  (key 3):") + stars, d, 56 + d);
        DrawText(" Squid (key 4):1", d, 70 + d);
        DrawText(" Chain (key 5,6,7,8):0", d, 84 + d);
    }
    return grab(0, 0, 1024, 101);
}

std::vector<std::uint32_t> overlayBlock() {
    Cls();
    DrawOverlayText();
    return grab(0, 0, 1024, 101);
}

class OverlayTest : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        saved = {shapeCount, fpsFrames, fpsValue, fpsNextTime};
        shapeCount = fpsFrames = fpsValue = 0;
        fpsNextTime = TimeMs() + 1000;
    }
    void TearDown() override {
        shapeCount = saved[0];
        fpsFrames = saved[1];
        fpsValue = saved[2];
        fpsNextTime = saved[3];
        SceneTest::TearDown();
    }
    int countNow() {
        CountActiveShapes(*layer->spaceMap);
        return shapeCount;
    }
    // One paced frame of the counter: drawFPS, then Flip(-1) advances the manual clock.
    void fpsFrame() {
        drawFPS();
        Flip(-1);
    }
    std::vector<int> saved;
};

} // namespace

TEST_F(OverlayTest, SevenLinesAtStartShowTheHelpAndTheCounts) {
    CountActiveShapes(*layer->spaceMap);
    // The player squid: its circle, 15 tentacle pivots and 14 tentacle boxes.
    EXPECT_EQ(shapeCount, 30);
    const auto overlay = overlayBlock();
    const auto below = grab(0, 101, 1024, 667);
    EXPECT_TRUE(overlay == expectedBlock("30", "0", "0"));

    // White opaque text over its dark shadow on the cleared buffer, the colour white again
    // afterwards, and nothing drawn below the block.
    int white = 0, shadow = 0;
    for (std::uint32_t p : overlay) {
        ASSERT_TRUE(p == kWhite || p == kShadow || p == kBlack);
        white += p == kWhite ? 1 : 0;
        shadow += p == kShadow ? 1 : 0;
    }
    EXPECT_GT(white, 1000);
    EXPECT_GT(shadow, white / 4);
    int r = 0, g = 0, b = 0;
    GetColor(r, g, b);
    EXPECT_EQ(r + g + b, 3 * 255);
    for (std::uint32_t p : below) {
        ASSERT_EQ(p, 0x000000FFu);
    }
}

TEST_F(OverlayTest, CountsFollowTheSpawnedBodies) {
    // Negative and multi-digit values are appended as plain decimal numbers.
    shapeCount = -12;
    EXPECT_TRUE(overlayBlock() == expectedBlock("-12", "0", "0"));

    const int start = countNow();
    PushMouseMove(500, 300);
    select(1);
    for (int i = 1; i <= 3; ++i) {
        clickLeft();
        control.updateControls();
        EXPECT_EQ(countNow(), start + i);
    }
    select(3);
    clickLeft();
    control.updateControls();
    EXPECT_EQ(countNow(), start + 3 + 6);

    // The level's segments live in the static hash and are never counted.
    const float inf = std::numeric_limits<float>::infinity();
    auto ground = CPBody::Create(inf, inf);
    auto segment = CPSegmentShape::Create(ground, Vec2(0, 700), Vec2(1000, 700), 1.0f);
    layer->spaceMap->AddStaticShape(segment);
    EXPECT_EQ(countNow(), start + 9);
    segment->Free();

    EXPECT_TRUE(overlayBlock() == expectedBlock(std::to_string(shapeCount).c_str(), "3", "1"));
}

TEST_F(OverlayTest, FrameRateIsZeroInTheFirstWindowThenSixty) {
    // The first window began at start-up: 61 frames fall into it at 60 fps from time 0
    // (the 61st is counted at exactly 1000 ms).
    for (int frame = 0; frame < 60; ++frame) {
        fpsFrame();
        EXPECT_EQ(fpsValue, 0) << "frame " << frame;
    }
    fpsFrame();
    EXPECT_EQ(fpsValue, 61);
    EXPECT_EQ(fpsNextTime, 2000);
    for (int second = 0; second < 3; ++second) {
        for (int frame = 0; frame < 60; ++frame) {
            fpsFrame();
        }
        EXPECT_EQ(fpsValue, 60);
    }

    Cls();
    drawFPS();
    const auto readout = grab(944, 0, 80, 17);
    Cls();
    SetColor(16, 16, 24);
    DrawText(" FPS : 60", 945, 1);
    SetColor(255, 255, 255);
    DrawText(" FPS : 60", 944, 0);
    EXPECT_TRUE(readout == grab(944, 0, 80, 17));
}

TEST_F(OverlayTest, AfterALongStallTheNextWindowStartsNow) {
    for (int frame = 0; frame < 61 + 60 + 10; ++frame) {
        fpsFrame();
    }
    ASSERT_EQ(fpsValue, 60);
    ASSERT_EQ(fpsFrames, 10);
    const int windowEnd = fpsNextTime;

    // A late frame within one window of the end keeps the windows one second apart.
    clock.Set(static_cast<std::uint32_t>(windowEnd + 999));
    fpsFrame();
    EXPECT_EQ(fpsValue, 11);
    EXPECT_EQ(fpsNextTime, windowEnd + 1000);

    // The process stopped for an hour: the first frame after it closes the window with the
    // count made before the stall, and the next window starts from now instead of catching
    // up one window per frame (which showed 1 for about an hour's worth of frames).
    for (int frame = 0; frame < 5; ++frame) {
        fpsFrame();
    }
    const int counted = fpsFrames;
    clock.Advance(3600 * 1000);
    const int resumed = TimeMs();
    fpsFrame();
    EXPECT_EQ(fpsValue, counted + 1);
    EXPECT_EQ(fpsNextTime, resumed + 1000);
    for (int frame = 0; frame < 59; ++frame) {
        fpsFrame();
        EXPECT_EQ(fpsValue, counted + 1) << "frame " << frame << " after the stall";
    }
}

TEST_F(OverlayTest, CounterSurvivesTheClockWrapping) {
    clock.Set(0xFFFFFF00u);
    fpsNextTime = static_cast<int>(0xFFFFFF00u + 1000u); // ends after the wrap
    drawFPS();
    EXPECT_EQ(fpsValue, 0);
    clock.Set(1000);
    drawFPS();
    EXPECT_EQ(fpsValue, 2);
}

TEST_F(OverlayTest, TheLevelsSegmentsNeverCount) {
    CreateLevelData();
    auto real = std::make_shared<TLevel>();
    real->Init(3);
    real->Load(0);
    int segments = 0;
    real->_FGLayer->spaceMap->GetStaticShapes()->ForEach(
        [](CPShape*, void* data) {
            ++*static_cast<int*>(data);
            return 0;
        },
        &segments);
    EXPECT_GT(segments, 600);
    EXPECT_EQ((CountActiveShapes(*real->_FGLayer->spaceMap), shapeCount), 0);

    control.init(real, player);
    PushMouseMove(500, 100);
    select(2);
    clickLeft();
    control.updateControls();
    real->update(3, Vec2(0.0f, 0.0f));
    CountActiveShapes(*real->_FGLayer->spaceMap);
    EXPECT_EQ(shapeCount, 1);
}
