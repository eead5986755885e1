#include <gtest/gtest.h>

#include "PhysicsTestScene.hpp"
#include "physics/CPPivotJoint.hpp"
#include "physics/CPRotaryLimitJoint.hpp"
#include "physics/CPSimpleMotor.hpp"

using namespace physics_test;

TEST(CPRotaryLimitJoint, StopsAMotorAtItsLimitsInDegrees) {
    for (const float rate : {200.0f, -200.0f}) {
        auto space = LevelLikeSpace();
        auto fixed = CPBody::Create(INFINITY, INFINITY);
        Ball wheel = AddBall(*space, Vec2(0.0f, 0.0f), 10.0f);
        space->AddJoint(CPPivotJoint::Create(fixed, wheel.body, ZeroVect, ZeroVect));
        auto motor = CPSimpleMotor::Create(fixed, wheel.body, rate);
        motor->SetMaxForce(5000.0f);
        space->AddJoint(motor);
        auto limit = CPRotaryLimitJoint::Create(fixed, wheel.body, -30.0f, 45.0f);
        space->AddJoint(limit);
        EXPECT_FLOAT_EQ(limit->GetMin(), -30.0f);
        EXPECT_FLOAT_EQ(limit->GetMax(), 45.0f);
        StepFor(*space, 360);
        EXPECT_NEAR(wheel.body->GetAngle(), rate > 0.0f ? 45.0f : -30.0f, 1.0f) << rate;
    }
}

TEST(CPRotaryLimitJoint, PivotAndAClosedLimitHoldTwoBodiesAsOne) {
    // A weld: a bar hinged to the world at its left end carries a ball welded to its right end
    // at 30 degrees; the pair swings as one rigid body.
    auto space = LevelLikeSpace();
    auto fixed = CPBody::Create(INFINITY, INFINITY);
    Ball bar = AddBall(*space, Vec2(50.0f, 0.0f), 5.0f);
    Ball ball = AddBall(*space, Vec2(100.0f, 0.0f), 5.0f);
    ball.body->SetAngle(30.0f);
    space->AddJoint(CPPivotJoint::Create(fixed, bar.body, ZeroVect, Vec2(-50.0f, 0.0f)));
    space->AddJoint(CPPivotJoint::Create(bar.body, ball.body, Vec2(50.0f, 0.0f), ZeroVect));
    space->AddJoint(CPRotaryLimitJoint::Create(bar.body, ball.body, 30.0f, 30.0f));
    for (int i = 0; i < 6; ++i) {
        StepFor(*space, 60);
        EXPECT_NEAR(ball.body->GetAngle() - bar.body->GetAngle(), 30.0f, 0.5f);
        const CPVect end = bar.body->LocalToWorld(Vec2(50.0f, 0.0f));
        EXPECT_LT(end.Sub(ball.body->GetPosition()).Length(), 0.5f);
    }
    EXPECT_GT(bar.body->GetAngle(), 20.0f); // it swung down meanwhile
}
