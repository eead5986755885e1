#include "bodies/TDrawn.hpp"

#include <cmath>
#include <numbers>

#include "bodies/LiveList.hpp"
#include "media/Graphics.hpp"
#include "physics/CPCircleShape.hpp"
#include "physics/CPPolyShape.hpp"
#include "physics/CPSpace.hpp"

namespace {

// Collision type of every drawn shape: a cube's, so that the border rules and grabs treat a
// drawn body as they treat a cube.
constexpr int kDrawnCollisionType = 1;

bool Finite(CPVect v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
}

} // namespace

TDrawn* TDrawn::CreatePolygon(const std::shared_ptr<TLayer>& layer_,
                              std::span<const CPVect> worldOutline, Material material, bool fixed,
                              OutlineFault& fault) {
    std::vector<std::vector<CPVect>> pieces;
    fault = SplitConvex(worldOutline, pieces);
    if (fault != OutlineFault::None) {
        return nullptr;
    }
    // The body's centre is the centroid of the whole area; the pieces are kept relative to it.
    double area = 0.0, cx = 0.0, cy = 0.0;
    for (const auto& piece : pieces) {
        const double a = OutlineArea(piece);
        const CPVect c = OutlineCentroid(piece);
        area += a;
        cx += a * double(c.x);
        cy += a * double(c.y);
    }
    const CPVect centre = Vec2(static_cast<float>(cx / area), static_cast<float>(cy / area));
    for (auto& piece : pieces) {
        for (CPVect& v : piece) {
            v = v.Sub(centre);
        }
    }
    return CreatePieces(layer_, pieces, centre, material, fixed, fault);
}

TDrawn* TDrawn::CreatePolygon(std::span<const CPVect> worldOutline, Material material, bool fixed,
                              OutlineFault& fault) {
    return CreatePolygon(layer, worldOutline, material, fixed, fault);
}

TDrawn* TDrawn::CreateCircle(const std::shared_ptr<TLayer>& layer_, CPVect centre, float radius,
                             Material material, bool fixed, OutlineFault& fault) {
    if (!Finite(centre) || !std::isfinite(radius)) {
        fault = OutlineFault::NotFinite;
        return nullptr;
    }
    if (2.0 * double(radius) < kMinPieceWidth) {
        fault = OutlineFault::TooThin;
        return nullptr;
    }
    if (2.0 * double(radius) > kMaxOutlineExtent) {
        fault = OutlineFault::TooLarge;
        return nullptr;
    }
    fault = OutlineFault::None;
    std::shared_ptr<TDrawn> drawn = Create();
    drawn->_radius = radius;
    drawn->_material = material;
    drawn->_fixed = fixed;
    layer = layer_;
    drawn->build(centre);
    return drawn.get();
}

TDrawn* TDrawn::CreateCircle(CPVect centre, float radius, Material material, bool fixed,
                             OutlineFault& fault) {
    return CreateCircle(layer, centre, radius, material, fixed, fault);
}

TDrawn* TDrawn::CreatePieces(const std::shared_ptr<TLayer>& layer_,
                             const std::vector<std::vector<CPVect>>& pieces, CPVect centre,
                             Material material, bool fixed, OutlineFault& fault) {
    fault = OutlineFault::None;
    if (!Finite(centre)) {
        fault = OutlineFault::NotFinite;
    } else if (pieces.empty()) {
        fault = OutlineFault::TooFewCorners;
    }
    for (const auto& piece : pieces) {
        if (fault != OutlineFault::None) {
            break;
        }
        fault = CheckOutline(piece);
        if (fault == OutlineFault::None && !IsConvexOutline(piece)) {
            fault = OutlineFault::CrossesItself;
        }
        if (fault == OutlineFault::None && ConvexWidth(piece) < kMinPieceWidth) {
            fault = OutlineFault::TooThin;
        }
    }
    if (fault != OutlineFault::None) {
        return nullptr;
    }
    std::shared_ptr<TDrawn> drawn = Create();
    drawn->_pieces = pieces;
    drawn->_material = material;
    drawn->_fixed = fixed;
    layer = layer_;
    drawn->build(centre);
    return drawn.get();
}

