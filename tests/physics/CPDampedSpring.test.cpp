#include <gtest/gtest.h>

#include "PhysicsTestScene.hpp"
#include "physics/CPDampedSpring.hpp"

using namespace physics_test;

TEST(CPDampedSpring, HangingMassSettlesWhereTheSpringHoldsItsWeight) {
    auto space = LevelLikeSpace();
    auto fixed = CPBody::Create(INFINITY, INFINITY);
    Ball bob = AddBall(*space, Vec2(0.0f, 100.0f), 5.0f);
    // Stretch = m g / k = 600 / 60 = 10 px beyond the rest length.
    auto spring = CPDampedSpring::Create(fixed, bob.body, ZeroVect, ZeroVect, 100.0f, 60.0f, 8.0f);
    space->AddJoint(spring);
    EXPECT_EQ(space->CountJoints(), 1);
    StepFor(*space, 180 * 10);
    EXPECT_NEAR(bob.body->GetPosition().y, 110.0f, 0.2f);
    EXPECT_NEAR(bob.body->GetPosition().x, 0.0f, 0.01f);
    // The force it holds is the weight: impulse per step / step.
    EXPECT_NEAR(spring->GetImpulse() / kStep, 600.0f, 6.0f);
}

TEST(CPDampedSpring, SettingsReadBackAndChangeTheRestPoint) {
    auto space = LevelLikeSpace();
    auto fixed = CPBody::Create(INFINITY, INFINITY);
    Ball bob = AddBall(*space, Vec2(0.0f, 100.0f), 5.0f);
    auto spring = CPDampedSpring::Create(fixed, bob.body, ZeroVect, ZeroVect, 100.0f, 60.0f, 8.0f);
    space->AddJoint(spring);
    spring->SetRestLength(50.0f);
    spring->SetStiffness(120.0f);
    spring->SetDamping(12.0f);
    EXPECT_FLOAT_EQ(spring->GetRestLength(), 50.0f);
    EXPECT_FLOAT_EQ(spring->GetStiffness(), 120.0f);
    EXPECT_FLOAT_EQ(spring->GetDamping(), 12.0f);
    StepFor(*space, 180 * 10);
    EXPECT_NEAR(bob.body->GetPosition().y, 55.0f, 0.2f);
}

TEST(CPDampedSpring, FreedWithItsBodyAndHarmlessAfterwards) {
    auto space = LevelLikeSpace();
    auto fixed = CPBody::Create(INFINITY, INFINITY);
    Ball bob = AddBall(*space, Vec2(0.0f, 100.0f), 5.0f);
    auto spring = CPDampedSpring::Create(fixed, bob.body, ZeroVect, ZeroVect, 100.0f, 60.0f, 8.0f);
    space->AddJoint(spring);
    bob.body->Free();
    EXPECT_TRUE(spring->IsFreed());
    EXPECT_EQ(space->CountJoints(), 0);
    spring->SetRestLength(3.0f);
    EXPECT_EQ(spring->GetRestLength(), 0.0f);
    EXPECT_EQ(spring->GetImpulse(), 0.0f);
    StepFor(*space, 10);
}
