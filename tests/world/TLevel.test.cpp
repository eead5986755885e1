#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "physics/CPBody.hpp"
#include "physics/CPCircleShape.hpp"
#include "physics/LibraryView.hpp"
#include "world/TLevel.hpp"
#include "world/WorldTestSupport.hpp"

namespace {

TEST(LevelTest, InitSplitsOneFrameIntoSubSteps) {
    TLevel level;
    level.Init(3);
    EXPECT_EQ(level._steps, 3);
    EXPECT_EQ(level._dt, 0.0055555557f);
    level.Init(1);
    EXPECT_EQ(level._dt, 0.016666668f);
    level.Init(0); // no sub-steps: no duration instead of infinity
    EXPECT_EQ(level._dt, 0.0f);
}

TEST(LevelTest, WithoutLayersUpdateAndDrawDoNothing) {
    TLevel fresh;
    EXPECT_EQ(fresh._FGLayer, nullptr);
    fresh.update(3, Vec2(100.0f, 100.0f));
    fresh.Draw();

    TLevel other;
    other.Init(3);
    other.Load(4); // only level 0 has content
    EXPECT_EQ(other._lvl, 4);
    EXPECT_EQ(other._BGLayer, nullptr);
    EXPECT_EQ(other._FGLayer, nullptr);
    EXPECT_EQ(other._FGTileSet, nullptr);
    other.update(3, Vec2(-5.0f, 5.0f));
    other.Draw();
}

class LevelTest0 : public OffscreenWorldTest {
  protected:
    void SetUp() override {
        OffscreenWorldTest::SetUp();
        level.Init(3);
        level.Load(0);
        ASSERT_NE(level._FGLayer, nullptr);
        ASSERT_NE(level._BGLayer, nullptr);
    }

    // A circle of the given collision type at p in the foreground space.
    std::shared_ptr<CPBody> DropBall(CPVect p, int collisionType, float radius = 8.0f) {
        auto body = CPBody::Create(1.0f, MomentForCircle(1.0f, 0.0f, radius, ZeroVect));
        body->SetPosition(p);
        auto shape = CPCircleShape::Create(body, radius, ZeroVect);
        shape->SetCollisionType(collisionType);
        shape->SetFriction(0.5f);
        level._FGLayer->spaceMap->AddBody(body);
        level._FGLayer->spaceMap->AddShape(shape);
        return body;
    }
    // A foreground column whose bound map is open from top to bottom, clear of the side borders.
    int OpenColumn() const {
        for (int c = 82; c >= 1; --c) {
            bool open = true;
            for (int r = 0; r < 32; ++r) {
                open = open && GridCell(FGBoundMap, r, c) == 0;
            }
            if (open) {
                return c;
            }
        }
        return -1;
    }

