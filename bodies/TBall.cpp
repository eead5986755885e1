#include "bodies/TBall.hpp"

#include "bodies/LiveList.hpp"
#include "data/Resources.hpp"
#include "media/Graphics.hpp"
#include "physics/CPSpace.hpp"

void TBall::Init(const std::shared_ptr<TLayer>& layer_, CPVect p, float radius, float mass,
                 int life, float elasticity, float friction) {
    layer = layer_;
    _life = life;
    _body = CPBody::Create(mass, MomentForCircle(mass, 0.0f, radius, ZeroVect));
    _body->SetPosition(p);
    _body->SetData(static_cast<TObject*>(this));
    _shape = CPCircleShape::Create(_body, radius, ZeroVect);
    layer->spaceMap->AddBody(_body);
    _shape->SetElasticity(elasticity);
    _shape->SetFriction(friction);
    _shape->SetCollisionType(1);
    layer->spaceMap->AddShape(_shape);
}

void TBall::update() {
    // Once per frame, on top of whatever damping the space applies per step.
    // Damping neither wakes a sleeping body nor keeps an awake one from falling asleep.
    _body->DampVelocity(0.98f);
    if (IsOffLevel(_body->GetPosition(), *layer)) {
        _life = 0;
    }
}

CPVect TBall::DrawCentre() const {
    return _shape->GetTransformedCenter();
}

void TBall::Draw() {
    const CPVect c = _shape->GetTransformedCenter();
    SetBlend(Blend::Alpha);
    SetRotation(_body->GetAngle());
    DrawImage(*ballImage, c.x, c.y, 0);
    // The highlight stays put while the ball turns under it.
    SetRotation(0.0f);
    DrawImage(*reflectBallImage, c.x, c.y, 0);
    SetBlend(Blend::Mask);
}

void TBall::release() {
    if (_body) {
        _body->Free();
    }
    if (_shape) {
        _shape->Free();
    }
}
