#include "bodies/TStar.hpp"

#include "BodyTestSupport.hpp"

using StarTest = BodiesTest;

TEST_F(StarTest, StylesBuildTheirShapesAndRemoveFreesExactlyThem) {
    struct Case {
        int style;
        int shapes;
        bool corners;
    };
    for (Case c : {Case{0, 1, false}, Case{1, 6, true}, Case{2, 1, false}, Case{7, 1, false}}) {
        SCOPED_TRACE(c.style);
        auto star = SpawnStar(layer, Vec2(500.0f, 300.0f), c.style);
        EXPECT_EQ(layer->spaceMap->CountBodies(), 1);
        EXPECT_EQ(ActiveShapes(*layer->spaceMap), c.shapes);
        // The body turns like the whole star whatever collides.
        EXPECT_NEAR(star->_body->GetMoment(), 25.52f, 0.01f);
        EXPECT_EQ(star->_pentagoneShape->GetCollisionType(), 4);
        EXPECT_EQ(star->_pentagoneShape->GetVertCount(), 5);
        // Style 0 collides through the points, the others only with the inner pentagon.
        const float top = star->_pentagoneShape->GetVert(0).y;
        EXPECT_FLOAT_EQ(top, c.style == 0 ? -15.2f : -5.6f);
        EXPECT_EQ(star->_upCornerShape != nullptr, c.corners);
        EXPECT_EQ(star->_downLeftCornerShape != nullptr, c.corners);
        if (c.corners) {
            EXPECT_EQ(star->_upCornerShape->GetCollisionType(), 3);
            EXPECT_EQ(star->_downLeftCornerShape->GetCollisionType(), 3);
            EXPECT_FLOAT_EQ(star->_upCornerShape->GetVert(1).x, -5.6f);
        }
        EXPECT_EQ(dynamic_cast<TStar*>(static_cast<TObject*>(star->_body->GetData())), star.get());

        star->_life = 0;
        TStar::UpdateAll();
        EXPECT_EQ(TStar::Count(), 0);
        EXPECT_TRUE(star->_body->IsFreed());
        EXPECT_TRUE(star->_pentagoneShape->IsFreed());
        if (c.corners) {
            EXPECT_TRUE(star->_rightCornerShape->IsFreed());
            EXPECT_TRUE(star->_downRightCornerShape->IsFreed());
        }
        EXPECT_EQ(layer->spaceMap->CountBodies(), 0);
        EXPECT_EQ(ActiveShapes(*layer->spaceMap), 0);
    }
}

TEST_F(StarTest, StarRestsOnAPointNotLikeAPentagon) {
    // A floor below the star: style 1 lands on its lower points (14.4 below the centre),
    // style 2 only on its inner pentagon (10.4 below).
    auto floor = CPBody::Create(INFINITY, INFINITY);
    auto seg = CPSegmentShape::Create(floor, Vec2(0.0f, 400.0f), Vec2(2000.0f, 400.0f), 0.0f);
    layer->spaceMap->AddStaticShape(seg);
    auto pointy = SpawnStar(layer, Vec2(300.0f, 370.0f), 1);
    auto inner = SpawnStar(layer, Vec2(600.0f, 370.0f), 2);
    Frame(120);
    // Every edge of the outer pentagon is at least 13.5 from the centre, every point of the
    // inner one at most 10.4.
    EXPECT_LT(pointy->_body->GetPosition().y, 400.0f - 12.5f);
    EXPECT_GT(pointy->_body->GetPosition().y, 400.0f - 16.0f);
    EXPECT_GT(inner->_body->GetPosition().y, 400.0f - 10.6f);
    EXPECT_LT(inner->_body->GetPosition().y, 400.0f);
    ClearAllBodies();
    seg->Free();
}

TEST_F(StarTest, StarIsDampedAndDrawnWithItsGlow) {
    layer->spaceMap->SetGravity(Vec2(0.0f, 0.0f));
    auto star = SpawnStar(layer, Vec2(200.0f, 200.0f));
    star->_body->SetVelocity(Vec2(0.0f, -50.0f));
    Cls();
    Record();
    TStar::UpdateAll();
    EXPECT_FLOAT_EQ(star->_body->GetVelocity().y, -50.0f * 0.98f);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].image, starImage.get());
    EXPECT_EQ(draws[1].image, brightStarImage.get());
    ExpectDefaultDrawingState("star");
    EXPECT_NE(ReadPixel(200, 200) & 0xFFFFFF00u, 0u);
}

// On a GPU renderer the 64 x 64 glow, the largest blended area of the picture, is drawn as the
// pieces that cover its visible texels: a bound on them keeps that fill from growing back to the
// whole square (as pieces of upright bands, 0.86 of it, or bands of 16 rows, 0.92, would).
TEST_F(StarTest, GlowIsDrawnAsPiecesCoveringUnderFiveSixthsOfItsSquare) {
    const ImageCover& cover = brightStarImage->Cover(0);
    EXPECT_TRUE(cover.Worthwhile());
    EXPECT_EQ(cover.FrameArea(), 64.0f * 64.0f);
    EXPECT_LT(cover.Area(), 0.82f * cover.FrameArea());
    EXPECT_LE(cover.Pieces().size(), 8u);
}