    TLevel level;
};

TEST_F(LevelTest0, LoadBuildsBothLayersAndTheSpace) {
    EXPECT_EQ(level._lvl, 0);
    EXPECT_EQ(level._BGTileSet->Identifier, "BACK1");
    EXPECT_EQ(level._FGTileSet->Identifier, "L1");
    EXPECT_EQ(level._BGLayer->TileSet, level._BGTileSet);
    EXPECT_EQ(level._FGLayer->TileSet, level._FGTileSet);
    EXPECT_NE(level._BGTileSet->TileSetImage, nullptr);
    EXPECT_NE(level._FGTileSet->TileSetImage, nullptr);
    EXPECT_EQ(level._BGLayer->MapW, 18);
    EXPECT_EQ(level._BGLayer->MapH, 19);
    EXPECT_EQ(level._BGLayer->ShiftY, 20);
    EXPECT_EQ(level._BGLayer->HorzRepPat, 1);
    EXPECT_EQ(level._BGLayer->VertRepPat, 2);
    EXPECT_EQ(level._FGLayer->HorzRepPat, 0);
    EXPECT_EQ(level._FGLayer->maxLevelW, 2016);
    EXPECT_EQ(level._FGLayer->maxLevelH, 768);
    EXPECT_EQ(level._maxScrollW, 992);
    EXPECT_EQ(level._maxScrollH, 0);

    EXPECT_EQ(CountShapes(*level._FGLayer->spaceMap->GetStaticShapes()), 611);
    EXPECT_EQ(CountShapes(*level._BGLayer->spaceMap->GetStaticShapes()), 4);
    const CPVect g = level._FGLayer->spaceMap->GetGravity();
    EXPECT_EQ(g.x, 0.0f);
    EXPECT_EQ(g.y, 600.0f);
    EXPECT_EQ(level._BGLayer->spaceMap->GetGravity().y, 0.0f);
}

// Read back from the physics library, not from the wrapper's copies: a wrapper call that stores
// a value but never hands it on would pass every test that asks the wrapper.
TEST_F(LevelTest0, TheLibrarysSpaceHasTheLevelsSetUp) {
    cpSpace* space = LibrarySpace(*level._FGLayer->spaceMap);
    EXPECT_EQ(cpSpaceGetIterations(space), 10);
    EXPECT_EQ(cpSpaceGetDamping(space), 1.0);
    EXPECT_EQ(cpSpaceGetGravity(space).x, 0.0);
    EXPECT_EQ(cpSpaceGetGravity(space).y, 600.0);
    EXPECT_TRUE(IsSpatialHash(space->staticShapes));
    EXPECT_TRUE(IsSpatialHash(space->dynamicShapes));

    int cells = 0;
    int borders = 0;
    for (cpShape* shape : LibraryStaticShapes(*level._FGLayer->spaceMap)) {
        EXPECT_EQ(cpShapeGetFriction(shape), 1.0);
        EXPECT_EQ(cpShapeGetElasticity(shape), 0.0);
        if (cpSegmentShapeGetRadius(shape) == 0.0) {
            ++cells;
            EXPECT_EQ(cpShapeGetCollisionType(shape), 0u);
        } else {
            ++borders;
            EXPECT_EQ(cpSegmentShapeGetRadius(shape), 10.0);
            EXPECT_EQ(cpShapeGetCollisionType(shape),
                      cpCollisionType{TLayer::kBorderCollisionType});
        }
    }
    EXPECT_EQ(cells, 607);
    EXPECT_EQ(borders, 4);
}

TEST_F(LevelTest0, UpdateLimitsTheScrollAndSetsTheParallax) {
    struct Case {
        float tx, ty;
        int fx, fy, bx, by;
    };
    for (const Case& c : {Case{-50.0f, 10.0f, 0, 0, 0, 0}, Case{1500.7f, 0.0f, 992, 0, 330, 0},
                          Case{400.9f, 0.0f, 400, 0, 133, 0}, Case{-0.9f, 300.0f, 0, 0, 0, 0},
                          Case{991.9f, -7.0f, 991, 0, 330, 0}}) {
        level.update(3, Vec2(c.tx, c.ty));
        EXPECT_EQ(level._FGLayer->ScrollX, c.fx) << c.tx;
        EXPECT_EQ(level._FGLayer->ScrollY, c.fy) << c.ty;
        EXPECT_EQ(level._BGLayer->ScrollX, c.bx) << c.tx;
        EXPECT_EQ(level._BGLayer->ScrollY, c.by) << c.ty;
    }

    // With room to scroll vertically the background takes a third of the negated scroll.
    level._maxScrollH = 300;
    level.update(3, Vec2(0.0f, 91.5f));
    EXPECT_EQ(level._FGLayer->ScrollY, 91);
    EXPECT_EQ(level._BGLayer->ScrollY, -30);
    // A map narrower than the screen (negative limit) still scrolls to 0: the lower limit wins.
    level._maxScrollW = -10;
    level.update(3, Vec2(50.0f, 0.0f));
    EXPECT_EQ(level._FGLayer->ScrollX, 0);
    // Targets far outside the int range saturate instead of overflowing.
    level._maxScrollW = 992;
    level.update(3, Vec2(1.0e12f, -1.0e12f));
    EXPECT_EQ(level._FGLayer->ScrollX, 992);
    EXPECT_EQ(level._FGLayer->ScrollY, 0);
}

TEST(LevelCameraTest, ZoomStepsAreQuarterOctavesFromAQuarterToFour) {
    struct Case {
        int step;
        float zoom;
    };
    for (const Case& c : {Case{-8, 0.25f}, Case{-4, 0.5f}, Case{0, 1.0f}, Case{4, 2.0f},
                          Case{8, 4.0f}, Case{1, 1.1892071f}, Case{-9, 0.25f}, Case{40, 4.0f}}) {
        EXPECT_FLOAT_EQ(TLevel::ZoomOfStep(c.step), c.zoom) << c.step;
    }
    EXPECT_EQ(TLevel::ZoomOfStep(0), 1.0f); // exactly: zoom 1 draws the picture as it always was
}

// Zooming keeps the world point under the pointer under it (to a world pixel, the scroll being
// whole pixels), and frees the view from following.
TEST_F(LevelTest0, ZoomAtKeepsThePointUnderThePointer) {
    struct Case {
        int steps;
        double x, y;
    };
    level.update(3, Vec2(500.0f, 0.0f));
    for (const Case& c : {Case{4, 512.0, 384.0}, Case{3, 100.0, 700.0}, Case{-2, 900.0, 50.0},
                          Case{-1, 512.0, 384.0}, Case{-3, 300.0, 700.0}, Case{2, 5.0, 700.0}}) {
        SCOPED_TRACE(c.steps);
        const CPVect before = level._FGLayer->WorldAt(c.x, c.y);
        level.ZoomAt(c.steps, c.x, c.y);
        const CPVect after = level._FGLayer->WorldAt(c.x, c.y);
        EXPECT_NEAR(after.x, before.x, 1.0);
        EXPECT_NEAR(after.y, before.y, 1.0);
        EXPECT_FALSE(level.Following());
        // A target no longer moves the view.
        const int x = level._FGLayer->ScrollX;
        level.update(3, Vec2(50.0f, 0.0f));
        EXPECT_EQ(level._FGLayer->ScrollX, x);
    }
    EXPECT_EQ(level.ZoomStep(), 3);
    level.ZoomAt(-20, 0.0, 0.0);
    EXPECT_EQ(level.ZoomStep(), TLevel::kMinZoomStep);
    EXPECT_EQ(level._FGLayer->Zoom, 0.25f);
}

// Zoomed out, the whole level is in view and centred; following again at zoom 2 centres the
// view where the zoom-1 view of the same target is centred.
TEST_F(LevelTest0, ZoomedOutTheWholeLevelIsInViewAndFollowingCentres) {
    const TLayer& fg = *level._FGLayer;
    for (int step : {-4, -6, -8}) {
        level.SetCamera(step, 900, 100, true);
        level.update(3, Vec2(700.0f, 0.0f));
        const CPVect a = fg.WorldAt(0.0, 0.0);
        const CPVect b = fg.WorldAt(1024.0, 768.0);
        EXPECT_LE(a.x, 0.0f) << step;
        EXPECT_LE(a.y, 0.0f) << step;
        EXPECT_GE(b.x, 2016.0f) << step;
        EXPECT_GE(b.y, 768.0f) << step;
        EXPECT_NEAR(a.x + b.x, 2016.0f, 2.0f) << step;
    }
    level.SetCamera(4, 0, 0, true);
    level.update(3, Vec2(400.0f, 0.0f));
    // The zoom-1 view from 400 has its centre at 912; at zoom 2 the view is 512 wide.
    EXPECT_EQ(fg.ScrollX, 912 - 256);
    EXPECT_EQ(fg.ScrollY, 192);
    // Panned past the level's end, the view stops at it.
    level.PanTo(5000, -50);
    EXPECT_FALSE(level.Following());
    EXPECT_EQ(fg.ScrollX, 2016 - 512);
    EXPECT_EQ(fg.ScrollY, 0);
    level.FollowAgain();
    level.update(3, Vec2(400.0f, 0.0f));
    EXPECT_EQ(fg.ScrollX, 912 - 256);
}

// The background's parallax: a third of the scroll at zoom 1 as always; zoomed, its own zoom
// is damped (the cube root) and its centre moves a third as far as the foreground's.
TEST_F(LevelTest0, TheBackgroundZoomsLessAndScrollsAThird) {
    const TLayer& bg = *level._BGLayer;
    level.SetCamera(0, 0, 0, true);
    level.update(3, Vec2(600.0f, 0.0f));
    EXPECT_EQ(bg.Zoom, 1.0f);
    EXPECT_EQ(bg.ScrollX, 200);
    level.SetCamera(-4, 0, 0, false);
    EXPECT_FLOAT_EQ(bg.Zoom, std::cbrt(0.5f));
    // Zoom 1/2 shows the whole level: its centre (1008, 384) is the view's.
    const double zb = static_cast<double>(bg.Zoom);
    const double centreX = (1008.0 - 512.0) / 3.0 + 512.0;
    EXPECT_NEAR(bg.ScrollX, centreX - 512.0 / zb, 1.0);
    EXPECT_NEAR(bg.ScrollY, 384.0 - 384.0 / zb, 1.0);
}

TEST_F(LevelTest0, UpdateStepsTheInitCountWhateverItIsGiven) {
    const int col = 5;
    ASSERT_EQ(FGBoundMap[1][col], 0);
    auto body = DropBall(Vec2(col * 24.0f + 12.0f, 36.0f), 0);
    level.update(1, Vec2(0.0f, 0.0f));
    // Three free-fall steps of 1/180 s under 600 px/s^2 give 10 px/s.
    EXPECT_NEAR(body->GetVelocity().y, 600.0f * 3.0f * level._dt, 1e-3f);
    level.update(7, Vec2(0.0f, 0.0f));
    EXPECT_NEAR(body->GetVelocity().y, 600.0f * 6.0f * level._dt, 1e-3f);
    EXPECT_EQ(level._BGLayer->spaceMap->CountBodies(), 0);
}

TEST_F(LevelTest0, ABallDroppedOnTheGroundComesToRestOnIt) {
    // The first column from the left, clear of the side border, whose topmost bound has a
    // solid top edge.
    int col = -1;
    int row = -1;
    for (int c = 2; c < 84 && col < 0; ++c) {
        for (int r = 0; r < 32; ++r) {
            const int code = GridCell(FGBoundMap, r, c);
            if (code != 0) {
                if (code % 256 > 0 && (code % 256) & 1) {
                    col = c;
                    row = r;
                }
                break;
            }
        }
    }
    ASSERT_GE(col, 0);
    const float groundY = static_cast<float>(row) * 24.0f;
    auto body = DropBall(Vec2(static_cast<float>(col) * 24.0f + 12.0f, groundY - 60.0f), 0);
    for (int frame = 0; frame < 240; ++frame) {
        level.update(3, Vec2(0.0f, 0.0f));
    }
    EXPECT_NEAR(body->GetPosition().y, groundY - 8.0f, 1.0f);
    EXPECT_NEAR(body->GetPosition().x, static_cast<float>(col) * 24.0f + 12.0f, 2.0f);
    EXPECT_LT(std::fabs(body->GetVelocity().y), 1.0f);
}

TEST_F(LevelTest0, BorderStopsSomeKindsAndLetsTheOthersThrough) {
    const int col = OpenColumn();
    ASSERT_GE(col, 0) << "the foreground needs an open column for this test";
    const float x = static_cast<float>(col) * 24.0f + 12.0f;
    ASSERT_LT(x, 2016.0f - 30.0f);
    // Both start above the top border; type 1 ignores the border, type 5 lands on it.
    auto passing = DropBall(Vec2(x, -60.0f), 1);
    auto stopped = DropBall(Vec2(x, -200.0f), 5); // above the other: the two never meet
    for (int frame = 0; frame < 120; ++frame) {
        level.update(3, Vec2(0.0f, 0.0f));
    }
    EXPECT_GT(passing->GetPosition().y, 768.0f) << "fell through the top and bottom border";
    EXPECT_NEAR(stopped->GetPosition().y, -18.0f, 1.5f) << "rests on the thick top border";
}

TEST_F(LevelTest0, DrawDrawsBackgroundThenForegroundAndAdvancesBothClocks) {
    std::vector<DrawRecord> records;
    SetDrawRecording(&records);
    level.update(3, Vec2(0.0f, 0.0f));
    level.Draw();
    SetDrawRecording(nullptr);
    ASSERT_FALSE(records.empty());
    const TImage* bg = level._BGTileSet->TileSetImage.get();
    const TImage* fg = level._FGTileSet->TileSetImage.get();
    EXPECT_EQ(records.front().image, bg);
    EXPECT_EQ(records.back().image, fg);
    std::size_t firstFg = 0;
    while (firstFg < records.size() && records[firstFg].image == bg) {
        ++firstFg;
    }
    for (std::size_t i = firstFg; i < records.size(); ++i) {
        ASSERT_EQ(records[i].image, fg);
    }
    // The background fills the screen: 26 columns of 40 px, rows from y = -20 down past 768.
    EXPECT_EQ(firstFg, 26u * 33u);
    EXPECT_FLOAT_EQ(records.front().y, -20.0f + 12.0f);
    EXPECT_EQ(level._BGLayer->TimeCounter, 1);
    EXPECT_EQ(level._FGLayer->TimeCounter, 1);
}

} // namespace
