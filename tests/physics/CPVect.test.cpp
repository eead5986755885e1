#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "physics/CPBody.hpp"
#include "physics/CPCircleShape.hpp"
#include "physics/CPSpace.hpp"
#include "physics/CPVect.hpp"
#include "physics/LibraryView.hpp"

TEST(CPVect, OperationsReturnNewValuesAndLeaveOperandsAlone) {
    constexpr CPVect a = Vec2(3.0f, 4.0f);
    constexpr CPVect b = Vec2(1.0f, -2.0f);
    static_assert(a.Add(b) == Vec2(4.0f, 2.0f));
    static_assert(a.Sub(b) == Vec2(2.0f, 6.0f));
    static_assert(a.Mult(0.5f) == Vec2(1.5f, 2.0f));
    static_assert(a.GetX() == 3.0f && a.GetY() == 4.0f);
    static_assert(ZeroVect.x == 0.0f && ZeroVect.y == 0.0f);
    EXPECT_FLOAT_EQ(a.Length(), 5.0f);
    EXPECT_EQ(a, Vec2(3.0f, 4.0f));
    // A quarter turn (cos, sin) = (0, 1) takes +x to +y (downwards on screen).
    static_assert(Vec2(2.0f, 0.0f).Rotate(Vec2(0.0f, 1.0f)) == Vec2(0.0f, 2.0f));
    static_assert(Vec2(0.0f, 2.0f).Rotate(Vec2(0.0f, 1.0f)) == Vec2(-2.0f, 0.0f));
}

TEST(CPVect, MomentsOfCircleAndPolygon) {
    EXPECT_FLOAT_EQ(MomentForCircle(2.0f, 0.0f, 10.0f, ZeroVect), 100.0f);
    EXPECT_FLOAT_EQ(MomentForCircle(1.0f, 0.0f, 10.0f, Vec2(3.0f, 4.0f)), 50.0f + 25.0f);

    const std::array<CPVect, 4> square{Vec2(-15, -15), Vec2(-15, 15), Vec2(15, 15), Vec2(15, -15)};
    EXPECT_NEAR(MomentForPoly(1.0f, square, ZeroVect), 150.0f, 1e-3f);
    // The other winding gives the same moment.
    const std::array<CPVect, 4> reversed{square[3], square[2], square[1], square[0]};
    EXPECT_NEAR(MomentForPoly(1.0f, reversed, ZeroVect), 150.0f, 1e-3f);
    // The program's cube: a 30 x 30 box of mass 0.5.
    EXPECT_NEAR(MomentForPoly(0.5f, square, ZeroVect), 75.0f, 1e-3f);
    // Shifting by the offset adds m*|offset|^2.
    EXPECT_NEAR(MomentForPoly(1.0f, square, Vec2(0.0f, 10.0f)), 250.0f, 1e-2f);
}

// Start-up may run the layer's set-up calls again (tests, tools); the shared zero vector stays
// zero, and the shapes of a space made after ResetShapeIds are numbered from 0 in the library
// (its spatial hash files shapes by that number, so runs repeat exactly).
TEST(CPVect, StartUpCallsAreRepeatableAndShapeIdsStartAtZero) {
    InitPhysics();
    auto before = CPSpace::Create();
    auto body = CPBody::Create(1.0f, 1.0f);
    for (int i = 0; i < 3; ++i) {
        before->AddShape(CPCircleShape::Create(body, 1.0f, ZeroVect));
    }
    InitPhysics();
    StartPhysics();
    ResetShapeIds();
    ResetShapeIds();
    EXPECT_EQ(ZeroVect, Vec2(0.0f, 0.0f));
    auto space = CPSpace::Create();
    auto other = CPBody::Create(1.0f, 1.0f);
    auto first = CPCircleShape::Create(other, 1.0f, ZeroVect);
    auto second = CPCircleShape::Create(other, 1.0f, ZeroVect);
    space->AddShape(first);
    space->AddShape(second);
    EXPECT_EQ(static_cast<cpShape*>(first->GetHandle())->hashid, 0u);
    EXPECT_EQ(static_cast<cpShape*>(second->GetHandle())->hashid, 1u);
    first->Free();
    second->Free();
    other->Free();
    body->Free();
}
