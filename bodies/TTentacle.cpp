#include "bodies/TTentacle.hpp"

#include <algorithm>
#include <array>

#include "bodies/LiveList.hpp"
#include "data/Resources.hpp"
#include "media/Graphics.hpp"
#include "physics/CPSpace.hpp"

void TTentacle::Init(const std::shared_ptr<TLayer>& layer_, const std::shared_ptr<CPBody>& body,
                     CPVect attach, int n, float size, float radius, float mass, int life,
                     float elasticity, float friction) {
    layer = layer_;
    _length = n;
    _size = size;
    _radius = radius;
    _life = life;
    const float r = radius;
    const CPVect s = body->GetPosition();
    const std::array<CPVect, 4> box{Vec2(-size, -2.0f), Vec2(-size, 2.0f), Vec2(size, 2.0f),
                                    Vec2(size, -2.0f)};
    auto& space = *layer->spaceMap;
    for (int i = 0; i <= n; ++i) {
        auto segment = CPBody::Create(mass, MomentForPoly(mass, box, ZeroVect));
        std::shared_ptr<CPCircleShape> pivot;
        std::shared_ptr<CPPinJoint> second;
        if (_bodyRect.Count() == 0) {
            // The first segment is a bigger bead without a box, hung 5 pixels below the
            // squid's left rim.
            const float big = 1.25f * r;
            segment->SetPosition(s.Add(Vec2(-big, 0.0f)));
            segment->SetVelocityFunction(&TTentacle::applyVelocity);
            space.AddBody(segment);
            pivot = CPCircleShape::Create(segment, big, Vec2(-big, 0.0f));
            auto first = CPPinJoint::Create(body, segment, Vec2(-big, 0.0f), attach);
            _joint.AddLast(first);
            space.AddJoint(first);
            second = CPPinJoint::Create(segment, body, attach, Vec2(-big, 0.0f));
        } else {
            segment->SetPosition(s.Add(Vec2(-2.0f * r - 3.0f * r * static_cast<float>(i), 0.0f)));
            segment->SetVelocityFunction(&TTentacle::applyVelocity);
            space.AddBody(segment);
            auto rect = CPPolyShape::Create(segment, box, ZeroVect);
            rect->SetElasticity(elasticity);
            rect->SetFriction(friction);
            rect->SetCollisionType(5);
            _shapeRect.AddLast(rect);
            space.AddShape(rect);
            pivot = CPCircleShape::Create(segment, r, Vec2(-r, 0.0f));
            const std::shared_ptr<CPBody> prev = _bodyRect.Last();
            auto first = CPPinJoint::Create(prev, segment, Vec2(-r, 0.0f), Vec2(r, 0.0f));
            _joint.AddLast(first);
            space.AddJoint(first);
            second = CPPinJoint::Create(segment, prev, Vec2(r, 0.0f), Vec2(-r, 0.0f));
        }
        segment->SetData(static_cast<TObject*>(this));
        space.AddJoint(second);
        pivot->SetElasticity(elasticity);
        pivot->SetFriction(friction);
        pivot->SetCollisionType(5);
        space.AddShape(pivot);
        _bodyRect.AddLast(segment);
        _shapePivot.AddLast(pivot);
        _joint.AddLast(second);
    }
}

int TTentacle::applyVelocity(CPBody& body, CPVect /*gravity*/, float damping, float dt) {
    body.ResetForces();
    body.UpdateVelocity(Vec2(0.0f, 10.0f), damping, dt);
    return 0;
}

void TTentacle::update() {}

void TTentacle::Draw() {
    const float r = _radius;
    SetScale(1.25f * r / 15.0f, 1.25f * r / 15.0f);
    SetAlpha(1.0f);
    SetLineWidth(4.0f);
    SetBlend(Blend::Alpha);
    int k = 0;
    bool havePrev = false;
    CPVect q;
    for (const std::shared_ptr<CPCircleShape>& pivot : _shapePivot) {
        if (!pivot) {
            continue;
        }
        const CPVect p = pivot->GetTransformedCenter();
        if (havePrev) {
            k += 10;
            SetRotation(0.0f);
            SetScale(1.0f, 1.0f);
            // Long tentacles would go below black; they stay black instead.
            SetColor(0, 0, std::max(0, 255 - k));
            SetAlpha(0.2f);
            DrawLine(q.x, q.y, p.x, p.y, 1);
            SetScale(r / 15.0f, r / 15.0f);
            SetAlpha(0.8f);
        }
        const int grey = std::max(0, 255 - k);
        SetColor(grey, grey, grey);
        SetRotation(pivot->GetBody()->GetAngle());
        DrawImage(*blueBallImage, p.x, p.y, 0);
        q = p;
        havePrev = true;
    }
    SetLineWidth(1.0f);
    SetRotation(0.0f);
    SetScale(1.0f, 1.0f);
    SetAlpha(1.0f);
    SetBlend(Blend::Mask);
    SetColor(255, 255, 255);
}

void TTentacle::release() {
    // Joints first: some of them hold the squid's body, which may already be gone (its
    // Free took those joints out of the space; freeing them again is harmless).
    for (auto& j : _joint) {
        if (j) {
            j->Free();
        }
    }
    for (auto& s : _shapeRect) {
        if (s) {
            s->Free();
        }
    }
    for (auto& s : _shapePivot) {
        if (s) {
            s->Free();
        }
    }
    for (auto& b : _bodyRect) {
        if (b) {
            b->Free();
        }
    }
}

int TTentacle::Count() const {
    return _bodyRect.Count();
}

int TTentacle::CountAll() {
    if (!liveList) {
        return 0;
    }
    int total = 0;
    for (auto& t : *liveList) {
        if (t) {
            total += t->Count();
        }
    }
    return total;
}

int TTentacle::CountInstances() {
    return LiveBody::Count();
}
