#include <gtest/gtest.h>

#include "PhysicsTestScene.hpp"
#include "physics/CPPinJoint.hpp"
#include "physics/CPSlideJoint.hpp"

using namespace physics_test;

TEST(CPJoint, PinJointKeepsTheDistanceItWasMadeWith) {
    auto space = LevelLikeSpace();
    auto fixed = CPBody::Create(INFINITY, INFINITY); // never added, like a fixed anchor
    fixed->SetPosition(Vec2(0.0f, 0.0f));
    Ball bob = AddBall(*space, Vec2(30.0f, 40.0f), 5.0f);
    auto pin = CPPinJoint::Create(fixed, bob.body, Vec2(0.0f, 0.0f), ZeroVect);
    space->AddJoint(pin);
    EXPECT_EQ(pin->GetBodyA(), fixed);
    EXPECT_EQ(pin->GetBodyB(), bob.body);
    EXPECT_EQ(space->CountJoints(), 1);
    StepFor(*space, 90);
    EXPECT_NEAR(bob.body->GetPosition().Length(), 50.0f, 0.5f);
    EXPECT_GT(bob.body->GetPosition().y, 40.0f); // it swung down
    EXPECT_EQ(fixed->GetPosition(), ZeroVect);
}

TEST(CPJoint, SlideJointKeepsTheDistanceWithinItsLimits) {
    auto space = LevelLikeSpace();
    auto fixed = CPBody::Create(INFINITY, INFINITY);
    Ball link = AddBall(*space, Vec2(-21.0f, 0.0f), 7.0f, 8);
    auto slide = CPSlideJoint::Create(link.body, fixed, Vec2(-14.0f, 0.0f), ZeroVect, 0.0f, 7.0f);
    space->AddJoint(slide);
    StepFor(*space, 180); // starts 2r beyond the maximum, contracts, then hangs
    const CPVect anchor =
        link.body->GetPosition().Add(Vec2(-14.0f, 0.0f).Rotate(link.body->GetRot()));
    EXPECT_LT(anchor.Length(), 7.5f);
}

TEST(CPJoint, StaticBodyMovedAfterItsShapesWereAddedCarriesThemAlong) {
    auto space = LevelLikeSpace();
    auto fixed = CPBody::Create(INFINITY, INFINITY);
    auto circle = CPCircleShape::Create(fixed, 5.0f, ZeroVect);
    space->AddShape(circle);
    fixed->SetPosition(Vec2(200.0f, 100.0f));
    EXPECT_EQ(circle->GetTransformedCenter(), Vec2(200.0f, 100.0f));
    Ball ball = AddBall(*space, Vec2(200.0f, 80.0f), 9.0f);
    StepFor(*space, 30);
    EXPECT_LT(ball.body->GetPosition().y, 90.0f);
}
