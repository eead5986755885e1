#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "physics/CPBody.hpp"
#include "physics/CPCircleShape.hpp"
#include "physics/CPSegmentShape.hpp"
#include "physics/LibraryView.hpp"
#include "world/TLayer.hpp"
#include "world/WorldTestSupport.hpp"

namespace {

struct Seg {
    float ax, ay, bx, by;
    bool operator==(const Seg&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Seg& s) {
    return os << "(" << s.ax << "," << s.ay << ")-(" << s.bx << "," << s.by << ")";
}

class StaticMapTest : public ::testing::Test {
  protected:
    void SetUp() override { InitPhysics(); }
    void TearDown() override { SetScale(1.0f, 1.0f); }

    // A 24 x 24 layer of w x h cells with one bound value at (col, row).
    std::shared_ptr<TLayer> LayerWith(int w, int h, int col, int row, int value) {
        IntGrid bounds(static_cast<std::size_t>(h),
                       std::vector<int>(static_cast<std::size_t>(w), 0));
        GridCell(bounds, row, col) = value;
        auto layer = std::make_shared<TLayer>();
        layer->Init(SizedTileSet(24, 24), {}, w, h);
        layer->SetBoundMap(bounds);
        return layer;
    }
    // The cell segments, in the order they were added (the border's four are the last).
    static std::vector<Seg> CellSegments(const TLayer& layer) {
        std::vector<Seg> out;
        const auto all = layer.StaticSegments();
        for (std::size_t i = 0; i + 4 < all.size(); ++i) {
            const auto& s = all[i];
            out.push_back({s->GetEndPointA().x, s->GetEndPointA().y, s->GetEndPointB().x,
                           s->GetEndPointB().y});
        }
        return out;
    }
};

TEST_F(StaticMapTest, FullCellGivesItsFourEdgesInOrder) {
    auto layer = LayerWith(6, 6, 2, 3, 15);
    EXPECT_EQ(
        CellSegments(*layer),
        (std::vector<Seg>{{48, 72, 72, 72}, {48, 72, 48, 96}, {48, 96, 72, 96}, {72, 72, 72, 96}}));
    for (std::size_t i = 0; i < 4; ++i) {
        const auto s = layer->StaticSegments()[i];
        EXPECT_EQ(s->GetRadius(), 0.0f);
        EXPECT_EQ(s->GetElasticity(), 0.0f);
        EXPECT_EQ(s->GetFriction(), 1.0f);
        EXPECT_EQ(s->GetCollisionType(), 0);
        EXPECT_EQ(s->IsStatic(), 1);
        EXPECT_EQ(s->GetBody(), layer->staticBodyMap);
    }
    // Every segment made really sits in the library's static index, as a zero-thickness,
    // frictional, inelastic segment: four of the cell, four of the border.
    const std::vector<cpShape*> held = LibraryStaticShapes(*layer->spaceMap);
    ASSERT_EQ(held.size(), 8u);
    int cells = 0;
    for (cpShape* shape : held) {
        if (cpSegmentShapeGetRadius(shape) == 0.0) {
            ++cells;
            EXPECT_EQ(cpShapeGetFriction(shape), 1.0);
            EXPECT_EQ(cpShapeGetElasticity(shape), 0.0);
            EXPECT_EQ(cpShapeGetCollisionType(shape), 0u);
        }
    }
    EXPECT_EQ(cells, 4);
    EXPECT_EQ(cpSpatialIndexCount(LibrarySpace(*layer->spaceMap)->dynamicShapes), 0);
}

TEST_F(StaticMapTest, CodesAreReducedModulo256WithTheSignOfTheValue) {
    const std::vector<Seg> top{{24, 0, 48, 0}};
    const std::vector<Seg> falling{{24, 0, 48, 24}};
    const std::vector<Seg> rising{{24, 24, 48, 0}};
    EXPECT_EQ(CellSegments(*LayerWith(3, 2, 1, 0, 1)), top);
    EXPECT_EQ(CellSegments(*LayerWith(3, 2, 1, 0, 257)), top);
    EXPECT_EQ(CellSegments(*LayerWith(3, 2, 1, 0, 128)), std::vector<Seg>{});
    EXPECT_EQ(CellSegments(*LayerWith(3, 2, 1, 0, 129)), std::vector<Seg>{});
    EXPECT_EQ(CellSegments(*LayerWith(3, 2, 1, 0, -128)), rising);
    EXPECT_EQ(CellSegments(*LayerWith(3, 2, 1, 0, -127)), falling);
    EXPECT_EQ(CellSegments(*LayerWith(3, 2, 1, 0, -383)), falling);
    EXPECT_EQ(CellSegments(*LayerWith(3, 2, 1, 0, -1)), std::vector<Seg>{});
    EXPECT_EQ(CellSegments(*LayerWith(3, 2, 1, 0, 16)), std::vector<Seg>{});
    EXPECT_EQ(CellSegments(*LayerWith(3, 2, 1, 0, -2147483647 - 1)), std::vector<Seg>{});
    // The remaining bit patterns follow the bit meaning: 5 top and bottom, 10 left and right.
    EXPECT_EQ(CellSegments(*LayerWith(3, 2, 1, 0, 5)),
              (std::vector<Seg>{{24, 0, 48, 0}, {24, 24, 48, 24}}));
    EXPECT_EQ(CellSegments(*LayerWith(3, 2, 1, 0, 10)),
              (std::vector<Seg>{{24, 0, 24, 24}, {48, 0, 48, 24}}));
    EXPECT_EQ(CellSegments(*LayerWith(3, 2, 1, 1, 6)),
              (std::vector<Seg>{{24, 24, 24, 48}, {24, 48, 48, 48}}));
}

TEST_F(StaticMapTest, GetBoundReturnsTheStoredValue) {
    auto layer = LayerWith(3, 2, 1, 0, 257);
    EXPECT_EQ(layer->GetBound(1, 0), 257);
    EXPECT_EQ(layer->GetBound(0, 0), 0);
    EXPECT_EQ(layer->GetBound(4, 0), 0);
    layer->HorzRepPat = 1;
    EXPECT_EQ(layer->GetBound(4, 0), 257);

    TLayer noBounds; // before SetBoundMap every cell is open
    noBounds.Init(SizedTileSet(24, 24), {{1, 2}}, 2, 1);
    EXPECT_EQ(noBounds.GetBound(1, 0), 0);
}

TEST_F(StaticMapTest, BorderClosesTheUnscaledMapEvenWhenEmpty) {
    TLayer layer;
    layer.Init(SizedTileSet(24, 24), {}, 84, 32);
    layer.SetBoundMap({{0, 0}, {0}}); // short rows and missing rows are open cells
    ASSERT_EQ(layer.StaticSegments().size(), 4u);
    EXPECT_EQ(layer.BoundMap.size(), 32u);
    EXPECT_EQ(layer.BoundMap[31].size(), 84u);
    const std::vector<Seg> want{
        {0, 0, 2016, 0}, {2016, 0, 2016, 768}, {2016, 768, 0, 768}, {0, 768, 0, 0}};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto s = layer.StaticSegments()[i];
        EXPECT_EQ((Seg{s->GetEndPointA().x, s->GetEndPointA().y, s->GetEndPointB().x,
                       s->GetEndPointB().y}),
                  want[i]);
        EXPECT_EQ(s->GetRadius(), 10.0f);
        EXPECT_EQ(s->GetCollisionType(), TLayer::kBorderCollisionType);
        EXPECT_EQ(s->GetElasticity(), 0.0f);
        EXPECT_EQ(s->GetFriction(), 1.0f);
        EXPECT_EQ(s->IsStatic(), 1);
    }
    // What the library holds: four thick border segments that only some kinds meet.
    const std::vector<cpShape*> held = LibraryStaticShapes(*layer.spaceMap);
    ASSERT_EQ(held.size(), 4u);
    for (cpShape* shape : held) {
        EXPECT_EQ(cpSegmentShapeGetRadius(shape), 10.0);
        EXPECT_EQ(cpShapeGetCollisionType(shape), cpCollisionType{TLayer::kBorderCollisionType});
        EXPECT_EQ(cpShapeGetElasticity(shape), 0.0);
        EXPECT_EQ(cpShapeGetFriction(shape), 1.0);
    }
}

TEST_F(StaticMapTest, CellsFollowTheScaleButTheBorderDoesNot) {
    SetScale(2.0f, 0.5f);
    auto layer = LayerWith(4, 4, 1, 2, 1);
    EXPECT_EQ(CellSegments(*layer), (std::vector<Seg>{{48, 24, 96, 24}}));
    const auto right = layer->StaticSegments()[2]; // the border's right side
    EXPECT_EQ(right->GetEndPointA().x, 96.0f);
    EXPECT_EQ(right->GetEndPointB().y, 96.0f);
    // An edit makes its segments on the grid the map was built with, whatever the scale now.
    SetScale(1.0f, 1.0f);
    EXPECT_TRUE(layer->SetCell(1, 2, 3, 2));
    EXPECT_EQ(CellSegments(*layer), (std::vector<Seg>{{48, 24, 48, 36}}));
}

// One static segment as the library holds it: end points, radius, friction, elasticity,
// collision type, and whether it hangs on the layer's static body.
struct HeldSegment {
    double ax, ay, bx, by, radius, friction, elasticity;
    cpCollisionType type;
    bool onLayerBody;
    auto operator<=>(const HeldSegment&) const = default;
};

std::vector<HeldSegment> HeldSegments(const TLayer& layer) {
    std::vector<HeldSegment> out;
    const auto* body = static_cast<const cpBody*>(layer.staticBodyMap->GetHandle());
    for (cpShape* s : LibraryStaticShapes(*layer.spaceMap)) {
        const cpVect a = cpSegmentShapeGetA(s);
        const cpVect b = cpSegmentShapeGetB(s);
        out.push_back({a.x, a.y, b.x, b.y, cpSegmentShapeGetRadius(s), cpShapeGetFriction(s),
                       cpShapeGetElasticity(s), cpShapeGetCollisionType(s),
                       cpShapeGetBody(s) == body});
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Random edits of level 0's foreground, every kind of bound value among them (diagonals, values
// beyond 255, open codes, cells off the map): after each round the library holds exactly the
// static segments a level built afresh from the edited maps holds.
TEST_F(StaticMapTest, EditedCellsLeaveTheLibraryWithTheSegmentsOfTheEditedMap) {
    CreateLevelData();
    TLayer edited;
    edited.Init(SizedTileSet(24, 24), FGMapData, 84, 32);
    edited.SetBoundMap(FGBoundMap);
    const int values[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 15, 257, 128, -127, -128, -383};
    std::mt19937 random(20);
    for (int round = 0; round < 8; ++round) {
        for (int i = 0; i < 200; ++i) {
            const int column = static_cast<int>(random() % 90) - 3;
            const int row = static_cast<int>(random() % 36) - 2;
            const int bound = values[random() % std::size(values)];
            const int tile = static_cast<int>(random() % 20);
            const bool inside = column >= 0 && column < 84 && row >= 0 && row < 32;
            const bool same = inside && GridCell(edited.MapData, row, column) == tile &&
                              GridCell(edited.BoundMap, row, column) == bound;
            EXPECT_EQ(edited.SetCell(column, row, tile, bound), inside && !same);
        }
        TLayer fresh;
        fresh.Init(SizedTileSet(24, 24), edited.MapData, 84, 32);
        fresh.SetBoundMap(edited.BoundMap);
        ASSERT_EQ(HeldSegments(edited), HeldSegments(fresh)) << "round " << round;
        EXPECT_EQ(edited.spaceMap->CountStaticShapes(), fresh.spaceMap->CountStaticShapes());
    }
    // A new tile over the same bound value keeps the cell's segments as they are.
    const auto before = edited.CellSegments[5];
    const int bound = edited.BoundMap[0][5];
    EXPECT_TRUE(edited.SetCell(5, 0, edited.MapData[0][5] + 1, bound));
    EXPECT_EQ(edited.CellSegments[5], before);
}

// Ground taken away under a resting ball lets it fall in the very next step (a wall made in a
// ball's way stopping it: the golden frame edit_wall).
TEST_F(StaticMapTest, ABodyOnGroundTakenAwayFallsInTheNextStep) {
    TLayer layer;
    layer.Init(SizedTileSet(24, 24), {}, 10, 10);
    IntGrid bounds(10, std::vector<int>(10, 0));
    bounds[5][2] = 15;
    layer.SetBoundMap(bounds);
    layer.spaceMap->SetGravity(Vec2(0.0f, 600.0f));
    auto ball = CPBody::Create(1.0f, 100.0f);
    ball->SetPosition(Vec2(60.0f, 110.0f)); // resting on the cell's top at y = 120
    layer.spaceMap->AddBody(ball);
    auto circle = CPCircleShape::Create(ball, 10.0f, ZeroVect);
    circle->SetFriction(1.0f);
    layer.spaceMap->AddShape(circle);
    for (int i = 0; i < 120; ++i) {
        layer.spaceMap->DoStep(1.0f / 180.0f);
    }
    const float rest = ball->GetPosition().y;
    EXPECT_NEAR(rest, 110.0f, 0.5f);
    layer.SetCell(2, 5, 0, 0);
    layer.spaceMap->DoStep(1.0f / 180.0f);
    EXPECT_GT(ball->GetVelocity().y, 3.0f); // a whole step of gravity: nothing holds it
    layer.spaceMap->DoStep(1.0f / 180.0f);  // positions move with the velocity of the step before
    EXPECT_GT(ball->GetPosition().y, rest);
}

} // namespace
