#pragma once

// Conversions between this layer's types and the physics library's. Included only by the
// physics .cpp files: nothing outside this folder sees the library.

#include <chipmunk/chipmunk.h>

#include <cfloat>
#include <cstdint>

#include "physics/CPVect.hpp"

// Every build computes the same physics bit for bit (cmake/SameMath.cmake): the library in double
// precision, its hash values 64 bits wide, every operation in its own type (SSE2 on x86-64,
// WebAssembly; no x87 excess precision).
static_assert(sizeof(cpFloat) == sizeof(double), "the physics library must use doubles");
static_assert(sizeof(cpHashValue) == sizeof(std::uint64_t), "64-bit hash values in every build");
static_assert(FLT_EVAL_METHOD == 0, "floating-point operations evaluated in their own type");

inline cpVect ToCp(CPVect v) {
    return cpv(v.x, v.y);
}
inline CPVect FromCp(cpVect v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y)};
}

// Degrees at our interface, radians in the library.
inline constexpr float kDegreesPerRadian = 57.29578f;
