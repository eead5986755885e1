#include "bodies/TSquid.hpp"

#include "bodies/LiveList.hpp"
#include "data/Resources.hpp"
#include "media/Graphics.hpp"
#include "physics/CPSpace.hpp"

void TSquid::Init(const std::shared_ptr<TLayer>& layer_, CPVect p, int n, float radius, float mass,
                  int life, float elasticity, float friction) {
    layer = layer_;
    _life = life;
    _body = CPBody::Create(mass, MomentForCircle(mass, 0.0f, radius, ZeroVect));
    _body->SetPosition(p);
    _body->SetData(static_cast<TObject*>(this));
    _body->SetVelocityFunction(&TSquid::applyVelocity);
    layer->spaceMap->AddBody(_body);
    _shapeSquid = CPCircleShape::Create(_body, radius, ZeroVect);
    _shapeSquid->SetElasticity(elasticity);
    _shapeSquid->SetFriction(friction);
    _shapeSquid->SetCollisionType(6);
    layer->spaceMap->AddShape(_shapeSquid);
    _tentacle = TTentacle::Create();
    _tentacle->Init(layer, _body, Vec2(0.0f, 5.0f), n, radius / 1.25f, 8.0f, 0.75f, 100, 0.0f,
                    0.075f);
}

int TSquid::applyVelocity(CPBody& body, CPVect /*gravity*/, float damping, float dt) {
    // Forces never act on a squid: the player is steered by impulses.
    body.ResetForces();
    body.UpdateVelocity(Vec2(0.0f, 20.0f), damping, dt);
    return 0;
}

void TSquid::update() {
    // Damping neither wakes a sleeping body nor keeps an awake one from falling asleep.
    _body->DampVelocity(0.98f);
    if (IsOffLevel(_body->GetPosition(), *layer)) {
        _life = 0;
    }
}

void TSquid::Draw() {
    const CPVect c = _shapeSquid->GetTransformedCenter();
    SetBlend(Blend::Alpha);
    SetRotation(_body->GetAngle());
    // Same size whatever the radius: the player (12) and spawned squids (15) look alike.
    DrawImage(*blueBallImage, c.x, c.y, 0);
    SetRotation(0.0f);
    SetBlend(Blend::Mask);
}

bool TSquid::IsRemoved() const {
    return !_body || _body->IsFreed();
}

void TSquid::release() {
    if (_shapeSquid) {
        _shapeSquid->Free();
    }
    if (_body) {
        // Also takes the tentacle's first two joints (which hold this body) out of the space.
        _body->Free();
    }
}

void TSquid::remove() {
    release();
    // The tentacle hangs from the body just freed; its pass later in this frame frees it,
    // before the space is stepped again.
    if (_tentacle) {
        _tentacle->_life = 0;
    }
    RemoveFromLiveList(liveList.get(), this);
}

void TSquid::discard() {
    release();
    // Tentacles may be cleared before or after squids; releasing twice is harmless.
    if (_tentacle) {
        _tentacle->release();
        _tentacle->_life = 0;
    }
}
