#pragma once

// Conversions between this layer's types and the physics library's. Included only by the
// physics .cpp files: nothing outside this folder sees the library.

#include <chipmunk/chipmunk.h>

#include "physics/CPVect.hpp"

inline cpVect ToCp(CPVect v) {
    return cpv(v.x, v.y);
}
inline CPVect FromCp(cpVect v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y)};
}

// Degrees at our interface, radians in the library.
inline constexpr float kDegreesPerRadian = 57.29578f;
