#include "control/TGrab.hpp"

#include <cmath>

#include "control/DebugDraw.hpp"
#include "media/Graphics.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPPivotJoint.hpp"
#include "physics/CPShape.hpp"
#include "physics/CPSpace.hpp"

namespace {
// Fraction of the joint's stretch left after one second: the body catches up with the pointer
// within a few frames but still lags and swings like a held object, not a welded one.
constexpr float kErrorBias = 0.00006f;
} // namespace

TGrab::~TGrab() {
    Drop();
}

bool TGrab::Begin(const std::shared_ptr<CPSpace>& space, CPVect p) {
    Drop();
    if (!space) {
        return false;
    }
    CPVect point = p;
    const std::shared_ptr<CPShape> shape = space->NearestMovableShape(p, kReach, point);
    if (!shape) {
        return false;
    }
    body_ = shape->GetBody();
    anchor_ = body_->WorldToLocal(point);
    mouse_ = CPBody::CreateKinematic();
    mouse_->SetPosition(point);
    space->AddBody(mouse_);
    joint_ = CPPivotJoint::Create(mouse_, body_, ZeroVect, anchor_);
    joint_->SetMaxForce(kMaxForce);
    joint_->SetErrorBias(kErrorBias);
    space->AddJoint(joint_);
    history_[0] = point;
    historyCount_ = 1;
    return true;
}

void TGrab::Follow(CPVect p) {
    if (!Check()) {
        return;
    }
    // The kinematic body is integrated by the steps: starting where the pointer was with the
    // velocity that takes it to p in one frame, it ends the frame under the pointer, and the
    // joint sees a moving pointer instead of one that jumps.
    const CPVect from = history_[0];
    mouse_->SetPosition(from);
    mouse_->SetVelocity(p.Sub(from).Mult(static_cast<float>(kFramesPerSecond)));
    for (int i = kHistory - 1; i > 0; --i) {
        history_[i] = history_[i - 1];
    }
    history_[0] = p;
    if (historyCount_ < kHistory) {
        ++historyCount_;
    }
}

void TGrab::Hold(CPVect p) {
    if (!Check()) {
        return;
    }
    // No step moves it now, and none should carry a stale velocity when the physics resumes.
    mouse_->SetPosition(p);
    mouse_->SetVelocity(ZeroVect);
    // The pointer's travel while paused is no motion of the body: the recent positions move
    // along with it, so a release now or just after resuming throws with the running frames'
    // velocity instead of the whole paused move at once.
    const CPVect shift = p.Sub(history_[0]);
    for (int i = 0; i < historyCount_; ++i) {
        history_[i] = history_[i].Add(shift);
    }
    history_[0] = p;
}

CPVect TGrab::PointerVelocity() const {
    if (historyCount_ < 2) {
        return ZeroVect;
    }
    // Averaged over the last few frames: pointer events arrive unevenly, one frame alone jitters.
    const int frames = historyCount_ - 1;
    return history_[0]
        .Sub(history_[frames])
        .Mult(static_cast<float>(kFramesPerSecond) / static_cast<float>(frames));
}

void TGrab::Release() {
    if (!Check()) {
        return;
    }
    const CPVect velocity = PointerVelocity();
    std::shared_ptr<CPBody> body = body_;
    Drop();
    body->SetVelocity(velocity);
}

void TGrab::Drop() {
    // Freeing the pointer's body frees the joint with it and takes both out of the space.
    if (mouse_) {
        mouse_->Free();
    }
    mouse_.reset();
    joint_.reset();
    body_.reset();
    historyCount_ = 0;
}

bool TGrab::Check() {
    if (!joint_) {
        return false;
    }
    // A removed body frees its joints at once, ours included: the grab ends with it.
    if (body_->IsFreed() || joint_->IsFreed()) {
        Drop();
        return false;
    }
    return true;
}

void TGrab::DrawLine() const {
    if (!joint_ || body_->IsFreed() || joint_->IsFreed()) {
        return;
    }
    const CPVect held = body_->LocalToWorld(anchor_);
    const CPVect pointer = history_[0];
    SetColor(255, 255, 0);
    ::DrawLine(held.x, held.y, pointer.x, pointer.y, 1);
    // The line is only a few pixels long while the body keeps up: a ring marks the held point.
    drawCircle(held.x, held.y, 5.0);
    SetColor(255, 255, 255);
}
