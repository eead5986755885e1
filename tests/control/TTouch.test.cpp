#include "control/TTouch.hpp"
#include "control/SceneFixture.hpp"
#include "physics/CPBody.hpp"

namespace {

// The scene's player sits at (450, 300) with its tentacles trailing left of it: the empty
// space the fingers use is further down.
class TouchTest : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        touch.init(level);
    }
    void TearDown() override {
        touch.DropAll();
        SceneTest::TearDown();
    }
    void frame(bool advances = true) {
        control.updateControls();
        touch.update(control, advances);
    }
    TTouch touch;
};

} // namespace

TEST_F(TouchTest, ATapSpawnsWhereItLandsAndAHeldFingerStreams) {
    frame();
    PushFinger(4, 1, 200, 600);
    PushFinger(4, 0, 200, 600);
    frame();
    EXPECT_TRUE(control.pressedUnselected); // nothing chosen yet: the hint, no body
    EXPECT_EQ(TBall::Count(), 0);
    select(1);
    PushFinger(4, 1, 200, 600);
    PushFinger(4, 0, 200, 600);
    frame();
    ASSERT_EQ(TBall::Count(), 1);
    const CPVect p = TBall::liveList->First()->_body->GetPosition();
    EXPECT_FLOAT_EQ(p.x, 200.0f);
    EXPECT_FLOAT_EQ(p.y, 600.0f);
    // Held on empty space: one at the landing, then one a frame once it has rested.
    PushFinger(6, 1, 700, 600);
    for (int i = 0; i < TTouch::kHoldFrames + 3; ++i) {
        frame();
    }
    EXPECT_EQ(TBall::Count(), 2 + 3);
    PushFinger(6, 0, 700, 600);
    frame();
    frame();
    EXPECT_EQ(TBall::Count(), 5);
}

TEST_F(TouchTest, TwoFingersGrabTwoBodiesAndThrowThem) {
    select(2);
    PushFinger(1, 1, 200, 600);
    PushFinger(1, 0, 200, 600);
    PushFinger(1, 1, 700, 600);
    PushFinger(1, 0, 700, 600);
    frame(); // cubes at (200, 600) and (700, 600)
    frame();
    ASSERT_EQ(TCube::Count(), 2);
    const CPBody* left = TCube::liveList->First()->_body.get();
    const CPBody* right = TCube::liveList->Last()->_body.get();
    PushFinger(1, 1, 700, 600);
    PushFinger(2, 1, 200, 600);
    frame();
    EXPECT_EQ(touch.Grabs(), 2);
    EXPECT_EQ(touch.GrabOf(0).Body(), right);
    EXPECT_EQ(touch.GrabOf(1).Body(), left);
    EXPECT_EQ(TCube::Count(), 2); // grabbing spawns nothing
    PushFinger(1, 2, 720, 600);
    PushFinger(2, 2, 180, 600);
    frame();
    PushFinger(1, 0, 720, 600);
    frame();
    EXPECT_EQ(touch.Grabs(), 1);
    EXPECT_FLOAT_EQ(right->GetVelocity().x, 20.0f * 60.0f / 2.0f);
    PushFinger(2, 0, 180, 600);
    frame();
    EXPECT_EQ(touch.Grabs(), 0);
    EXPECT_LT(left->GetVelocity().x, 0.0f);
}

// A finger that lands on the player squid steers it by its drag as one arrow key held (the
// keyboard's push and the finger's make no more than one key's), grabs and spawns nothing, and
// stops when lifted.
TEST_F(TouchTest, AFingerDraggedFromThePlayerSteersItLikeTheArrowKeys) {
    select(1);
    CPBody& body = *player->_body;
    const auto push = [&](auto&& act) {
        body.SetVelocity(ZeroVect);
        act();
        frame();
        return body.GetVelocity();
    };
    const CPVect key = push([] { PushKey(Key::Right, true); });
    PushKey(Key::Right, false);
    ASSERT_GT(key.x, 0.0f);
    EXPECT_FLOAT_EQ(push([] { PushFinger(3, 1, 455, 295); }).x, 0.0f); // landed: no way yet
    EXPECT_EQ(touch.Grabs(), 0);
    EXPECT_EQ(TBall::Count(), 0);
    const CPVect right = push([] { PushFinger(3, 2, 495, 295); });
    EXPECT_FLOAT_EQ(right.x, key.x);
    EXPECT_FLOAT_EQ(right.y, 0.0f);
    const CPVect both = push([] { PushKey(Key::Right, true); }); // still one key's push
    PushKey(Key::Right, false);
    EXPECT_FLOAT_EQ(both.x, key.x);
    const CPVect upLeft = push([] { PushFinger(3, 2, 425, 265); });
    EXPECT_FLOAT_EQ(upLeft.x, -key.x);
    EXPECT_FLOAT_EQ(upLeft.y, -key.x);
    const CPVect lifted = push([] { PushFinger(3, 0, 425, 265); });
    EXPECT_FLOAT_EQ(lifted.x, 0.0f);
    EXPECT_FLOAT_EQ(lifted.y, 0.0f);
    EXPECT_EQ(TBall::Count(), 0);
}

// Two fingers on empty space pinch: spreading them to twice their distance zooms in by an
// octave (four steps) around their midpoint, and moving both drags the view; only the first
// finger's tap dropped anything.
TEST_F(TouchTest, TwoFingersOnEmptySpacePinchToZoomAndDragTheView) {
    level->_maxScrollW = 3200 - 1024; // room to scroll at zoom 1, as a loaded level has
    select(1);
    frame();
    PushFinger(1, 1, 300, 600);
    frame();
    PushFinger(2, 1, 500, 600);
    frame();
    const CPVect start = level->_FGLayer->WorldAt(400.0, 600.0);
    PushFinger(1, 2, 200, 600);
    PushFinger(2, 2, 600, 600);
    frame();
    EXPECT_EQ(level->ZoomStep(), 4);
    EXPECT_FALSE(level->Following());
    CPVect now = level->_FGLayer->WorldAt(400.0, 600.0);
    EXPECT_NEAR(now.x, start.x, 1.0);
    EXPECT_NEAR(now.y, start.y, 1.0);
    // Together again and 50 pixels left: zoom 1, the same world point under the midpoint.
    PushFinger(1, 2, 250, 600);
    PushFinger(2, 2, 450, 600);
    frame();
    EXPECT_EQ(level->ZoomStep(), 0);
    now = level->_FGLayer->WorldAt(350.0, 600.0);
    EXPECT_NEAR(now.x, start.x, 1.0);
    EXPECT_NEAR(now.y, start.y, 1.0);
    PushFinger(1, 0, 250, 600);
    PushFinger(2, 0, 450, 600);
    for (int i = 0; i < TTouch::kHoldFrames + 2; ++i) {
        frame();
    }
    EXPECT_EQ(TBall::Count(), 1);
}
