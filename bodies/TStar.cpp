#include "bodies/TStar.hpp"

#include <array>
#include <span>

#include "bodies/LiveList.hpp"
#include "data/Resources.hpp"
#include "media/Graphics.hpp"
#include "physics/CPSpace.hpp"

namespace {

// Body coordinates, y down, all wound with negative signed area like every polygon here.
// The up corner's base is a little wider than the inner pentagon's top edge, so those two
// overlap; the other corners share their base with the pentagon.
constexpr std::array<CPVect, 5> kOuterPentagon{Vec2(0.0f, -15.2f), Vec2(-15.2f, -3.2f),
                                               Vec2(-9.6f, 14.4f), Vec2(9.6f, 14.4f),
                                               Vec2(15.2f, -3.2f)};
constexpr std::array<CPVect, 5> kInnerPentagon{
    Vec2(4.8f, -5.6f), Vec2(-4.8f, -5.6f), Vec2(-8.0f, 4.0f), Vec2(0.0f, 10.4f), Vec2(8.0f, 4.0f)};
constexpr std::array<CPVect, 3> kUpCorner{Vec2(0.0f, -15.2f), Vec2(-5.6f, -4.8f),
                                          Vec2(5.6f, -4.8f)};
constexpr std::array<CPVect, 3> kRightCorner{Vec2(4.8f, -5.6f), Vec2(8.0f, 4.0f),
                                             Vec2(15.2f, -3.2f)};
constexpr std::array<CPVect, 3> kLeftCorner{Vec2(-4.8f, -5.6f), Vec2(-15.2f, -3.2f),
                                            Vec2(-8.0f, 4.0f)};
constexpr std::array<CPVect, 3> kDownRightCorner{Vec2(8.0f, 4.0f), Vec2(0.0f, 10.4f),
                                                 Vec2(9.6f, 14.4f)};
constexpr std::array<CPVect, 3> kDownLeftCorner{Vec2(-8.0f, 4.0f), Vec2(-9.6f, 14.4f),
                                                Vec2(-0.0f, 10.4f)};

} // namespace

void TStar::Init(const std::shared_ptr<TLayer>& layer_, CPVect p, int style, float mass, int life,
                 float elasticity, float friction) {
    layer = layer_;
    _life = life;
    // The body turns like the full star whichever pieces collide.
    _body = CPBody::Create(mass, MomentForPoly(mass, kOuterPentagon, ZeroVect));
    _body->SetPosition(p);
    _body->SetData(static_cast<TObject*>(this));
    const std::span<const CPVect> pentagon = style != 0 ? std::span<const CPVect>(kInnerPentagon)
                                                        : std::span<const CPVect>(kOuterPentagon);
    _pentagoneShape = CPPolyShape::Create(_body, pentagon, ZeroVect);
    auto& space = *layer->spaceMap;
    space.AddBody(_body);
    _pentagoneShape->SetElasticity(elasticity);
    _pentagoneShape->SetFriction(friction);
    _pentagoneShape->SetCollisionType(4);
    space.AddShape(_pentagoneShape);
    if (style != 1) {
        return;
    }
    auto corner = [&](std::span<const CPVect> verts) {
        auto shape = CPPolyShape::Create(_body, verts, ZeroVect);
        shape->SetElasticity(elasticity);
        shape->SetFriction(friction);
        shape->SetCollisionType(3);
        space.AddShape(shape);
        return shape;
    };
    _upCornerShape = corner(kUpCorner);
    _rightCornerShape = corner(kRightCorner);
    _leftCornerShape = corner(kLeftCorner);
    _downRightCornerShape = corner(kDownRightCorner);
    _downLeftCornerShape = corner(kDownLeftCorner);
}

void TStar::update() {
    // Damping neither wakes a sleeping body nor keeps an awake one from falling asleep.
    _body->DampVelocity(0.98f);
    if (IsOffLevel(_body->GetPosition(), *layer)) {
        _life = 0;
    }
}

CPVect TStar::DrawCentre() const {
    return _body->GetPosition();
}

void TStar::Draw() {
    const CPVect p = _body->GetPosition();
    SetBlend(Blend::Alpha);
    SetRotation(_body->GetAngle());
    DrawImage(*starImage, p.x, p.y, 0);
    // The 64x64 glow is centred on the 32x32 star and turns with it.
    SetBlend(Blend::Light);
    SetAlpha(0.4f);
    DrawImage(*brightStarImage, p.x, p.y, 0);
    SetAlpha(1.0f);
    SetRotation(0.0f);
    SetBlend(Blend::Mask);
}

void TStar::release() {
    if (_body) {
        _body->Free();
    }
    // The five corners exist together or not at all.
    if (_upCornerShape) {
        _upCornerShape->Free();
        _rightCornerShape->Free();
        _leftCornerShape->Free();
        _downRightCornerShape->Free();
        _downLeftCornerShape->Free();
    }
    if (_pentagoneShape) {
        _pentagoneShape->Free();
    }
}
