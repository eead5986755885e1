#include "bodies/TBall.hpp"

#include <cmath>

#include "BodyTestSupport.hpp"
#include "world/TLevel.hpp"

using BallTest = BodiesTest;

TEST_F(BallTest, ListIsNullUntilFirstCreateAndAPassBeforeItDrawsNothing) {
    EXPECT_EQ(TBall::liveList, nullptr);
    EXPECT_EQ(TBall::Count(), 0);
    SetOrigin(5.0f, 6.0f);
    Record();
    TBall::UpdateAll();
    float ox = 0, oy = 0;
    GetOrigin(ox, oy);
    EXPECT_FLOAT_EQ(ox, 5.0f); // untouched: the pass returned at once
    EXPECT_TRUE(draws.empty());
    SetOrigin(0.0f, 0.0f);
}

TEST_F(BallTest, InitBuildsTheSpawnedBall) {
    auto ball = SpawnBall(layer, Vec2(300.0f, 200.0f));
    EXPECT_EQ(TBall::Count(), 1);
    EXPECT_EQ(TBall::layer, layer);
    EXPECT_EQ(ball->_life, 100);
    EXPECT_NEAR(ball->_body->GetMoment(), 42.75f, 1e-3f);
    EXPECT_FLOAT_EQ(ball->_body->GetMass(), 0.38f);
    ExpectVec(ball->_body->GetPosition(), Vec2(300.0f, 200.0f));
    EXPECT_EQ(ball->_shape->GetCollisionType(), 1);
    EXPECT_FLOAT_EQ(ball->_shape->GetFriction(), 0.075f);
    EXPECT_FLOAT_EQ(ball->_shape->GetRadius(), 15.0f);
    EXPECT_EQ(dynamic_cast<TBall*>(static_cast<TObject*>(ball->_body->GetData())), ball.get());
    EXPECT_EQ(layer->spaceMap->CountBodies(), 1);
    EXPECT_EQ(ActiveShapes(*layer->spaceMap), 1);
}

TEST_F(BallTest, OffLevelBallIsDeadAtFirstUpdateDrawnOnceAndRemovedInTheNextPass) {
    const CPVect outside[] = {Vec2(-1.0f, 300.0f), Vec2(2017.0f, 300.0f), Vec2(500.0f, 769.0f)};
    for (CPVect p : outside) {
        SCOPED_TRACE(p.x);
        auto ball = SpawnBall(layer, p);
        Record();
        TBall::UpdateAll();
        EXPECT_EQ(ball->_life, 0);
        EXPECT_EQ(DrawsOf(ballImage), 1); // still drawn in the pass that found it outside
        EXPECT_EQ(TBall::Count(), 1);     // and counted until the next pass
        Record();
        TBall::UpdateAll();
        EXPECT_EQ(DrawsOf(ballImage), 0);
        EXPECT_EQ(TBall::Count(), 0);
        EXPECT_TRUE(ball->_body->IsFreed());
        EXPECT_TRUE(ball->_shape->IsFreed());
        EXPECT_EQ(layer->spaceMap->CountBodies(), 0);
        EXPECT_EQ(ActiveShapes(*layer->spaceMap), 0);
    }
    // Bounds themselves are inside.
    auto edge = SpawnBall(layer, Vec2(2016.0f, 768.0f));
    auto zero = SpawnBall(layer, Vec2(0.0f, 100.0f));
    TBall::UpdateAll();
    EXPECT_EQ(edge->_life, 100);
    EXPECT_EQ(zero->_life, 100);
}

TEST_F(BallTest, BallAboveTheTopStaysAliveAndComesBack) {
    auto ball = SpawnBall(layer, Vec2(400.0f, -300.0f));
    for (int f = 0; f < 120; ++f) {
        Frame();
        ASSERT_EQ(ball->_life, 100) << "frame " << f;
    }
    EXPECT_GT(ball->_body->GetPosition().y, 0.0f);
    EXPECT_EQ(TBall::Count(), 1);
}

