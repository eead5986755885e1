#include "control/TJointTools.hpp"

#include <array>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <utility>

#include "control/DebugDraw.hpp"
#include "control/TBodySteps.hpp"
#include "media/Graphics.hpp"
#include "physics/CPSpace.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

bool clicked(JointKind kind) {
    return kind == JointKind::Hinge || kind == JointKind::Motor || kind == JointKind::Weld;
}

bool holdsStill(const std::shared_ptr<CPBody>& body) {
    return body->IsStaticBody() || body->IsKinematicBody();
}

// The choice after value in a list of choices; a value not in the list goes to the first.
template <std::size_t N> float nextOf(const float (&choices)[N], float value) {
    for (std::size_t i = 0; i < N; ++i) {
        if (choices[i] == value) {
            return choices[(i + 1) % N];
        }
    }
    return choices[0];
}

std::string number(float value) {
    char text[16];
    if (value >= 1000.0f && std::fmod(value, 1000.0f) == 0.0f) {
        std::snprintf(text, sizeof text, "%dk", static_cast<int>(value / 1000.0f));
    } else {
        std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    }
    return text;
}

} // namespace

void TJointTools::init(std::shared_ptr<TLevel> level, TBodySteps* steps) {
    level_ = std::move(level);
    steps_ = steps;
    Cancel();
    refusedFrames_ = 0;
}

void TJointTools::begin(JointKind kind) {
    Cancel();
    next.kind = kind;
}

bool TJointTools::Cancel() {
    const bool was = dragging_;
    dragging_ = false;
    dragBody_.reset();
    return was;
}

void TJointTools::tick() {
    if (refusedFrames_ > 0) {
        --refusedFrames_;
    }
}

std::shared_ptr<CPBody> TJointTools::endAt(CPVect p) const {
    std::array<std::shared_ptr<CPBody>, 1> under;
    if (level_->_FGLayer->spaceMap->MovableBodiesAt(p, under) == 1) {
        return under[0];
    }
    return stillAt(p);
}

std::shared_ptr<CPBody> TJointTools::stillAt(CPVect p) const {
    // Fixed drawn bodies are no movable shapes for the space's queries; a joint to one follows
    // it when it is moved, as one to the level would not.
    TBodySteps::Found fixed;
    if (TBodySteps::FindFixedAt(p, fixed)) {
        return fixed.key;
    }
    return level_->_FGLayer->staticBodyMap;
}

std::string TJointTools::refusal(const std::shared_ptr<CPBody>& a,
                                 const std::shared_ptr<CPBody>& b) const {
    if (!a || !b) {
        return kCannot;
    }
    if (a == b) {
        return a == level_->_FGLayer->staticBodyMap ? kLevelOnly : kOneBody;
    }
    // Two bodies that hold still (the level, fixed drawn bodies) have nothing to join.
    return holdsStill(a) && holdsStill(b) ? kNothingHere : "";
}

std::string TJointTools::Ends(JointKind kind, CPVect p, CPVect q, std::shared_ptr<CPBody>& a,
                              std::shared_ptr<CPBody>& b) const {
    a.reset();
    b.reset();
    if (!level_ || !level_->_FGLayer || !level_->_FGLayer->spaceMap) {
        return kCannot;
    }
    if (clicked(kind)) {
        std::array<std::shared_ptr<CPBody>, 2> under;
        const int n = level_->_FGLayer->spaceMap->MovableBodiesAt(p, under);
        if (n == 0) {
            return kNothingHere;
        }
        a = under[0];
        b = n == 2 ? under[1] : stillAt(p);
        return {};
    }
    a = endAt(p);
    b = endAt(q);
    return refusal(a, b);
}

void TJointTools::refuse(CPVect at, std::string why) {
    refusedAt_ = at;
    refusedWhy_ = std::move(why);
    refusedFrames_ = kRefusedFrames;
}

void TJointTools::join(CPVect q) {
    std::shared_ptr<CPBody> a, b;
    std::string why;
    CPVect pa = q;
    if (clicked(next.kind)) {
        why = Ends(next.kind, q, q, a, b);
    } else if (!dragBody_ || dragBody_->IsFreed()) {
        why = kCannot; // the drag's start went (off the level, removed)
    } else {
        // The drag's start stays on the body it began on, wherever that has moved since.
        a = dragBody_;
        pa = a->LocalToWorld(dragAnchor_);
        b = endAt(q);
        why = refusal(a, b);
    }
    if (!why.empty()) {
        refuse(q, why);
        return;
    }
    auto joint = TMachineJoint::Create();
    joint->Init(level_->_FGLayer, a, b, a->WorldToLocal(pa), b->WorldToLocal(q), next);
    if (!joint->IsIntact()) {
        joint->remove();
        refuse(q, kCannot);
        return;
    }
    if (steps_ != nullptr) {
        steps_->JointMade(joint);
    }
}

