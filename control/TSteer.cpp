#include "control/TSteer.hpp"

#include <cmath>

namespace {
// tan 22.5 degrees: an axis pushes when the drag is within 67.5 degrees of it, so the eight
// directions of the arrow keys each take an equal slice of the circle.
constexpr float kSlice = 0.41421356f;

int sign(float v) {
    return v > 0.0f ? 1 : v < 0.0f ? -1 : 0;
}
} // namespace

bool TSteer::Begin(CPVect p, CPVect squid) {
    End();
    if (std::hypot(p.x - squid.x, p.y - squid.y) > kReach) {
        return false;
    }
    active_ = true;
    start_ = p;
    return true;
}

void TSteer::Move(CPVect p) {
    if (!active_) {
        return;
    }
    const float dx = p.x - start_.x;
    const float dy = p.y - start_.y;
    if (std::hypot(dx, dy) < kDeadZone) {
        x_ = y_ = 0;
        return;
    }
    x_ = std::fabs(dx) > kSlice * std::fabs(dy) ? sign(dx) : 0;
    y_ = std::fabs(dy) > kSlice * std::fabs(dx) ? sign(dy) : 0;
}

void TSteer::End() {
    active_ = false;
    x_ = y_ = 0;
}