TEST_F(BallTest, TwoDyingInOneFrameAreBothRemovedAndTheOthersStillDrawn) {
    std::shared_ptr<TBall> balls[5];
    for (int i = 0; i < 5; ++i) {
        balls[i] = SpawnBall(layer, Vec2(100.0f + 100.0f * static_cast<float>(i), 300.0f));
    }
    // Balls 1 and 3 leave the level in the same frame.
    balls[1]->_body->SetPosition(Vec2(-50.0f, 300.0f));
    balls[3]->_body->SetPosition(Vec2(900.0f, 900.0f));
    Record();
    TBall::UpdateAll();
    EXPECT_EQ(DrawsOf(ballImage), 5);
    EXPECT_EQ(TBall::Count(), 5);
    Record();
    TBall::UpdateAll();
    EXPECT_EQ(TBall::Count(), 3);
    ASSERT_EQ(DrawsOf(ballImage), 3);
    // The survivors, in creation order.
    const int alive[] = {0, 2, 4};
    int k = 0;
    for (const auto& d : draws) {
        if (d.image == ballImage.get()) {
            EXPECT_NEAR(d.x, balls[alive[k]]->_shape->GetTransformedCenter().x, 0.01f);
            ++k;
        }
    }
    EXPECT_TRUE(balls[1]->_body->IsFreed());
    EXPECT_TRUE(balls[3]->_body->IsFreed());
    EXPECT_FALSE(balls[2]->_body->IsFreed());
    EXPECT_EQ(layer->spaceMap->CountBodies(), 3);
}

TEST_F(BallTest, BallIsDampedEveryFrameWhileTheCubeKeepsItsSpeed) {
    layer->spaceMap->SetGravity(Vec2(0.0f, 0.0f));
    auto ball = SpawnBall(layer, Vec2(300.0f, 100.0f));
    auto cube = SpawnCube(layer, Vec2(300.0f, 400.0f));
    ball->_body->SetVelocity(Vec2(100.0f, 0.0f));
    cube->_body->SetVelocity(Vec2(100.0f, 0.0f));
    TBall::UpdateAll();
    TCube::UpdateAll();
    EXPECT_FLOAT_EQ(ball->_body->GetVelocity().x, 100.0f * 0.98f);
    EXPECT_FLOAT_EQ(cube->_body->GetVelocity().x, 100.0f);
    Frame(30);
    EXPECT_NEAR(ball->_body->GetVelocity().x, 100.0f * std::pow(0.98f, 31.0f), 0.01f);
    EXPECT_NEAR(cube->_body->GetVelocity().x, 100.0f, 0.01f);
}

TEST_F(BallTest, DrawsBallAndHighlightAtTheCentreShiftedByTheScroll) {
    layer->ScrollX = 100;
    layer->ScrollY = 20;
    auto ball = SpawnBall(layer, Vec2(400.0f, 300.0f));
    ball->_body->SetAngle(90.0f);
    Cls();
    Record();
    TBall::UpdateAll();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].image, ballImage.get());
    EXPECT_EQ(draws[1].image, reflectBallImage.get());
    ExpectDefaultDrawingState("ball");
    // World (400, 300) appears at screen (300, 280); nothing at the unscrolled spot.
    EXPECT_NE(ReadPixel(300, 280) & 0xFFFFFF00u, 0u);
    EXPECT_EQ(ReadPixel(400, 300) & 0xFFFFFF00u, 0u);
}

// The real level: balls and cubes pass through its border and are then removed.
TEST_F(BallTest, BallsAndCubesPassTheBorderAndAreRemoved) {
    CreateLevelData();
    auto level = std::make_shared<TLevel>();
    level->Init(3);
    level->Load(0);
    auto fg = level->_FGLayer;
    auto ball = SpawnBall(fg, Vec2(40.0f, 60.0f));
    auto cube = SpawnCube(fg, Vec2(static_cast<float>(fg->maxLevelW) - 40.0f, 60.0f));
    ball->_body->SetVelocity(Vec2(-1500.0f, 0.0f));
    cube->_body->SetVelocity(Vec2(1500.0f, 0.0f));
    int frames = 0;
    while ((TBall::Count() > 0 || TCube::Count() > 0) && frames < 120) {
        level->update(3, Vec2(0.0f, 0.0f));
        TBall::UpdateAll();
        TCube::UpdateAll();
        ++frames;
    }
    EXPECT_EQ(TBall::Count(), 0);
    EXPECT_EQ(TCube::Count(), 0);
    EXPECT_TRUE(ball->_body->IsFreed());
    EXPECT_TRUE(cube->_body->IsFreed());
    EXPECT_EQ(fg->spaceMap->CountBodies(), 0);
    ClearAllBodies();
}
