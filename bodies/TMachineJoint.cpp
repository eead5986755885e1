#include "bodies/TMachineJoint.hpp"

#include <array>
#include <cmath>

#include "data/Resources.hpp"
#include "media/Graphics.hpp"
#include "media/audio/TSound.hpp"
#include "physics/CPDampedSpring.hpp"
#include "physics/CPPivotJoint.hpp"
#include "physics/CPRotaryLimitJoint.hpp"
#include "physics/CPSimpleMotor.hpp"
#include "physics/CPSlideJoint.hpp"
#include "physics/CPSpace.hpp"

namespace {

bool Pinned(JointKind kind) {
    return kind == JointKind::Hinge || kind == JointKind::Motor || kind == JointKind::Weld;
}

float DistanceToSegment(CPVect p, CPVect a, CPVect b) {
    const CPVect ab = b.Sub(a);
    const float l2 = ab.x * ab.x + ab.y * ab.y;
    float t = l2 > 0.0f ? ((p.x - a.x) * ab.x + (p.y - a.y) * ab.y) / l2 : 0.0f;
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    return p.Sub(a.Add(ab.Mult(t))).Length();
}

// Lines around c at radius r from angle `from` through `sweep` degrees in `n` pieces.
void Arc(CPVect c, float r, float from, float sweep, int n) {
    float x0 = c.x + r * static_cast<float>(CosDeg(from));
    float y0 = c.y + r * static_cast<float>(SinDeg(from));
    for (int i = 1; i <= n; ++i) {
        const float a = from + sweep * static_cast<float>(i) / static_cast<float>(n);
        const float x1 = c.x + r * static_cast<float>(CosDeg(a));
        const float y1 = c.y + r * static_cast<float>(SinDeg(a));
        DrawLine(x0, y0, x1, y1);
        x0 = x1;
        y0 = y1;
    }
}

void Ring(CPVect c) {
    Arc(c, 5.0f, 0.0f, 360.0f, 12);
    DrawRect(c.x - 1.0f, c.y - 1.0f, 2.0f, 2.0f);
}

// Three quarters of a circle round the hinge, with a head at the end the motor turns to.
void TurnArrow(CPVect c, float rate, float angle) {
    constexpr float r = 10.0f;
    const float dir = rate >= 0.0f ? 1.0f : -1.0f;
    // The arrow turns with the body, so a running motor shows as running.
    const float from = angle;
    const float sweep = 270.0f * dir;
    Arc(c, r, from, sweep, 12);
    const float end = from + sweep;
    const CPVect tip = {c.x + r * static_cast<float>(CosDeg(end)),
                        c.y + r * static_cast<float>(SinDeg(end))};
    // Along the circle at the tip, in the turning direction.
    const CPVect along = {-static_cast<float>(SinDeg(end)) * dir,
                          static_cast<float>(CosDeg(end)) * dir};
    const CPVect out = {static_cast<float>(CosDeg(end)), static_cast<float>(SinDeg(end))};
    const CPVect back = tip.Sub(along.Mult(4.0f));
    const CPVect h1 = back.Add(out.Mult(3.0f)), h2 = back.Sub(out.Mult(3.0f));
    DrawLine(tip.x, tip.y, h1.x, h1.y);
    DrawLine(tip.x, tip.y, h2.x, h2.y);
}

// Eight teeth between a and b, as wide whatever the stretch, so the spring's stretching shows.
void Zigzag(CPVect a, CPVect b) {
    constexpr int kTeeth = 8;
    constexpr float kWidth = 4.0f;
    const CPVect ab = b.Sub(a);
    const float length = ab.Length();
    if (length < 1.0f) {
        return;
    }
    const CPVect side = Vec2(-ab.y / length, ab.x / length).Mult(kWidth);
    CPVect last = a;
    for (int i = 0; i < 2 * kTeeth; ++i) {
        const float t = (static_cast<float>(i) + 0.5f) / static_cast<float>(2 * kTeeth);
        const CPVect p = a.Add(ab.Mult(t)).Add(side.Mult(i % 2 == 0 ? 1.0f : -1.0f));
        DrawLine(last.x, last.y, p.x, p.y);
        last = p;
    }
    DrawLine(last.x, last.y, b.x, b.y);
}

// A hexagonal bolt head with its slot, turned with the body.
void Bolt(CPVect c, float angle) {
    Arc(c, 5.0f, angle + 30.0f, 360.0f, 6);
    const CPVect d = {3.0f * static_cast<float>(CosDeg(angle)),
                      3.0f * static_cast<float>(SinDeg(angle))};
    DrawLine(c.x - d.x, c.y - d.y, c.x + d.x, c.y + d.y);
}

} // namespace

