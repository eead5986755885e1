#include "bodies/TCube.hpp"

#include <array>

#include "bodies/LiveList.hpp"
#include "data/Resources.hpp"
#include "media/Graphics.hpp"
#include "physics/CPSpace.hpp"

void TCube::Init(const std::shared_ptr<TLayer>& layer_, CPVect p, float half, float mass, int life,
                 float elasticity, float friction) {
    layer = layer_;
    _life = life;
    // Negative signed area: the winding the physics library wants for convex polygons.
    const std::array<CPVect, 4> verts{Vec2(-half, -half), Vec2(-half, half), Vec2(half, half),
                                      Vec2(half, -half)};
    _body = CPBody::Create(mass, MomentForPoly(mass, verts, ZeroVect));
    _body->SetPosition(p);
    _body->SetData(static_cast<TObject*>(this));
    _shape = CPPolyShape::Create(_body, verts, ZeroVect);
    layer->spaceMap->AddBody(_body);
    _shape->SetElasticity(elasticity);
    _shape->SetFriction(friction);
    _shape->SetCollisionType(1);
    layer->spaceMap->AddShape(_shape);
}

void TCube::update() {
    if (IsOffLevel(_body->GetPosition(), *layer)) {
        _life = 0;
    }
}

CPVect TCube::DrawCentre() const {
    return _body->GetPosition();
}

void TCube::Draw() {
    const CPVect p = _body->GetPosition();
    SetBlend(Blend::Alpha);
    SetRotation(_body->GetAngle());
    DrawImage(*cubeImage, p.x, p.y, 0);
    SetRotation(0.0f);
    SetBlend(Blend::Mask);
}

void TCube::release() {
    if (_body) {
        _body->Free();
    }
    if (_shape) {
        _shape->Free();
    }
}
