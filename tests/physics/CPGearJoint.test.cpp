#include <gtest/gtest.h>

#include "PhysicsTestScene.hpp"
#include "physics/CPGearJoint.hpp"
#include "physics/CPPivotJoint.hpp"
#include "physics/CPSimpleMotor.hpp"

using namespace physics_test;

TEST(CPGearJoint, TurnsTheSecondWheelByTheRatio) {
    auto space = LevelLikeSpace();
    auto fixed = CPBody::Create(INFINITY, INFINITY);
    Ball a = AddBall(*space, Vec2(0.0f, 0.0f), 10.0f);
    Ball b = AddBall(*space, Vec2(100.0f, 0.0f), 10.0f);
    space->AddJoint(CPPivotJoint::Create(fixed, a.body, ZeroVect, ZeroVect));
    space->AddJoint(CPPivotJoint::Create(fixed, b.body, Vec2(100.0f, 0.0f), ZeroVect));
    auto gear = CPGearJoint::Create(a.body, b.body, 0.0f, 2.0f);
    space->AddJoint(gear);
    space->AddJoint(CPSimpleMotor::Create(fixed, a.body, 90.0f));
    EXPECT_FLOAT_EQ(gear->GetRatio(), 2.0f);
    EXPECT_FLOAT_EQ(gear->GetPhase(), 0.0f);
    StepFor(*space, 180);
    EXPECT_NEAR(a.body->GetAngle(), 90.0f, 2.0f);
    EXPECT_NEAR(b.body->GetAngle(), a.body->GetAngle() / 2.0f, 0.5f);
}

TEST(CPGearJoint, ZeroRatioMakesNoJoint) {
    auto space = LevelLikeSpace();
    Ball a = AddBall(*space, Vec2(0.0f, 0.0f), 10.0f);
    Ball b = AddBall(*space, Vec2(100.0f, 0.0f), 10.0f);
    auto gear = CPGearJoint::Create(a.body, b.body, 0.0f, 0.0f);
    EXPECT_TRUE(gear->IsFreed());
    space->AddJoint(gear);
    EXPECT_EQ(space->CountJoints(), 0);
    EXPECT_EQ(gear->GetRatio(), 0.0f);
}
