#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "control/DebugDraw.hpp"
#include "control/SceneFixture.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPCircleShape.hpp"
#include "physics/CPPolyShape.hpp"
#include "physics/CPSegmentShape.hpp"

namespace {

constexpr std::uint32_t kOrange = 0xFF4B00FFu;
constexpr std::uint32_t kGreen = 0x00FF4BFFu;
constexpr std::uint32_t kBlue = 0x004BFFFFu;
constexpr std::uint32_t kBlack = 0x000000FFu;

// True when the pixel at (x, y) or one of its eight neighbours has the colour: line ends at
// fractional positions may land on either neighbouring pixel.
bool near(int x, int y, std::uint32_t colour) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (ReadPixel(x + dx, y + dy) == colour) {
                return true;
            }
        }
    }
    return false;
}

bool blackAround(int x, int y) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (ReadPixel(x + dx, y + dy) != kBlack) {
                return false;
            }
        }
    }
    return true;
}

class DebugDrawTest : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        // The player squid would clutter the pictures; these tests place their own shapes.
        TTentacle::ClearAll();
        TSquid::ClearAll();
        control.player.reset();
        Cls();
    }

    std::shared_ptr<CPBody> addBody(CPVect position, float angle = 0.0f) {
        auto body = CPBody::Create(1.0f, 1.0f);
        body->SetPosition(position);
        body->SetAngle(angle);
        layer->spaceMap->AddBody(body);
        keep.push_back(body);
        return body;
    }
    void addBox(CPVect position, float angle) {
        const CPVect verts[] = {Vec2(-15, -15), Vec2(-15, 15), Vec2(15, 15), Vec2(15, -15)};
        auto shape = CPPolyShape::Create(addBody(position, angle), verts, ZeroVect);
        layer->spaceMap->AddShape(shape);
        shapes.push_back(shape);
    }
    void addCircle(CPVect position, float radius, CPVect offset) {
        auto shape = CPCircleShape::Create(addBody(position), radius, offset);
        layer->spaceMap->AddShape(shape);
        shapes.push_back(shape);
    }
    void addStaticSegment(CPVect a, CPVect b) {
        if (!staticBody) {
            const float inf = std::numeric_limits<float>::infinity();
            staticBody = CPBody::Create(inf, inf);
        }
        auto shape = CPSegmentShape::Create(staticBody, a, b, 10.0f);
        layer->spaceMap->AddStaticShape(shape);
        shapes.push_back(shape);
    }

    void TearDown() override {
        for (auto& shape : shapes) {
            shape->Free();
        }
        for (auto& body : keep) {
            body->Free();
        }
        SceneTest::TearDown();
    }

    std::vector<std::shared_ptr<CPBody>> keep;
    std::vector<std::shared_ptr<CPShape>> shapes;
    std::shared_ptr<CPBody> staticBody;
};

} // namespace

TEST_F(DebugDrawTest, OutlinesAreColouredByShapeKindAndLeaveWhite) {
    addBox(Vec2(300, 300), 0.0f);
    addBox(Vec2(300, 500), 45.0f);
    addCircle(Vec2(600, 300), 15.0f, ZeroVect);
    addStaticSegment(Vec2(100, 650), Vec2(400, 650));
    control.debugMode = 1;
    control.drawControl();

    // Upright box: its left edge runs along x = 285.
    EXPECT_EQ(ReadPixel(285, 300), kOrange);
    EXPECT_EQ(ReadPixel(300, 300), kBlack);
    // Turned by 45 degrees: a diamond with corners 21.2 px from the centre; the upright box's
    // edge points lie inside it.
    EXPECT_TRUE(near(321, 500, kOrange));
    EXPECT_TRUE(near(300, 479, kOrange));
    EXPECT_TRUE(blackAround(315, 500));
    // Segment: its centre line only, the radius of 10 is not drawn.
    EXPECT_EQ(ReadPixel(250, 650), kGreen);
    EXPECT_EQ(ReadPixel(250, 656), kBlack);
    // Circle: blue, no line from the centre marks its rotation.
    EXPECT_EQ(ReadPixel(615, 300), kBlue);
    EXPECT_TRUE(blackAround(600, 300));

    int r = 0, g = 0, b = 0;
    GetColor(r, g, b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 255);
    EXPECT_EQ(b, 255);
    EXPECT_FLOAT_EQ(GetAlpha(), 1.0f);
    EXPECT_EQ(GetBlend(), Blend::Mask);
    float ox = 1, oy = 1;
    GetOrigin(ox, oy);
    EXPECT_EQ(ox, 0.0f);
    EXPECT_EQ(oy, 0.0f);
}

