// Joints measured against the textbook, in the level's space (gravity 600 px/s^2, 10 solver
// iterations, steps of 1/180 s): a pendulum's period, a spring's frequency, a motor's run-up.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "PhysicsTestScene.hpp"
#include "physics/CPDampedSpring.hpp"
#include "physics/CPPivotJoint.hpp"
#include "physics/CPRotaryLimitJoint.hpp"
#include "physics/CPSimpleMotor.hpp"

using namespace physics_test;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kGravity = 600.0;

// Period (s) of a coordinate's swing: the mean time between the first and last of `crossings`
// upward crossings of its mean, each placed by linear interpolation between steps.
double MeasuredPeriod(CPSpace& space, const std::function<double()>& coordinate, double centre,
                      int crossings, int maxSteps) {
    double previous = coordinate() - centre;
    double first = -1.0, last = -1.0;
    int seen = 0;
    for (int step = 1; step <= maxSteps && seen < crossings; ++step) {
        space.DoStep(kStep);
        const double now = coordinate() - centre;
        if (previous < 0.0 && now >= 0.0) {
            const double t = (step - 1 + previous / (previous - now)) * kStep;
            if (seen == 0) {
                first = t;
            }
            last = t;
            ++seen;
        }
        previous = now;
    }
    return seen < 2 ? 0.0 : (last - first) / (seen - 1);
}

struct Measured {
    double got;      // what the simulation gave
    double expected; // what the formula gives
};

// A 1-mass disc of radius 2 hangs on a weightless arm of length L from a hinge in the world,
// let go 4 degrees out. (Its own turning adds r^2/(2 L^2) to the period: 0.003% here.)
Measured Pendulum(float length, float armMass) {
    auto space = LevelLikeSpace();
    auto world = CPBody::Create(INFINITY, INFINITY);
    const double a0 = 4.0 * kPi / 180.0;
    const CPVect bob =
        Vec2(static_cast<float>(length * std::sin(a0)), static_cast<float>(length * std::cos(a0)));
    Ball disc = AddBall(*space, bob, 2.0f, 0, 1.0f);
    if (armMass > 0.0f) {
        // A thin stick of length L (its moment m L^2 / 12, no shape) hinged to the world at
        // one end, the disc welded to the other. At 1/100 of the disc it lengthens the period
        // by less than 0.1%.
        auto arm = CPBody::Create(armMass, armMass * length * length / 12.0f);
        arm->SetPosition(bob.Mult(0.5f));
        space->AddBody(arm);
        space->AddJoint(CPPivotJoint::Create(world, arm, ZeroVect, bob.Mult(-0.5f)));
        space->AddJoint(CPPivotJoint::Create(arm, disc.body, bob.Mult(0.5f), ZeroVect));
        space->AddJoint(CPRotaryLimitJoint::Create(arm, disc.body, 0.0f, 0.0f));
    } else {
        space->AddJoint(CPPivotJoint::Create(world, disc.body, ZeroVect, bob.Mult(-1.0f)));
    }
    const auto x = [&] { return disc.body->GetExactState().x; };
    const double period = MeasuredPeriod(*space, x, 0.0, 4, 180 * 30);
    return {period, 2.0 * kPi * std::sqrt(length / kGravity)};
}

// A mass m hangs on an undamped spring of stiffness k from the world, let go 20 px above its
// rest point.
Measured Spring(float mass, float stiffness) {
    auto space = LevelLikeSpace();
    auto world = CPBody::Create(INFINITY, INFINITY);
    const double rest = 100.0 + mass * kGravity / stiffness;
    Ball ball = AddBall(*space, Vec2(0.0f, static_cast<float>(rest - 20.0)), 5.0f, 0, mass);
    space->AddJoint(
        CPDampedSpring::Create(world, ball.body, ZeroVect, ZeroVect, 100.0f, stiffness, 0.0f));
    const auto y = [&] { return ball.body->GetExactState().y; };
    const double period = MeasuredPeriod(*space, y, rest, 6, 180 * 30);
    const double frequency = period > 0.0 ? 1.0 / period : 0.0;
    return {frequency, std::sqrt(stiffness / mass) / (2.0 * kPi)};
}

// A free wheel on an axle in the world, its motor set to `rate` (degrees/s) with `torque`:
// the spin after half a second.
Measured Motor(float rate, float torque) {
    auto space = LevelLikeSpace();
    auto world = CPBody::Create(INFINITY, INFINITY);
    Ball wheel = AddBall(*space, Vec2(0.0f, 0.0f), 30.0f, 0, 4.0f);
    space->AddJoint(CPPivotJoint::Create(world, wheel.body, ZeroVect, ZeroVect));
    auto motor = CPSimpleMotor::Create(world, wheel.body, rate);
    motor->SetMaxForce(torque);
    space->AddJoint(motor);
    StepFor(*space, 90);
    return {wheel.body->GetExactState().angularVelocity * 180.0 / kPi, rate};
}

} // namespace

TEST(JointPhysics, MeasuredAgainstTheFormulas) {
    struct Row {
        std::string what;
        std::function<Measured()> measure;
        double tolerance; // relative
    };
    const Row rows[] = {
        {"pendulum L=60", [] { return Pendulum(60.0f, 0.0f); }, 0.01},
        {"pendulum L=200", [] { return Pendulum(200.0f, 0.0f); }, 0.01},
        {"pendulum L=150 on a welded arm of 1/100", [] { return Pendulum(150.0f, 0.01f); }, 0.01},
        {"spring k=100 m=1", [] { return Spring(1.0f, 100.0f); }, 0.02},
        {"spring k=400 m=4", [] { return Spring(4.0f, 400.0f); }, 0.02},
        {"spring k=900 m=0.5", [] { return Spring(0.5f, 900.0f); }, 0.02},
        // Moment of the wheel 1800: 120 deg/s needs 3770 mass px^2/s at most; 0.5 s at 20000
        // reaches 5.5 rad/s.
        {"motor 120 deg/s", [] { return Motor(120.0f, 20000.0f); }, 0.01},
        {"motor -240 deg/s", [] { return Motor(-240.0f, 20000.0f); }, 0.01},
    };
    for (const Row& row : rows) {
        const Measured m = row.measure();
        EXPECT_NEAR(m.got / m.expected, 1.0, row.tolerance)
            << row.what << ": measured " << m.got << ", formula " << m.expected;
    }
}
