#include <cmath>

#include "control/SceneFixture.hpp"
#include "control/TGrab.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPCircleShape.hpp"
#include "physics/CPJoint.hpp"

namespace {

// The scene's space has no gravity: what moves a grabbed body is the pointer alone.
class GrabTest : public SceneTest {
  protected:
    void TearDown() override {
        grab.Drop();
        SceneTest::TearDown();
    }
    // One frame of physics as the level runs it: three steps of 1/180 s.
    void stepFrame() {
        for (int i = 0; i < 3; ++i) {
            layer->spaceMap->DoStep(1.0f / 180.0f);
        }
    }
    std::shared_ptr<TBall> ball(CPVect p) {
        auto b = TBall::Create();
        b->Init(layer, p, 15.0f, 0.38f, 100, 0.0f, 0.075f);
        return b;
    }
    TGrab grab;
};

} // namespace

TEST_F(GrabTest, GrabbedBodyFollowsThePointerAndIsThrownWithItsVelocity) {
    auto b = ball(Vec2(600.0f, 300.0f));
    ASSERT_TRUE(grab.Begin(layer->spaceMap, Vec2(605.0f, 300.0f)));
    EXPECT_EQ(grab.Body(), b->_body.get());
    CPVect pointer = Vec2(605.0f, 300.0f);
    for (int frame = 0; frame < 40; ++frame) {
        pointer = pointer.Add(Vec2(5.0f, -2.0f)); // 300 px/s right, 120 px/s up
        grab.Follow(pointer);
        stepFrame();
    }
    // The held point (5 px right of the centre) trails the pointer closely.
    const CPVect held = b->_body->LocalToWorld(Vec2(5.0f, 0.0f));
    EXPECT_LT(held.Sub(pointer).Length(), 12.0f);
    grab.Release();
    EXPECT_FALSE(grab.Active());
    const CPVect v = b->_body->GetVelocity();
    EXPECT_FLOAT_EQ(v.x, 300.0f);
    EXPECT_FLOAT_EQ(v.y, -120.0f);
    // Released: the pointer's body and the joint are gone, only the ball is left.
    EXPECT_EQ(layer->spaceMap->CountJoints(), 30); // the player's tentacle
    stepFrame();
    EXPECT_GT(b->_body->GetPosition().x, held.x);
}

TEST_F(GrabTest, NothingMovableUnderThePointerGrabsNothing) {
    // A fixed body (like the level, its border or a chain's fixed anchor) with a shape.
    auto fixed = CPBody::Create(INFINITY, INFINITY);
    fixed->SetPosition(Vec2(800.0f, 300.0f));
    auto circle = CPCircleShape::Create(fixed, 10.0f, ZeroVect);
    layer->spaceMap->AddStaticShape(circle);
    EXPECT_FALSE(grab.Begin(layer->spaceMap, Vec2(800.0f, 300.0f)));
    EXPECT_FALSE(grab.Begin(layer->spaceMap, Vec2(1500.0f, 300.0f))); // empty space
    EXPECT_FALSE(grab.Active());
    // Within reach of a ball's edge still grabs it; beyond, not.
    auto b = ball(Vec2(900.0f, 300.0f));
    EXPECT_FALSE(grab.Begin(layer->spaceMap, Vec2(900.0f, 300.0f + 15.0f + TGrab::kReach + 1)));
    EXPECT_TRUE(grab.Begin(layer->spaceMap, Vec2(900.0f, 300.0f + 15.0f + TGrab::kReach - 1)));
    circle->Free();
    fixed->Free();
}

TEST_F(GrabTest, GrabbingATentacleDragsItsSquid) {
    // The player's last tentacle segment starts 16 + 24 * 14 px left of the squid.
    const CPVect squidBefore = player->_body->GetPosition();
    const CPVect tip = squidBefore.Add(Vec2(-16.0f - 24.0f * 14.0f, 0.0f));
    ASSERT_TRUE(grab.Begin(layer->spaceMap, tip));
    EXPECT_NE(grab.Body(), player->_body.get());
    CPVect pointer = tip;
    for (int frame = 0; frame < 90; ++frame) {
        pointer = pointer.Add(Vec2(-4.0f, 0.0f));
        grab.Follow(pointer);
        stepFrame();
    }
    // Pulled by its tentacle, the squid came along to the left.
    EXPECT_LT(player->_body->GetPosition().x, squidBefore.x - 200.0f);
}

TEST_F(GrabTest, RemovingTheGrabbedBodyEndsTheGrabAtOnce) {
    auto b = ball(Vec2(600.0f, 300.0f));
    ASSERT_TRUE(grab.Begin(layer->spaceMap, Vec2(600.0f, 300.0f)));
    const int bodiesWhileHeld = layer->spaceMap->CountBodies();
    b->remove(); // as the per-frame pass does once the ball left the level
    EXPECT_FALSE(grab.Check());
    EXPECT_FALSE(grab.Active());
    EXPECT_EQ(layer->spaceMap->CountBodies(), bodiesWhileHeld - 2); // the ball and the pointer's
    grab.Follow(Vec2(700.0f, 300.0f));                              // harmless afterwards
    grab.Release();
    stepFrame();
}

TEST_F(GrabTest, PausedFramesHoldThePointerWithoutVelocity) {
    auto b = ball(Vec2(600.0f, 300.0f));
    ASSERT_TRUE(grab.Begin(layer->spaceMap, Vec2(600.0f, 300.0f)));
    grab.Follow(Vec2(610.0f, 300.0f));
    grab.Hold(Vec2(650.0f, 300.0f)); // paused: no step will move the pointer's body
    EXPECT_EQ(b->_body->GetPosition(), Vec2(600.0f, 300.0f));
    // The next running frame starts from where the pointer was held; the paused move is no
    // motion, so the throw keeps the running frames' pace.
    grab.Follow(Vec2(660.0f, 300.0f));
    EXPECT_FLOAT_EQ(grab.PointerVelocity().x, (660.0f - 640.0f) * 60.0f / 2.0f);
}

// Moving the pointer far while paused, then letting go, must not fling the body with the whole
// paused move as if it had happened in one running frame.
TEST_F(GrabTest, PointerMovedWhilePausedIsNotThrown) {
    auto b = ball(Vec2(600.0f, 300.0f));
    ASSERT_TRUE(grab.Begin(layer->spaceMap, Vec2(600.0f, 300.0f)));
    grab.Follow(Vec2(602.0f, 300.0f));
    stepFrame();
    grab.Follow(Vec2(604.0f, 300.0f));
    stepFrame();
    grab.Hold(Vec2(100.0f, 300.0f)); // paused; the pointer went 500 px left
    grab.Release();
    EXPECT_LT(std::abs(b->_body->GetVelocity().x), 200.0f) << b->_body->GetVelocity().x;
}
