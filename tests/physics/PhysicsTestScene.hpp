#pragma once

#include <cmath>
#include <memory>

#include "physics/CPBody.hpp"
#include "physics/CPCircleShape.hpp"
#include "physics/CPSegmentShape.hpp"
#include "physics/CPSpace.hpp"

// Small scenes shared by the physics tests.
namespace physics_test {

inline constexpr float kStep = 1.0f / 180.0f;

inline std::shared_ptr<CPSpace> LevelLikeSpace() {
    auto space = CPSpace::Create();
    space->SetGravity(Vec2(0.0f, 600.0f));
    space->SetIterations(10);
    return space;
}

// A static floor segment at height y from x0 to x1, on its own static body.
inline std::shared_ptr<CPSegmentShape> AddFloor(CPSpace& space, float y, int type = 0,
                                                float x0 = -500.0f, float x1 = 500.0f) {
    auto ground = CPBody::Create(INFINITY, INFINITY);
    auto seg = CPSegmentShape::Create(ground, Vec2(x0, y), Vec2(x1, y), 0.0f);
    seg->SetCollisionType(type);
    seg->SetElasticity(0.0f);
    seg->SetFriction(1.0f);
    space.AddStaticShape(seg);
    return seg;
}

struct Ball {
    std::shared_ptr<CPBody> body;
    std::shared_ptr<CPCircleShape> shape;
};

inline Ball AddBall(CPSpace& space, CPVect p, float radius = 9.0f, int type = 0,
                    float mass = 1.0f) {
    Ball b;
    b.body = CPBody::Create(mass, MomentForCircle(mass, 0.0f, radius, ZeroVect));
    b.body->SetPosition(p);
    b.shape = CPCircleShape::Create(b.body, radius, ZeroVect);
    b.shape->SetCollisionType(type);
    b.shape->SetFriction(0.5f);
    space.AddBody(b.body);
    space.AddShape(b.shape);
    return b;
}

inline void StepFor(CPSpace& space, int steps) {
    for (int i = 0; i < steps; ++i) {
        space.DoStep(kStep);
    }
}

} // namespace physics_test
