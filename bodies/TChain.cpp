#include "bodies/TChain.hpp"

#include <cmath>
#include <cstdint>

#include "bodies/LiveList.hpp"
#include "data/Resources.hpp"
#include "media/Graphics.hpp"
#include "media/audio/TSound.hpp"
#include "physics/CPSpace.hpp"

void TChain::Init(const std::shared_ptr<TLayer>& layer_, CPVect p, int mode,
                  const std::shared_ptr<CPBody>& startAnchor,
                  const std::shared_ptr<CPBody>& endAnchor, int n, float gap, float radius,
                  float mass, int life, float elasticity, float friction) {
    layer = layer_;
    _length = static_cast<float>(n);
    _radius = radius;
    _life = life;
    // The grace is counted in the space's steps, not on the wall clock: the chain contracts as
    // the physics advances, and slow or stalled frames (heavy scenes) would otherwise use the
    // grace up before it has, so that it tore by itself.
    _cycle = static_cast<int>(layer->spaceMap->StepsTaken() + kGraceSteps);
    _strong = radius * 2.0f + gap;
    const float r = radius;
    const CPVect end = p.Add(Vec2(-2.0f * r * static_cast<float>(n), 0.0f));

    constexpr float kAnchorFriction = 0.05f;
    std::shared_ptr<CPBody> start;
    std::shared_ptr<CPBody> last;
    if (mode == 1 || mode == 2) {
        start = startAnchor ? startAnchor : createAnchors(p, INFINITY, 1, kAnchorFriction);
        if (endAnchor) {
            last = endAnchor;
        } else if (mode == 1) {
            last = createAnchors(end, INFINITY, 1, kAnchorFriction);
        } else {
            last = createAnchors(end, 1.0f, 0, kAnchorFriction);
        }
    } else {
        start = createAnchors(p, 1.0f, 0, kAnchorFriction);
        last = createAnchors(end, 1.0f, 0, kAnchorFriction);
    }

    auto& space = *layer->spaceMap;
    const CPVect a = start->GetPosition();
    for (int i = 0; i <= n; ++i) {
        auto link = CPBody::Create(mass, MomentForCircle(mass, 0.0f, r, ZeroVect));
        link->SetData(static_cast<TObject*>(this));
        // The circle sits r left of the body position, so consecutive links touch.
        auto circle = CPCircleShape::Create(link, r, Vec2(-r, 0.0f));
        circle->SetElasticity(elasticity);
        circle->SetFriction(friction);
        circle->SetCollisionType(8);
        std::shared_ptr<CPSlideJoint> joint;
        if (_body.Count() == 0) {
            link->SetPosition(a.Add(Vec2(-r, 0.0f)));
            joint = CPSlideJoint::Create(link, start, Vec2(-2.0f * r, 0.0f), ZeroVect, 0.0f, r);
            _startJoint = joint.get();
        } else {
            link->SetPosition(a.Add(Vec2(-r - 2.0f * r * static_cast<float>(i), 0.0f)));
            joint = CPSlideJoint::Create(link, _body.Last(), Vec2(-r, 0.0f), ZeroVect, 0.0f, r);
            if (static_cast<float>(_body.Count()) == _length && last) {
                space.AddJoint(joint);
                _joint.AddLast(joint);
                joint = CPSlideJoint::Create(last, link, Vec2(-r, 0.0f), ZeroVect, 0.0f, r);
                _endJoint = joint.get();
            }
        }
        space.AddBody(link);
        space.AddShape(circle);
        space.AddJoint(joint);
        _body.AddLast(link);
        _shape.AddLast(circle);
        _joint.AddLast(joint);
    }
}

std::shared_ptr<CPBody> TChain::createAnchors(CPVect position, float mass, int withShape,
                                              float friction) {
    // An infinite moment: anchors never turn.
    auto body = CPBody::Create(mass, INFINITY);
    body->SetPosition(position.Add(Vec2(112.0f, 0.0f)));
    auto circle = CPCircleShape::Create(body, 5.0f, ZeroVect);
    circle->SetFriction(friction);
    circle->SetCollisionType(7);
    // A body of infinite mass stays out of the space: nothing would move it anyway.
    if (std::isfinite(mass)) {
        layer->spaceMap->AddBody(body);
    }
    if (withShape == 1) {
        _shape.AddLast(circle);
        layer->spaceMap->AddShape(circle);
    }
    _anchorBody.AddLast(body);
    _anchorShape.AddLast(circle);
    return body;
}

void TChain::update() {
    // Through the difference, which stays right when the step count wraps.
    if (static_cast<std::int32_t>(layer->spaceMap->StepsTaken() -
                                  static_cast<std::uint32_t>(_cycle)) < 0) {
        return;
    }
    // Taking the joint out of _joint below leaves it readable until the loop moves on.
    for (const std::shared_ptr<CPSlideJoint>& joint : _joint) {
        if (!joint) {
            continue;
        }
        if (joint->IsFreed()) {
            // Its body was freed by someone else (a star tied to the end left the level):
            // the joint is already out of the space and its bodies must not be read.
            if (joint.get() == _startJoint) {
                _startJoint = nullptr;
            } else if (joint.get() == _endJoint) {
                _endJoint = nullptr;
            }
            _joint.Remove(joint);
            continue;
        }
        if (joint.get() == _startJoint || joint.get() == _endJoint) {
            continue;
        }
        // Distance of the two linked bodies' positions, not of the anchor points.
        const float d =
            joint->GetBodyA()->GetPosition().Sub(joint->GetBodyB()->GetPosition()).Length();
        if (d <= _strong) {
            continue;
        }
        _joint.Remove(joint);
        joint->Free();
        if (metalDropSound) {
            metalDropSound->Play();
        }
        return;
    }
}

void TChain::Draw() {
    const float scale = _radius / 7.0f;
    SetScale(scale, scale);
    SetAlpha(1.0f);
    SetColor(255, 255, 255);
    SetBlend(Blend::Alpha);
    for (const std::shared_ptr<CPCircleShape>& circle : _shape) {
        if (!circle) {
            continue;
        }
        const CPVect p = circle->GetTransformedCenter();
        const auto body = circle->GetBody();
        SetRotation(body->GetAngle());
        if (std::isinf(body->GetMass())) {
            DrawImage(*anchorImage, p.x, p.y, 0);
        } else {
            DrawImage(*linkImage, p.x, p.y, 0);
        }
    }
    SetRotation(0.0f);
    SetScale(1.0f, 1.0f);
    SetBlend(Blend::Mask);
}

void TChain::release() {
    // Everything Init and createAnchors made, joints first. Given anchors belong to others.
    for (auto& j : _joint) {
        if (j) {
            j->Free();
        }
    }
    for (auto& s : _shape) {
        if (s) {
            s->Free();
        }
    }
    for (auto& s : _anchorShape) {
        if (s) {
            s->Free();
        }
    }
    for (auto& b : _body) {
        if (b) {
            b->Free();
        }
    }
    // Fixed anchors never joined the space; freeing them just destroys them.
    for (auto& b : _anchorBody) {
        if (b) {
            b->Free();
        }
    }
    _startJoint = nullptr;
    _endJoint = nullptr;
}