void TMachineJoint::Init(const std::shared_ptr<TLayer>& layer_, const std::shared_ptr<CPBody>& a,
                         const std::shared_ptr<CPBody>& b, CPVect anchorA, CPVect anchorB,
                         const Params& params) {
    float length = 0.0f, angle = 0.0f;
    if (a && b && !a->IsFreed() && !b->IsFreed()) {
        length = a->LocalToWorld(anchorA).Sub(b->LocalToWorld(anchorB)).Length();
        angle = b->GetAngle() - a->GetAngle();
    }
    Init(layer_, a, b, anchorA, anchorB, length, angle, params);
}

void TMachineJoint::Init(const std::shared_ptr<TLayer>& layer_, const std::shared_ptr<CPBody>& a,
                         const std::shared_ptr<CPBody>& b, CPVect anchorA, CPVect anchorB,
                         float length, float angle, const Params& params) {
    layer = layer_;
    _bodyA = a;
    _bodyB = b;
    _anchorA = anchorA;
    _anchorB = anchorB;
    _length = length;
    _angle = angle;
    _params = params;
    _life = 1;
    // Counted in the space's steps, as a chain's grace: a joint made stretched (a rope across a
    // gap, a scene's spring) settles before its force is judged.
    _cycle = static_cast<int>(layer->spaceMap->StepsTaken() + kGraceSteps);
    build();
    if (!IsIntact()) {
        release();
        _life = 0;
    }
}

void TMachineJoint::build() {
    const auto& a = _bodyA;
    const auto& b = _bodyB;
    auto& space = *layer->spaceMap;
    switch (_params.kind) {
    case JointKind::Hinge:
    case JointKind::Motor:
    case JointKind::Weld: {
        _joint = CPPivotJoint::Create(a, b, _anchorA, _anchorB);
        if (_params.kind == JointKind::Motor) {
            // The first body turns against the second: b drives a.
            auto motor = CPSimpleMotor::Create(b, a, _params.motorRate);
            motor->SetMaxForce(_params.motorOn ? _params.motorTorque : 0.0f);
            _extra = motor;
        } else if (_params.kind == JointKind::Weld) {
            // The pivot holds the point, the closed limit the angle between them.
            _extra = CPRotaryLimitJoint::Create(a, b, _angle, _angle);
        }
        // Bodies pinned where they overlap (an axle through a wheel and a frame) would push
        // each other apart for ever.
        _joint->SetCollideBodies(false);
        if (_extra) {
            _extra->SetCollideBodies(false);
        }
        break;
    }
    case JointKind::Spring:
        _joint = CPDampedSpring::Create(a, b, _anchorA, _anchorB, _length, _params.stiffness,
                                        _params.damping);
        break;
    case JointKind::Rope:
        _joint = CPSlideJoint::Create(a, b, _anchorA, _anchorB, 0.0f, _length);
        break;
    }
    if (_joint) {
        space.AddJoint(_joint);
    }
    if (_extra) {
        space.AddJoint(_extra);
    }
}

void TMachineJoint::release() {
    if (_extra) {
        _extra->Free();
        _extra.reset();
    }
    if (_joint) {
        _joint->Free();
        _joint.reset();
    }
}

bool TMachineJoint::IsIntact() const {
    if (!_joint || _joint->IsFreed() || (_extra && _extra->IsFreed())) {
        return false;
    }
    // A motor and a weld need their second joint.
    if (!_extra && (_params.kind == JointKind::Motor || _params.kind == JointKind::Weld)) {
        return false;
    }
    return _bodyA && _bodyB && !_bodyA->IsFreed() && !_bodyB->IsFreed();
}

CPVect TMachineJoint::WorldAnchorA() const {
    return _bodyA->LocalToWorld(_anchorA);
}

CPVect TMachineJoint::WorldAnchorB() const {
    return _bodyB->LocalToWorld(_anchorB);
}

