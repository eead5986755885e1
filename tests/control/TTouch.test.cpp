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
    frame(); // a cube at (200, 600)
    ASSERT_EQ(TCube::Count(), 1);
    const CPBody* cube = TCube::liveList->First()->_body.get();
    PushFinger(1, 1, 450, 300); // the player
    PushFinger(2, 1, 200, 600); // the cube
    frame();
    EXPECT_EQ(touch.Grabs(), 2);
    EXPECT_EQ(touch.GrabOf(0).Body(), player->_body.get());
    EXPECT_EQ(touch.GrabOf(1).Body(), cube);
    EXPECT_EQ(TCube::Count(), 1); // grabbing spawns nothing
    PushFinger(1, 2, 470, 300);
    PushFinger(2, 2, 180, 600);
    frame();
    PushFinger(1, 0, 470, 300);
    frame();
    EXPECT_EQ(touch.Grabs(), 1);
    EXPECT_FLOAT_EQ(player->_body->GetVelocity().x, 20.0f * 60.0f / 2.0f);
    PushFinger(2, 0, 180, 600);
    frame();
    EXPECT_EQ(touch.Grabs(), 0);
    EXPECT_LT(TCube::liveList->First()->_body->GetVelocity().x, 0.0f);
}