TEST_F(DebugDrawTest, CircleCornersLieAtThirtyDegreeStepsFromTheRightmostPoint) {
    // A ball-sized circle, with the view scrolled: world (700, 300) is screen (600, 300).
    layer->ScrollX = 100;
    addCircle(Vec2(700, 300), 15.0f, ZeroVect);
    control.debugMode = 1;
    control.drawControl();
    EXPECT_EQ(ReadPixel(615, 300), kBlue);
    for (int k = 0; k < 12; ++k) {
        const double a = 30.0 * k * 3.14159265358979 / 180.0;
        EXPECT_TRUE(near(static_cast<int>(std::lround(600 + 15 * std::cos(a))),
                         static_cast<int>(std::lround(300 + 15 * std::sin(a))), kBlue))
            << "corner " << k;
    }

    // Large enough to tell a 12-gon from a round circle: the chord between the 0 and 30 degree
    // corners passes 5 px inside the circle's own 15-degree point.
    Cls();
    SetColor(0, 75, 255);
    drawCircle(512.0, 384.0, 150.0);
    SetColor(255, 255, 255);
    for (int k = 0; k < 12; ++k) {
        const double a = 30.0 * k * 3.14159265358979 / 180.0;
        EXPECT_TRUE(near(static_cast<int>(std::lround(512 + 150 * std::cos(a))),
                         static_cast<int>(std::lround(384 + 150 * std::sin(a))), kBlue))
            << "corner " << k;
    }
    const double a15 = 15.0 * 3.14159265358979 / 180.0;
    EXPECT_TRUE(near(static_cast<int>(std::lround(512 + 150 * std::cos(a15) * std::cos(a15))),
                     static_cast<int>(std::lround(384 + 150 * std::cos(a15) * std::sin(a15))),
                     kBlue));
    EXPECT_TRUE(blackAround(static_cast<int>(std::lround(512 + 150 * std::cos(a15))),
                            static_cast<int>(std::lround(384 + 150 * std::sin(a15)))));
}

TEST_F(DebugDrawTest, OffsetCircleIsOutlinedAroundItsWorldCentre) {
    // A tentacle pivot: radius 20, offset (-20, 0), so its centre is 20 px left of the body.
    addCircle(Vec2(200, 600), 20.0f, Vec2(-20.0f, 0.0f));
    control.debugMode = 1;
    control.drawControl();
    EXPECT_EQ(ReadPixel(200, 600), kBlue);
    EXPECT_EQ(ReadPixel(160, 600), kBlue);
    EXPECT_TRUE(blackAround(220, 600));
}

TEST_F(DebugDrawTest, LevelSegmentsAreDrawnOverTheBodies) {
    addCircle(Vec2(600, 300), 15.0f, ZeroVect);
    addStaticSegment(Vec2(615, 280), Vec2(615, 320));
    control.debugMode = 1;
    control.drawControl();
    EXPECT_EQ(ReadPixel(615, 300), kGreen);
    EXPECT_EQ(ReadPixel(615, 290), kGreen);
}

