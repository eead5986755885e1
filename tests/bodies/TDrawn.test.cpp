#include "bodies/TDrawn.hpp"

#include <cmath>
#include <numbers>
#include <vector>

#include "BodyTestSupport.hpp"
#include "physics/CPSegmentShape.hpp"
#include "physics/CPShape.hpp"

namespace {

using Outline = std::vector<CPVect>;

// A w x h box centred on c, as a user draws it.
Outline Box(CPVect c, float w, float h) {
    return {c.Add(Vec2(-w / 2, -h / 2)), c.Add(Vec2(w / 2, -h / 2)), c.Add(Vec2(w / 2, h / 2)),
            c.Add(Vec2(-w / 2, h / 2))};
}

class DrawnTest : public BodiesTest {
  protected:
    // A level floor at y = 400 across the test layer.
    void AddFloor() {
        floorBody = CPBody::Create(INFINITY, INFINITY);
        floor = CPSegmentShape::Create(floorBody, Vec2(0.0f, 400.0f), Vec2(2000.0f, 400.0f), 0.0f);
        floor->SetFriction(1.0f);
        layer->spaceMap->AddStaticShape(floor);
    }
    TDrawn* MakeBox(CPVect c, float w, float h, Material m, bool fixed) {
        OutlineFault fault = OutlineFault::TooSmall;
        TDrawn* drawn = TDrawn::CreatePolygon(layer, Box(c, w, h), m, fixed, fault);
        EXPECT_EQ(fault, OutlineFault::None);
        return drawn;
    }
    void TearDown() override {
        ClearAllBodies();
        if (floor) {
            floor->Free();
        }
        BodiesTest::TearDown();
    }
    std::shared_ptr<CPBody> floorBody;
    std::shared_ptr<CPSegmentShape> floor;
};

TEST_F(DrawnTest, MassAndMomentFollowAreaAndMaterial) {
    for (int i = 0; i < kMaterialCount; ++i) {
        const auto m = static_cast<Material>(i);
        const MaterialRow& row = MaterialInfo(m);
        SCOPED_TRACE(row.name);
        TDrawn* box = MakeBox(Vec2(300, 200), 40, 20, m, false);
        ASSERT_NE(box, nullptr);
        const float mass = 800.0f * row.density;
        EXPECT_NEAR(box->Body()->GetMass(), mass, mass * 1e-5f);
        EXPECT_NEAR(box->Body()->GetMoment(), mass * (1600.0f + 400.0f) / 12.0f, mass * 1e-3f);
        ASSERT_EQ(box->_shapes.size(), 1u);
        EXPECT_FLOAT_EQ(box->_shapes[0]->GetFriction(), row.friction);
        EXPECT_FLOAT_EQ(box->_shapes[0]->GetElasticity(), row.elasticity);
        EXPECT_EQ(box->_shapes[0]->GetCollisionType(), 1);
        EXPECT_EQ(box->material(), m);

        TDrawn* ball = nullptr;
        OutlineFault fault = OutlineFault::TooSmall;
        ball = TDrawn::CreateCircle(layer, Vec2(500, 200), 10.0f, m, false, fault);
        ASSERT_NE(ball, nullptr);
        const float ballMass = 100.0f * std::numbers::pi_v<float> * row.density;
        EXPECT_NEAR(ball->Body()->GetMass(), ballMass, ballMass * 1e-5f);
        EXPECT_NEAR(ball->Body()->GetMoment(), ballMass * 50.0f, ballMass * 1e-3f);
        EXPECT_TRUE(ball->IsCircle());
        EXPECT_TRUE(ball->Pieces().empty());
    }
    // Materials read apart and come round in number order.
    EXPECT_EQ(NextMaterial(Material::Stone), Material::Wood);
    EXPECT_EQ(NextMaterial(Material::Wood), Material::Metal);
    EXPECT_GT(MaterialInfo(Material::Metal).density, MaterialInfo(Material::Wood).density);
    EXPECT_GT(MaterialInfo(Material::Rubber).elasticity, 0.5f);
    EXPECT_LT(MaterialInfo(Material::Ice).friction, 0.1f);
    Material named = Material::Wood;
    EXPECT_TRUE(MaterialFromName("ice", named));
    EXPECT_EQ(named, Material::Ice);
    EXPECT_FALSE(MaterialFromName("cheese", named));
}

TEST_F(DrawnTest, SetMaterialChangesMassInPlaceAndKeepsTheSpeed) {
    TDrawn* box = MakeBox(Vec2(300, 200), 40, 20, Material::Wood, false);
    box->Body()->SetVelocity(Vec2(30, -10));
    box->setMaterial(Material::Metal);
    EXPECT_NEAR(box->Body()->GetMass(), 800.0f * MaterialInfo(Material::Metal).density, 1e-4f);
    EXPECT_FLOAT_EQ(box->_shapes[0]->GetFriction(), MaterialInfo(Material::Metal).friction);
    EXPECT_FLOAT_EQ(box->Body()->GetVelocity().x, 30.0f);
    EXPECT_EQ(box->material(), Material::Metal);
}

TEST_F(DrawnTest, AConcaveOutlineIsOneBodyAtItsCentroidWithAShapePerPiece) {
    const Outline l{Vec2(100, 100), Vec2(160, 100), Vec2(160, 120),
                    Vec2(120, 120), Vec2(120, 180), Vec2(100, 180)};
    OutlineFault fault = OutlineFault::TooSmall;
    TDrawn* drawn = TDrawn::CreatePolygon(layer, l, Material::Stone, false, fault);
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(TDrawn::Count(), 1);
    ASSERT_EQ(drawn->Pieces().size(), 2u);
    EXPECT_EQ(drawn->_shapes.size(), 2u);
    // Centroid of the 60x20 bar (1200 at (130,110)) and the 20x60 post (1200 at (110,150)).
    ExpectVec(drawn->Body()->GetPosition(), Vec2(120, 130));
    EXPECT_NEAR(drawn->Area(), 2400.0, 1e-3);
    EXPECT_EQ(static_cast<TObject*>(drawn->Body()->GetData()), static_cast<TObject*>(drawn));
    // The pieces are about the centre: their corners put back are the outline's.
    for (const auto& piece : drawn->Pieces()) {
        for (const CPVect& v : piece) {
            const CPVect w = v.Add(Vec2(120, 130));
            EXPECT_NE(std::find(l.begin(), l.end(), w), l.end());
        }
    }
}

TEST_F(DrawnTest, ARefusedOutlineMakesNothing) {
    const int shapes = layer->spaceMap->CountActiveShapes();
    OutlineFault fault = OutlineFault::None;
    const Outline bowtie{Vec2(0, 0), Vec2(40, 40), Vec2(40, 0), Vec2(0, 40)};
    EXPECT_EQ(TDrawn::CreatePolygon(layer, bowtie, Material::Wood, false, fault), nullptr);
    EXPECT_EQ(fault, OutlineFault::CrossesItself);
    EXPECT_EQ(TDrawn::CreateCircle(layer, Vec2(10, 10), 1.5f, Material::Wood, false, fault),
              nullptr);
    EXPECT_EQ(fault, OutlineFault::TooThin);
    EXPECT_EQ(TDrawn::CreateCircle(layer, Vec2(NAN, 10), 10.0f, Material::Wood, false, fault),
              nullptr);
    EXPECT_EQ(fault, OutlineFault::NotFinite);
    const std::vector<std::vector<CPVect>> concave{
        {Vec2(0, 0), Vec2(40, 0), Vec2(20, 10), Vec2(20, 40)}};
    EXPECT_EQ(TDrawn::CreatePieces(layer, concave, Vec2(100, 100), Material::Wood, false, fault),
              nullptr);
    EXPECT_EQ(fault, OutlineFault::CrossesItself);
    EXPECT_EQ(TDrawn::Count(), 0);
    EXPECT_EQ(layer->spaceMap->CountActiveShapes(), shapes);
}

TEST_F(DrawnTest, AFixedBodyHoldsStillWhileABallLandsOnIt) {
    AddFloor();
    TDrawn* shelf = MakeBox(Vec2(300, 300), 100, 20, Material::Wood, true);
    auto ball = SpawnBall(layer, Vec2(300, 200));
    Frame(150);
    EXPECT_EQ(shelf->Body()->GetPosition(), Vec2(300, 300));
    EXPECT_EQ(shelf->Body()->GetAngle(), 0.0f);
    // The ball (radius 15) rests on the shelf's top at y = 290.
    EXPECT_NEAR(ball->_body->GetPosition().y, 275.0f, 1.0f);
    EXPECT_TRUE(shelf->fixed());
}

TEST_F(DrawnTest, AFreeBodyFallsAndRestsOnTheLevel) {
    AddFloor();
    TDrawn* box = MakeBox(Vec2(300, 200), 60, 30, Material::Stone, false);
    OutlineFault fault = OutlineFault::None;
    TDrawn* wheel =
        TDrawn::CreateCircle(layer, Vec2(600, 200), 20.0f, Material::Rubber, false, fault);
    Frame(240);
    EXPECT_NEAR(box->Body()->GetPosition().y, 385.0f, 1.0f);
    EXPECT_NEAR(box->Body()->GetPosition().x, 300.0f, 0.5f);
    EXPECT_LT(box->Body()->GetVelocity().Length(), 1.0f);
    EXPECT_NEAR(wheel->Body()->GetPosition().y, 380.0f, 1.0f);
}

TEST_F(DrawnTest, FixingAndFreeingInPlace) {
    AddFloor();
    TDrawn* box = MakeBox(Vec2(300, 200), 40, 20, Material::Metal, false);
    Frame(10);
    ASSERT_GT(box->Body()->GetVelocity().y, 0.0f);
    box->setFixed(true);
    const CPVect held = box->Body()->GetPosition();
    EXPECT_EQ(box->Body()->GetVelocity(), ZeroVect);
    EXPECT_TRUE(box->Body()->IsStaticBody());
    Frame(30);
    EXPECT_EQ(box->Body()->GetPosition(), held);
    // Something landing on it meets it where it holds.
    auto ball = SpawnBall(layer, held.Add(Vec2(0, -60)));
    Frame(60);
    EXPECT_NEAR(ball->_body->GetPosition().y, held.y - 25.0f, 1.0f);
    box->setFixed(false);
    EXPECT_FALSE(box->Body()->IsStaticBody());
    EXPECT_NEAR(box->Body()->GetMass(), 800.0f * MaterialInfo(Material::Metal).density, 1e-4f);
    Frame(120);
    EXPECT_NEAR(box->Body()->GetPosition().y, 390.0f, 1.0f);
    // The ball came down with it.
    EXPECT_NEAR(ball->_body->GetPosition().y, 365.0f, 2.0f);
}

TEST_F(DrawnTest, MoveToTeleportsWithoutSpeedAndAFixedBodyCollidesWhereItWasMoved) {
    AddFloor();
    TDrawn* free = MakeBox(Vec2(300, 200), 40, 20, Material::Wood, false);
    Frame(20);
    free->moveTo(Vec2(700, 100), 90.0f);
    ExpectVec(free->Body()->GetPosition(), Vec2(700, 100));
    EXPECT_NEAR(free->Body()->GetAngle(), 90.0f, 1e-3f);
    EXPECT_EQ(free->Body()->GetVelocity(), ZeroVect);

    TDrawn* shelf = MakeBox(Vec2(300, 300), 100, 20, Material::Stone, true);
    Step();
    shelf->moveTo(Vec2(1000, 250), 0.0f);
    auto ball = SpawnBall(layer, Vec2(1000, 150));
    Frame(120);
    EXPECT_NEAR(ball->_body->GetPosition().y, 225.0f, 1.0f);
}

TEST_F(DrawnTest, LeavesTheLevelLikeTheOthersAndClearAllFreesIt) {
    TDrawn* gone = MakeBox(Vec2(300, 900), 40, 20, Material::Wood, false);
    auto body = gone->_body;
    auto shape = gone->_shapes[0];
    TDrawn::UpdateAll();
    EXPECT_EQ(gone->_life, 0);
    TDrawn::UpdateAll();
    EXPECT_EQ(TDrawn::Count(), 0);
    EXPECT_TRUE(body->IsFreed());
    EXPECT_TRUE(shape->IsFreed());

    TDrawn* kept = MakeBox(Vec2(300, 300), 40, 20, Material::Wood, true);
    auto fixedBody = kept->_body;
    ClearAllBodies();
    EXPECT_EQ(TDrawn::Count(), 0);
    EXPECT_TRUE(fixedBody->IsFreed());
    EXPECT_EQ(layer->spaceMap->CountActiveShapes(), 0);
}

TEST_F(DrawnTest, DrawnFilledWithADarkerEdgeAndBoltsWhenFixed) {
    // Rubber has no stripes: its inside is its fill colour throughout.
    const MaterialRow& rubber = MaterialInfo(Material::Rubber);
    auto rgb = [](MaterialColour c) {
        return (std::uint32_t{c.r} << 24) | (std::uint32_t{c.g} << 16) | (std::uint32_t{c.b} << 8);
    };
    TDrawn* box = MakeBox(Vec2(300, 300), 60, 40, Material::Rubber, false);
    ASSERT_NE(MakeBox(Vec2(600, 300), 60, 40, Material::Rubber, true), nullptr);
    box->Body()->SetAngle(30.0f);
    SetClsColor(0, 0, 0);
    Cls();
    TDrawn::UpdateAll();
    ExpectDefaultDrawingState("drawn");
    EXPECT_EQ(ReadPixel(300, 300) & 0xFFFFFF00u, rgb(rubber.fill));
    EXPECT_EQ(ReadPixel(310, 305) & 0xFFFFFF00u, rgb(rubber.fill));
    // Turned by 30 degrees: a point of the unturned box's corner is outside, the turned box's
    // right corner is inside.
    EXPECT_EQ(ReadPixel(328, 281) & 0xFFFFFF00u, 0u);
    EXPECT_NE(ReadPixel(322, 318) & 0xFFFFFF00u, 0u);
    // The edge: just inside the fixed box's left side, the outline colour; just outside, nothing.
    EXPECT_EQ(ReadPixel(571, 300) & 0xFFFFFF00u, rgb(rubber.outline));
    EXPECT_EQ(ReadPixel(566, 300) & 0xFFFFFF00u, 0u);
    // A bolt at the fixed body's centre, none on the free one.
    EXPECT_NE(ReadPixel(600, 300) & 0xFFFFFF00u, rgb(rubber.fill));
    EXPECT_NE(ReadPixel(598, 298) & 0xFFFFFF00u, rgb(rubber.fill));
    EXPECT_EQ(ReadPixel(300, 300) & 0xFFFFFF00u, rgb(rubber.fill));

    // Ice lets what is under it show through.
    ClearAllBodies();
    layer = MakeLayer(2016, 768);
    SetClsColor(0, 0, 255);
    Cls();
    MakeBox(Vec2(300, 300), 60, 40, Material::Ice, false);
    TDrawn::UpdateAll();
    // A stripe may cross a pixel or two of these; the rest are the fill over blue.
    int mixed = 0;
    for (int x = 284; x < 296; x += 2) {
        const std::uint32_t ice = ReadPixel(x, 300);
        mixed += (ice & 0xFF00u) > (0xF0u << 8) && (ice >> 24) < MaterialInfo(Material::Ice).fill.r;
    }
    EXPECT_GE(mixed, 4);
    ExpectDefaultDrawingState("ice");
}

} // namespace
