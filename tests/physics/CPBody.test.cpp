#include <gtest/gtest.h>

#include <cmath>

#include "PhysicsTestScene.hpp"
#include "physics/CPSpaceHash.hpp"

using namespace physics_test;

namespace {

struct Owner {
    int id = 7;
};

int gCalls = 0;
CPBody* gLastBody = nullptr;
CPVect gLastGravity;
float gLastDamping = 0.0f, gLastDt = 0.0f;

int DoNothing(CPBody& body, CPVect gravity, float damping, float dt) {
    ++gCalls;
    gLastBody = &body;
    gLastGravity = gravity;
    gLastDamping = damping;
    gLastDt = dt;
    return 0;
}

int SquidLike(CPBody& body, CPVect, float damping, float dt) {
    body.ResetForces();
    body.UpdateVelocity(Vec2(0.0f, 20.0f), damping, dt);
    return 0;
}

CPBody* gFound = nullptr;
int FindBody(CPShape* shape, void*) {
    gFound = shape->GetBody().get();
    return 0;
}

} // namespace

TEST(CPBodyIdentity, ShapesLeadBackToTheVeryWrapperAndItsData) {
    auto space = LevelLikeSpace();
    Ball ball = AddBall(*space, Vec2(10.0f, 20.0f));
    Owner owner;
    EXPECT_EQ(ball.body->GetData(), nullptr);
    ball.body->SetData(&owner);
    EXPECT_EQ(ball.shape->GetBody(), ball.body);
    EXPECT_EQ(ball.shape->GetBody()->GetData(), &owner);
    gFound = nullptr;
    space->GetActiveShapes()->ForEach(FindBody, nullptr);
    EXPECT_EQ(gFound, ball.body.get());
    EXPECT_EQ(ball.body->GetParent(), space);
    EXPECT_EQ(ball.shape->GetParent(), space);
}

TEST(CPBodyState, AnglesAreDegreesAtTheInterface) {
    auto body = CPBody::Create(1.0f, 10.0f);
    EXPECT_EQ(body->GetPosition(), ZeroVect);
    EXPECT_EQ(body->GetAngle(), 0.0f);
    EXPECT_EQ(body->GetRot(), Vec2(1.0f, 0.0f));
    body->SetAngle(90.0f);
    EXPECT_NEAR(body->GetAngle(), 90.0f, 1e-4f);
    EXPECT_NEAR(body->GetRot().x, 0.0f, 1e-6f);
    EXPECT_NEAR(body->GetRot().y, 1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(body->GetMass(), 1.0f);
    EXPECT_FLOAT_EQ(body->GetMoment(), 10.0f);
    body->Free();
}

TEST(CPBodyState, SpinningAQuarterTurnReads90Degrees) {
    auto space = CPSpace::Create();
    auto body = CPBody::Create(1.0f, 1.0f);
    space->AddBody(body);
    // Angular velocity (r x j) / moment = 10 * (pi/20) / 1 = pi/2 per second, for one second.
    body->ApplyImpulse(Vec2(0.0f, float(M_PI) / 20.0f), Vec2(10.0f, 0.0f));
    for (int i = 0; i < 100; ++i) {
        space->DoStep(0.01f);
    }
    EXPECT_NEAR(body->GetAngle(), 90.0f, 0.01f);
}

TEST(CPBodyState, ImpulseChangesVelocityByJOverM) {
    auto body = CPBody::Create(0.85f, 61.2f);
    body->ApplyImpulse(Vec2(35.0f, -35.0f), ZeroVect);
    EXPECT_NEAR(body->GetVelocity().x, 41.18f, 0.01f);
    EXPECT_NEAR(body->GetVelocity().y, -41.18f, 0.01f);
    EXPECT_EQ(body->GetAngle(), 0.0f);
    // A body that never turns (free anchor): an off-centre push moves it but does not spin it.
    auto anchor = CPBody::Create(1.0f, INFINITY);
    auto space = CPSpace::Create();
    space->AddBody(anchor);
    anchor->ApplyImpulse(Vec2(0.0f, 10.0f), Vec2(5.0f, 0.0f));
    space->DoStep(0.1f);
    EXPECT_EQ(anchor->GetAngle(), 0.0f);
    EXPECT_NEAR(anchor->GetVelocity().y, 10.0f, 1e-4f);
}

TEST(CPBodyVelocityFunction, WithoutUpdateVelocityGravityIsNotApplied) {
    auto space = LevelLikeSpace();
    Ball ball = AddBall(*space, Vec2(0.0f, 0.0f));
    ball.body->SetVelocity(Vec2(3.0f, 0.0f));
    ball.body->SetVelocityFunction(DoNothing);
    gCalls = 0;
    space->DoStep(kStep);
    EXPECT_EQ(gCalls, 1);
    EXPECT_EQ(gLastBody, ball.body.get());
    EXPECT_EQ(gLastGravity, Vec2(0.0f, 600.0f));
    EXPECT_FLOAT_EQ(gLastDamping, 1.0f);
    EXPECT_FLOAT_EQ(gLastDt, kStep);
    StepFor(*space, 9);
    EXPECT_EQ(gCalls, 10);
    EXPECT_EQ(ball.body->GetVelocity(), Vec2(3.0f, 0.0f));
    EXPECT_NEAR(ball.body->GetPosition().x, 10 * kStep * 3.0f, 1e-5f);
    EXPECT_EQ(ball.body->GetPosition().y, 0.0f);

    // Taking the function away brings the default integration back.
    ball.body->SetVelocityFunction(nullptr);
    space->DoStep(kStep);
    EXPECT_EQ(gCalls, 10);
    EXPECT_NEAR(ball.body->GetVelocity().y, 600.0f * kStep, 1e-4f);
}

TEST(CPBodyVelocityFunction, SquidStyleFunctionIntegratesItsOwnGravity) {
    auto space = LevelLikeSpace();
    Ball squid = AddBall(*space, Vec2(0.0f, 0.0f), 12.0f, 6, 0.85f);
    Ball ball = AddBall(*space, Vec2(100.0f, 0.0f));
    squid.body->SetVelocityFunction(SquidLike);
    StepFor(*space, 180); // one second
    EXPECT_NEAR(squid.body->GetVelocity().y, 20.0f, 0.01f);
    EXPECT_NEAR(ball.body->GetVelocity().y, 600.0f, 0.1f);
    EXPECT_NEAR(squid.body->GetPosition().y, 10.0f, 0.1f);
}

TEST(CPBodyVelocityFunction, UpdateVelocityFollowsTheDefaultFormula) {
    auto body = CPBody::Create(2.0f, 10.0f);
    body->SetVelocity(Vec2(10.0f, 0.0f));
    body->UpdateVelocity(Vec2(0.0f, 100.0f), 0.5f, 0.1f);
    EXPECT_NEAR(body->GetVelocity().x, 5.0f, 1e-5f);
    EXPECT_NEAR(body->GetVelocity().y, 10.0f, 1e-5f);
    body->ResetForces();
    body->Free();
}