void TJointTools::update(const ToolInput& in) {
    if (!level_ || !level_->_FGLayer) {
        return;
    }
    if (in.pressed) {
        if (clicked(next.kind)) {
            join(in.pressPoint);
            return;
        }
        dragging_ = true;
        dragBody_ = endAt(in.pressPoint);
        dragAnchor_ = dragBody_ ? dragBody_->WorldToLocal(in.pressPoint) : in.pressPoint;
    }
    if (!dragging_) {
        return;
    }
    dragPointer_ = in.held ? in.pointer : in.releasePoint;
    if (!in.held) {
        dragging_ = false;
        join(dragPointer_);
        dragBody_.reset();
    }
}

void TJointTools::draw(CPVect pointer) const {
    SetBlend(Blend::Alpha);
    if (dragging_ && dragBody_ && !dragBody_->IsFreed()) {
        // The spring or rope as it would be made now, stretching as the drag goes on; red with
        // its reason where it would join nothing.
        const CPVect start = dragBody_->LocalToWorld(dragAnchor_);
        const std::shared_ptr<CPBody> end = endAt(dragPointer_);
        const std::shared_ptr<CPBody>& levelBody = level_->_FGLayer->staticBodyMap;
        const std::string why = refusal(dragBody_, end);
        SetAlpha(0.85f);
        if (why.empty()) {
            TMachineJoint::DrawMark(next, start, dragPointer_, 0.0f);
        } else {
            SetColor(255, 70, 70);
            DrawLine(start.x, start.y, dragPointer_.x, dragPointer_.y);
            DrawText(why, dragPointer_.x + 8.0f, dragPointer_.y + 8.0f);
        }
        // Each end ringed where it holds a body.
        SetColor(255, 255, 255);
        for (const auto& [body, at] : {std::pair{dragBody_, start}, std::pair{end, dragPointer_}}) {
            if (body && body != levelBody) {
                drawCircle(at.x, at.y, 4.0);
            }
        }
    } else if (clicked(next.kind) && refusedFrames_ == 0) {
        // The mark the next click makes, faint, under the pointer.
        SetAlpha(0.6f);
        TMachineJoint::DrawMark(next, pointer, pointer, 0.0f);
    }
    if (refusedFrames_ > 0) {
        SetColor(255, 40, 40);
        SetAlpha(0.3f + 0.7f * static_cast<float>(refusedFrames_) / kRefusedFrames);
        const float r = 6.0f;
        DrawLine(refusedAt_.x - r, refusedAt_.y - r, refusedAt_.x + r, refusedAt_.y + r);
        DrawLine(refusedAt_.x - r, refusedAt_.y + r, refusedAt_.x + r, refusedAt_.y - r);
        DrawText(refusedWhy_, refusedAt_.x + 10.0f, refusedAt_.y + 4.0f);
    }
    SetAlpha(1.0f);
    SetColor(255, 255, 255);
}

TJointTools::Params TJointTools::Adjusted(const Params& params, const ToolInput::JointKeys& keys) {
    Params p = params;
    for (int i = 0; i < keys.speed; ++i) {
        const float sign = p.motorRate < 0.0f ? -1.0f : 1.0f;
        p.motorRate = sign * nextOf(TMachineJoint::kMotorRates, std::fabs(p.motorRate));
    }
    if (keys.reverse % 2 != 0) {
        p.motorRate = -p.motorRate;
    }
    if (keys.power % 2 != 0) {
        p.motorOn = !p.motorOn;
    }
    for (int i = 0; i < keys.stiffness; ++i) {
        p.stiffness = nextOf(TMachineJoint::kStiffnesses, p.stiffness);
    }
    for (int i = 0; i < keys.damping; ++i) {
        p.damping = nextOf(TMachineJoint::kDampings, p.damping);
    }
    for (int i = 0; i < keys.breaking; ++i) {
        p.breakForce = nextOf(TMachineJoint::kBreakForces, p.breakForce);
    }
    return p;
}

std::string TJointTools::Describe(const Params& params) {
    std::string line;
    if (params.kind == JointKind::Motor) {
        line += number(std::fabs(params.motorRate)) + "/s Z  ";
        line += params.motorRate >= 0.0f ? "clockwise A  " : "anticlockwise A  ";
        line += params.motorOn ? "on I  " : "off I  ";
    } else if (params.kind == JointKind::Spring) {
        line += "stiff " + number(params.stiffness) + " Y  damp " + number(params.damping) +
                " Shift+Y  ";
    }
    line += params.breakForce > 0.0f ? "breaks " + number(params.breakForce) + " End"
                                     : "unbreakable End";
    return line;
}
