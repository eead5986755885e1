#pragma once

#include <span>

// A 2D vector of two 32-bit floats in world pixels (x right, y down). A plain immutable value:
// every operation returns a new vector and nothing allocates.
struct CPVect {
    float x = 0.0f, y = 0.0f;

    constexpr float GetX() const { return x; }
    constexpr float GetY() const { return y; }
    constexpr CPVect Add(CPVect v) const { return {x + v.x, y + v.y}; }
    constexpr CPVect Sub(CPVect v) const { return {x - v.x, y - v.y}; }
    constexpr CPVect Mult(float s) const { return {x * s, y * s}; }
    // This vector turned by the unit rotation vector rot = (cos a, sin a), as CPBody::GetRot gives.
    constexpr CPVect Rotate(CPVect rot) const {
        return {x * rot.x - y * rot.y, x * rot.y + y * rot.x};
    }
    float Length() const; // sqrt(x^2 + y^2)

    constexpr bool operator==(const CPVect&) const = default;
};

constexpr CPVect Vec2(float x, float y) {
    return {x, y};
}
inline constexpr CPVect ZeroVect{0.0f, 0.0f};

// Moment of inertia of a ring (inner radius r1, outer r2) centred at offset: m(r1^2+r2^2)/2 +
// m|offset|^2.
float MomentForCircle(float mass, float r1, float r2, CPVect offset);
// Moment of inertia of the polygon verts (body coordinates, shifted by offset); either winding.
float MomentForPoly(float mass, std::span<const CPVect> verts, CPVect offset);

void InitPhysics(); // layer initialisation (idempotent); also keeps the library's banner off stdout
void StartPhysics();  // library global initialisation: nothing to do with this library version
void ResetShapeIds(); // restart shape numbering: nothing to do with this library version
