#include "physics/CPVect.hpp"

#include <cmath>

#include <chipmunk/chipmunk.h>

#include "physics/QuietSpace.hpp"

float CPVect::Length() const {
    return std::sqrt(x * x + y * y);
}

float MomentForCircle(float mass, float r1, float r2, CPVect offset) {
    return static_cast<float>(cpMomentForCircle(mass, r1, r2, cpv(offset.x, offset.y)));
}

float MomentForPoly(float mass, std::span<const CPVect> verts, CPVect offset) {
    // Same sum as the library's, done here so that no vertex array has to be converted.
    // The signed areas cancel, so both windings give the same positive moment.
    const std::size_t n = verts.size();
    if (n < 3) {
        return 0.0f;
    }
    double sum1 = 0.0, sum2 = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double x1 = double(verts[i].x) + offset.x, y1 = double(verts[i].y) + offset.y;
        const CPVect& w = verts[(i + 1) % n];
        const double x2 = double(w.x) + offset.x, y2 = double(w.y) + offset.y;
        const double a = x2 * y1 - y2 * x1; // (v[i+1] x v[i])
        const double b = (x1 * x1 + y1 * y1) + (x1 * x2 + y1 * y2) + (x2 * x2 + y2 * y2);
        sum1 += a * b;
        sum2 += a;
    }
    return static_cast<float>(double(mass) * sum1 / (6.0 * sum2));
}

void InitPhysics() {
    // ZeroVect is a compile-time constant, so the only work is to let the library print its
    // start-up banner now, into nowhere, instead of in front of the user later.
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    cpSpaceFree(NewQuietSpace());
}

// The library's collision routines are set up statically in this version: nothing to register.
void StartPhysics() {}

// This version numbers shapes per space, starting from 0 in every new space, and offers no
// global counter: there is nothing to reset. Kept so that start-up reads the same.
void ResetShapeIds() {}