void TMachineJoint::update() {
    if (!IsIntact()) {
        // A body of it was freed (off the level, a broken chain, a removed squid): its physics
        // joints went with it. What is left goes now.
        release();
        _life = 0;
        return;
    }
    if (_params.breakForce <= 0.0f ||
        static_cast<std::int32_t>(layer->spaceMap->StepsTaken() -
                                  static_cast<std::uint32_t>(_cycle)) < 0) {
        return;
    }
    if (_joint->GetImpulse() / kStepSeconds <= _params.breakForce) {
        return;
    }
    release();
    _life = 0;
    if (metalDropSound) {
        metalDropSound->Play();
    }
}

void TMachineJoint::Change(const Params& params) {
    if (!IsIntact()) {
        return;
    }
    // The library's joints keep their kind: new settings are new joints. The grace goes on.
    release();
    if (params.kind == JointKind::Weld && _params.kind != JointKind::Weld) {
        _angle = _bodyB->GetAngle() - _bodyA->GetAngle();
    }
    _params = params;
    build();
    if (!IsIntact()) {
        release();
        _life = 0;
    }
}

void TMachineJoint::Draw() {
    if (!IsIntact()) {
        return;
    }
    DrawMark(_params, WorldAnchorA(), WorldAnchorB(), _bodyA->GetAngle());
}

void TMachineJoint::DrawMark(const Params& params, CPVect a, CPVect b, float angle) {
    switch (params.kind) {
    case JointKind::Hinge:
        SetColor(255, 214, 0);
        Ring(a);
        break;
    case JointKind::Motor:
        if (params.motorOn) {
            SetColor(255, 120, 0);
        } else {
            SetColor(150, 150, 150);
        }
        Ring(a);
        TurnArrow(a, params.motorRate, angle);
        break;
    case JointKind::Spring:
        SetColor(40, 200, 255);
        Zigzag(a, b);
        break;
    case JointKind::Rope:
        SetColor(150, 95, 40);
        DrawLine(a.x, a.y, b.x, b.y);
        break;
    case JointKind::Weld:
        SetColor(190, 190, 205);
        Bolt(a, angle);
        break;
    }
    SetColor(255, 255, 255);
}

void TMachineJoint::DrawMarks() {
    if (!liveList) {
        return;
    }
    for (const std::shared_ptr<TMachineJoint>& joint : *liveList) {
        if (joint && joint->_life != 0) {
            joint->Draw();
        }
    }
}

std::shared_ptr<TMachineJoint> TMachineJoint::Place(const std::shared_ptr<TLayer>& layer_, CPVect p,
                                                    CPVect q, const Params& params) {
    auto& space = *layer_->spaceMap;
    const std::shared_ptr<CPBody>& level = layer_->staticBodyMap;
    std::array<std::shared_ptr<CPBody>, 2> under;
    std::shared_ptr<CPBody> a, b;
    CPVect pb = p;
    if (Pinned(params.kind)) {
        const int n = space.MovableBodiesAt(p, under);
        if (n == 0) {
            return nullptr;
        }
        a = under[0];
        b = n == 2 ? under[1] : level;
    } else {
        a = space.MovableBodiesAt(p, std::span(under).first(1)) == 1 ? under[0] : level;
        b = space.MovableBodiesAt(q, std::span(under).first(1)) == 1 ? under[0] : level;
        pb = q;
        if (a == b) {
            return nullptr; // the level to itself, or a body to itself
        }
    }
    if (!a || !b) {
        return nullptr; // no level to join to (a bare layer)
    }
    auto joint = Create();
    joint->Init(layer_, a, b, a->WorldToLocal(p), b->WorldToLocal(pb), params);
    if (!joint->IsIntact()) {
        joint->remove();
        return nullptr;
    }
    return joint;
}

std::shared_ptr<TMachineJoint> TMachineJoint::MarkAt(CPVect p, float reach) {
    std::shared_ptr<TMachineJoint> found;
    if (!liveList) {
        return found;
    }
    for (const std::shared_ptr<TMachineJoint>& joint : *liveList) {
        if (!joint || joint->_life == 0 || !joint->IsIntact()) {
            continue;
        }
        const CPVect a = joint->WorldAnchorA();
        const float d = Pinned(joint->_params.kind)
                            ? p.Sub(a).Length()
                            : DistanceToSegment(p, a, joint->WorldAnchorB());
        if (d <= reach) {
            found = joint; // later ones are newer
        }
    }
    return found;
}
