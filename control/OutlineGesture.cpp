#include "control/OutlineGesture.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "physics/ConvexSplit.hpp"

namespace {

float distance(CPVect a, CPVect b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

} // namespace

void OutlineGesture::begin(Tool tool) {
    tool_ = tool;
    cancel();
}

void OutlineGesture::cancel() {
    pressed_ = false;
    freehand_ = false;
    done_ = false;
    corners_.clear();
}

void OutlineGesture::press(CPVect p) {
    pressed_ = true;
    pressAt_ = p;
    pointer_ = p;
    if (tool_ == Tool::Polygon && corners_.empty()) {
        corners_.reserve(64);
    }
}

void OutlineGesture::move(CPVect p) {
    pointer_ = p;
    if (!pressed_ || tool_ != Tool::Polygon) {
        return;
    }
    // Only a press that starts the polygon draws freehand: with corners clicked, a drag is a
    // click that slipped.
    if (!freehand_ && corners_.empty() && distance(p, pressAt_) > kFreehandStart) {
        freehand_ = true;
        corners_.push_back(pressAt_);
    }
    if (freehand_ && distance(p, corners_.back()) >= kPathStep) {
        corners_.push_back(p);
    }
}

bool OutlineGesture::release(CPVect p, bool shift) {
    if (!pressed_) {
        return false;
    }
    move(p);
    switch (tool_) {
    case Tool::Box:
    case Tool::Circle:
        finished_ = Current(shift);
        pressed_ = false;
        done_ = true;
        return true;
    case Tool::Polygon:
        break;
    }
    pressed_ = false;
    if (freehand_) {
        // The pointer's samples thinned to the corners that tell the shape.
        finished_ = {};
        finished_.corners = SimplifyPath(corners_);
        cancel();
        done_ = true;
        return true;
    }
    const bool closes = corners_.size() >= 3 && (distance(p, corners_.front()) <= kCloseReach ||
                                                 distance(p, corners_.back()) <= kDoubleReach);
    if (closes) {
        return enter();
    }
    if (corners_.empty() || distance(p, corners_.back()) > kDoubleReach) {
        if (static_cast<int>(corners_.size()) < kMaxClickedCorners) {
            corners_.push_back(p);
        }
    }
    return false;
}

bool OutlineGesture::enter() {
    if (tool_ != Tool::Polygon || freehand_ || corners_.size() < 3) {
        return false;
    }
    finished_ = {};
    finished_.corners = std::move(corners_);
    cancel();
    done_ = true;
    return true;
}

OutlineGesture::Outline OutlineGesture::box(CPVect a, CPVect b, bool shift) const {
    if (shift) {
        // The square's side is the drag's longer reach, towards where the pointer went.
        const float side = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
        b = Vec2(a.x + (b.x < a.x ? -side : side), a.y + (b.y < a.y ? -side : side));
    }
    const float x0 = std::min(a.x, b.x), x1 = std::max(a.x, b.x);
    const float y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
    Outline out;
    out.corners = {Vec2(x0, y0), Vec2(x1, y0), Vec2(x1, y1), Vec2(x0, y1)};
    return out;
}

OutlineGesture::Outline OutlineGesture::Current(bool shift) const {
    Outline out;
    switch (tool_) {
    case Tool::Box:
        return pressed_ ? box(pressAt_, pointer_, shift) : out;
    case Tool::Circle:
        if (pressed_) {
            out.circle = true;
            out.centre = pressAt_;
            out.radius = distance(pointer_, pressAt_);
        }
        return out;
    case Tool::Polygon:
        out.corners = corners_;
        if (!freehand_ && !corners_.empty()) {
            out.corners.push_back(pointer_);
        }
        return out;
    }
    return out;
}

OutlineGesture::Outline OutlineGesture::Take() {
    done_ = false;
    return std::move(finished_);
}
