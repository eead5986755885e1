#include "bodies/TPebble.hpp"

#include "data/Resources.hpp"
#include "media/Graphics.hpp"
#include "physics/CPSpace.hpp"

void TPebble::Init(const std::shared_ptr<TLayer>& layer_, CPVect p, const Params& k) {
    layer = layer_;
    _life = k.life;
    _body = CPBody::Create(k.mass, MomentForCircle(k.mass, 0.0f, k.radius, ZeroVect));
    _body->SetPosition(p);
    _body->SetData(static_cast<TObject*>(this));
    _shape = CPCircleShape::Create(_body, k.radius, ZeroVect);
    layer->spaceMap->AddBody(_body);
    _shape->SetCollisionType(1);
    layer->spaceMap->AddShape(_shape);
}

void TPebble::update() {
    if (IsOffLevel(_body->GetPosition(), *layer)) {
        _life = 0;
    }
}

void TPebble::Draw() {
    const CPVect c = _shape->GetTransformedCenter();
    SetBlend(3);
    SetScale(0.5f, 0.5f);
    DrawImage(*ballImage, c.x, c.y, 0);
    SetScale(1.0f, 1.0f);
    SetBlend(1);
}

void TPebble::release() {
    if (_body) {
        _body->Free();
    }
    if (_shape) {
        _shape->Free();
    }
}