void TDrawn::build(CPVect centre) {
    _life = 100;
    const MaterialRow& row = MaterialInfo(_material);
    _body = _fixed ? CPBody::Create(INFINITY, INFINITY) : CPBody::Create(1.0f, 1.0f);
    _body->SetPosition(centre);
    _body->SetData(static_cast<TObject*>(this));
    layer->spaceMap->AddBody(_body);
    _reach = _radius;
    if (IsCircle()) {
        _shapes.push_back(CPCircleShape::Create(_body, _radius, ZeroVect));
    } else {
        for (const auto& piece : _pieces) {
            _shapes.push_back(CPPolyShape::Create(_body, piece, ZeroVect));
            for (const CPVect& v : piece) {
                _reach = std::fmax(_reach, v.Length());
            }
        }
    }
    for (const auto& shape : _shapes) {
        shape->SetElasticity(row.elasticity);
        shape->SetFriction(row.friction);
        shape->SetCollisionType(kDrawnCollisionType);
        layer->spaceMap->AddShape(shape);
    }
    applyMass();
}

double TDrawn::Area() const {
    if (IsCircle()) {
        return std::numbers::pi * double(_radius) * double(_radius);
    }
    double area = 0.0;
    for (const auto& piece : _pieces) {
        area += OutlineArea(piece);
    }
    return area;
}

void TDrawn::applyMass() {
    if (_fixed || !_body) {
        return;
    }
    const float density = MaterialInfo(_material).density;
    const float mass = static_cast<float>(Area()) * density;
    float moment = 0.0f;
    if (IsCircle()) {
        moment = MomentForCircle(mass, 0.0f, _radius, ZeroVect);
    } else {
        for (const auto& piece : _pieces) {
            moment +=
                MomentForPoly(static_cast<float>(OutlineArea(piece)) * density, piece, ZeroVect);
        }
    }
    _body->SetMassAndMoment(mass, moment);
}

void TDrawn::setMaterial(Material m) {
    _material = m;
    const MaterialRow& row = MaterialInfo(m);
    for (const auto& shape : _shapes) {
        shape->SetElasticity(row.elasticity);
        shape->SetFriction(row.friction);
    }
    applyMass();
}

void TDrawn::setFixed(bool f) {
    if (f == _fixed || !_body) {
        return;
    }
    _fixed = f;
    _body->SetStatic(f, 1.0f, 1.0f);
    applyMass();
}

void TDrawn::moveTo(CPVect centre, float angleDegrees) {
    if (!_body) {
        return;
    }
    _body->WakeTouching();
    _body->SetPosition(centre);
    _body->SetAngle(angleDegrees);
    _body->SetVelocity(ZeroVect);
    _body->WakeTouching();
}

void TDrawn::update() {
    if (IsOffLevel(_body->GetPosition(), *layer)) {
        _life = 0;
    }
}

CPVect TDrawn::DrawCentre() const {
    return _body->GetPosition();
}

void TDrawn::Draw() {
    // Filled look comes next; the outline alone for now.
    const MaterialRow& row = MaterialInfo(_material);
    SetColor(row.outline.r, row.outline.g, row.outline.b);
    for (const auto& piece : _pieces) {
        for (std::size_t i = 0; i < piece.size(); ++i) {
            const CPVect a = _body->LocalToWorld(piece[i]);
            const CPVect b = _body->LocalToWorld(piece[(i + 1) % piece.size()]);
            DrawLine(a.x, a.y, b.x, b.y);
        }
    }
    SetColor(255, 255, 255);
}

void TDrawn::release() {
    if (_body) {
        _body->Free();
    }
    for (const auto& shape : _shapes) {
        shape->Free();
    }
}