TEST_F(DebugDrawTest, NothingIsDrawnWithTheViewOffAndNothingSelected) {
    addBox(Vec2(300, 300), 0.0f);
    addStaticSegment(Vec2(100, 650), Vec2(400, 650));
    layer->ScrollX = 37;
    PushMouseMove(300, 300);
    SetColor(10, 20, 30);
    SetAlpha(0.25f);
    SetBlend(Blend::Light);
    SetScale(2.0f, 3.0f);
    SetOrigin(5.0f, 6.0f);
    control.drawControl();

    int r = 0, g = 0, b = 0;
    GetColor(r, g, b);
    EXPECT_EQ(r, 10);
    EXPECT_EQ(g, 20);
    EXPECT_EQ(b, 30);
    float sx = 0, sy = 0;
    GetScale(sx, sy);
    EXPECT_EQ(sx, 2.0f);
    EXPECT_EQ(sy, 3.0f);
    EXPECT_FLOAT_EQ(GetAlpha(), 1.0f);
    EXPECT_EQ(GetBlend(), Blend::Mask);
    float ox = 1, oy = 1;
    GetOrigin(ox, oy);
    EXPECT_EQ(ox, 0.0f);
    EXPECT_EQ(oy, 0.0f);
    SetColor(255, 255, 255);
    SetScale(1.0f, 1.0f);

    int drawn = 0;
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            drawn += ReadPixel(x, y) != kBlack ? 1 : 0;
        }
    }
    EXPECT_EQ(drawn, 0);
}

TEST_F(DebugDrawTest, PreviewShowsTheSelectedKindAtThePointer) {
    struct Expected {
        const TImage* image;
        float dx;
    };
    layer->ScrollX = 1000;
    layer->ScrollY = 8;
    PushMouseMove(500, 400);
    std::vector<DrawRecord> records;
    const std::vector<std::vector<Expected>> table = {
        {{ballImage.get(), 0}},
        {{cubeImage.get(), 0}},
        {{starImage.get(), 0}},
        {{blueBallImage.get(), 0}},
        {{linkImage.get(), 0}},
        {{anchorImage.get(), -7}, {anchorImage.get(), 7}},
        {{anchorImage.get(), -7}, {linkImage.get(), 7}},
        {{anchorImage.get(), -7}, {linkImage.get(), 7}, {starImage.get(), 22}},
    };
    for (int kind = 1; kind <= 8; ++kind) {
        control.currentObject = kind;
        records.clear();
        SetDrawRecording(&records);
        control.drawControl();
        SetDrawRecording(nullptr);
        const auto& expected = table[static_cast<std::size_t>(kind - 1)];
        ASSERT_EQ(records.size(), expected.size()) << "kind " << kind;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(records[i].image, expected[i].image) << "kind " << kind;
            EXPECT_EQ(records[i].frame, 0);
            EXPECT_FLOAT_EQ(records[i].x, 1500.0f + expected[i].dx) << "kind " << kind;
            EXPECT_FLOAT_EQ(records[i].y, 408.0f) << "kind " << kind;
        }
        float sx = 0, sy = 0;
        GetScale(sx, sy);
        EXPECT_EQ(sx, 1.0f);
        EXPECT_EQ(GetBlend(), Blend::Mask);
        EXPECT_FLOAT_EQ(GetAlpha(), 1.0f);
    }

    // Half transparent: over black the preview shows at most half of the image's brightest
    // pixel, and something is drawn at the pointer.
    Cls();
    layer->ScrollX = 0;
    layer->ScrollY = 0;
    control.currentObject = 2;
    control.drawControl();
    int brightestPreview = 0;
    for (int y = 385; y < 415; ++y) {
        for (int x = 485; x < 515; ++x) {
            const std::uint32_t p = ReadPixel(x, y);
            for (int shift = 8; shift <= 24; shift += 8) {
                brightestPreview =
                    std::max(brightestPreview, static_cast<int>((p >> shift) & 0xFF));
            }
        }
    }
    EXPECT_GT(brightestPreview, 0);
    EXPECT_LE(brightestPreview, 128);

    control.currentObject = 0;
    records.clear();
    SetDrawRecording(&records);
    control.drawControl();
    SetDrawRecording(nullptr);
    EXPECT_TRUE(records.empty());
}
