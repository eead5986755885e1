#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "PhysicsTestScene.hpp"
#include "physics/CPPinJoint.hpp"

using namespace physics_test;

namespace {

// A ball resting on the floor (y = 100) with a second one hung beside it from a joint.
struct RestingScene {
    std::shared_ptr<CPSpace> space = LevelLikeSpace();
    std::shared_ptr<CPSegmentShape> floor = AddFloor(*space, 100.0f);
    Ball ball = AddBall(*space, Vec2(0.0f, 90.0f));
    Ball other = AddBall(*space, Vec2(60.0f, 90.0f));
    std::shared_ptr<CPPinJoint> joint;

    explicit RestingScene(bool sleeping) {
        if (sleeping)
            space->SetSleepTime(0.5f);
        joint = CPPinJoint::Create(ball.body, other.body, ZeroVect, ZeroVect);
        space->AddJoint(joint);
        StepFor(*space, 360); // two seconds: settled, and asleep when sleeping is on
    }
};

TEST(CPSpaceSleeping, OffByDefaultEveryBodyStaysAwake) {
    RestingScene scene(false);
    EXPECT_TRUE(std::isinf(scene.space->GetSleepTime()));
    EXPECT_EQ(scene.space->CountSleepingBodies(), 0);
    EXPECT_FALSE(scene.ball.body->IsSleeping());
}

// Each cause wakes the resting pair, which then moves as it would have: it falls, is pushed
// or is hit.
TEST(CPSpaceSleeping, RestingBodiesSleepAndEachCauseWakesThem) {
    const struct {
        const char* cause;
        std::function<void(RestingScene&)> act;
    } cases[] = {
        {"ground removed under it",
         [](RestingScene& s) {
             EXPECT_GE(s.space->WakeBodiesTouching(Vec2(-500, 95), Vec2(500, 105)), 1);
             EXPECT_EQ(s.space->CountSleepingBodies(), 0);
             s.floor->Free();
         }},
        {"ground removed, no query", [](RestingScene& s) { s.floor->Free(); }},
        {"pushed", [](RestingScene& s) { s.ball.body->SetVelocity(Vec2(0.0f, -300.0f)); }},
        {"joint broken",
         [](RestingScene& s) {
             s.joint->Free();
             s.ball.body->SetVelocity(Vec2(0.0f, -300.0f)); // visible only when awake
         }},
        {"new body lands on it",
         [](RestingScene& s) { AddBall(*s.space, Vec2(6.0f, 50.0f), 9.0f, 0, 50.0f); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cause);
        RestingScene scene(true);
        ASSERT_EQ(scene.space->CountSleepingBodies(), 2);
        EXPECT_TRUE(scene.ball.body->IsSleeping());
        const CPVect before = scene.ball.body->GetPosition();
        c.act(scene);
        StepFor(*scene.space, 90);
        const CPVect after = scene.ball.body->GetPosition();
        EXPECT_GT(std::hypot(after.x - before.x, after.y - before.y), 1.0f);
        EXPECT_FALSE(scene.ball.body->IsSleeping());
    }
}

// A sleeping body keeps a copy of its contacts until it wakes. Freeing a space with many
// separate sleeping groups (each ball on its own floor) must free every copy: the sanitizer run
// reports any left behind when the program ends. Both broad phases, as either can be in use.
TEST(CPSpaceSleeping, FreeingASpaceOfManySleepingGroupsFreesTheirContacts) {
    for (auto phase : {CPSpace::BroadPhase::Hash, CPSpace::BroadPhase::Tree}) {
        auto space = LevelLikeSpace();
        space->ResizeStaticHash(10.0f, 2000);
        space->UseBroadPhase(phase);
        space->SetSleepTime(0.5f);
        for (int i = 0; i < 9; ++i) {
            const float x = static_cast<float>(i) * 60.0f;
            AddFloor(*space, 100.0f, 0, x - 25.0f, x + 25.0f);
            AddBall(*space, Vec2(x, 90.0f));
        }
        StepFor(*space, 360);
        ASSERT_EQ(space->CountSleepingBodies(), 9);
        space.reset();
    }
}

} // namespace
