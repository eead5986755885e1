#include <gtest/gtest.h>

#include "PhysicsTestScene.hpp"
#include "physics/CPPivotJoint.hpp"
#include "physics/CPSimpleMotor.hpp"

using namespace physics_test;

namespace {
constexpr double kPi = 3.14159265358979323846;

// A wheel on an axle at its centre, fixed in the world, turned by a motor of that rate and
// torque.
struct Wheel {
    std::shared_ptr<CPBody> fixed;
    Ball wheel;
    std::shared_ptr<CPSimpleMotor> motor;
};

Wheel MotorWheel(CPSpace& space, float rate, float torque) {
    Wheel w;
    w.fixed = CPBody::Create(INFINITY, INFINITY);
    w.wheel = AddBall(space, Vec2(0.0f, 0.0f), 20.0f);
    space.AddJoint(CPPivotJoint::Create(w.fixed, w.wheel.body, ZeroVect, ZeroVect));
    w.motor = CPSimpleMotor::Create(w.fixed, w.wheel.body, rate);
    w.motor->SetMaxForce(torque);
    space.AddJoint(w.motor);
    return w;
}

double SpinDegrees(const CPBody& body) {
    return body.GetExactState().angularVelocity * 180.0 / kPi;
}
} // namespace

TEST(CPSimpleMotor, TurnsTheWheelAtItsRateEitherWay) {
    for (const float rate : {180.0f, -90.0f}) {
        auto space = LevelLikeSpace();
        Wheel w = MotorWheel(*space, rate, 1.0e6f);
        EXPECT_FLOAT_EQ(w.motor->GetRate(), rate);
        StepFor(*space, 90);
        EXPECT_NEAR(SpinDegrees(*w.wheel.body), rate, 0.01 * std::fabs(rate)) << rate;
        // Positive rates turn the angle up.
        EXPECT_EQ(w.wheel.body->GetAngle() > 0.0f, rate > 0.0f) << rate;
    }
}

TEST(CPSimpleMotor, AWeakMotorSpeedsUpAtItsTorqueOverTheMoment) {
    auto space = LevelLikeSpace();
    // Moment of a 1-mass disc of radius 20: 200; torque 200 gives 1 rad/s^2.
    Wheel w = MotorWheel(*space, 3600.0f, 200.0f);
    StepFor(*space, 180);
    EXPECT_NEAR(w.wheel.body->GetExactState().angularVelocity, 1.0, 0.02);
    w.motor->SetRate(0.0f);
    EXPECT_EQ(w.motor->GetRate(), 0.0f);
}

TEST(CPSimpleMotor, FreedMotorReadsZero) {
    auto space = LevelLikeSpace();
    Wheel w = MotorWheel(*space, 90.0f, 1.0e6f);
    w.motor->Free();
    EXPECT_TRUE(w.motor->IsFreed());
    EXPECT_EQ(w.motor->GetRate(), 0.0f);
    w.motor->SetRate(10.0f);
    EXPECT_EQ(space->CountJoints(), 1); // the axle stays
}
