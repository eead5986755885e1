#include "bodies/TDrawn.hpp"

#include <algorithm>
#include <array>
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

// Width of the darker edge round a drawn body (pixels).
constexpr float kEdgeWidth = 2.0f;

// A bolt head: a hexagon 3.5 pixels across its corners.
constexpr CPVect kBolt[6] = {{3.5f, 0.0f},  {1.75f, 3.03f},   {-1.75f, 3.03f},
                             {-3.5f, 0.0f}, {-1.75f, -3.03f}, {1.75f, -3.03f}};

bool Finite(CPVect v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
}

// The convex polygon with each edge i moved in by inset[i] pixels (corners where the moved
// edges meet). A straight corner keeps its place moved along its edges' normal.
std::vector<CPVect> InsetEdges(const std::vector<CPVect>& convex, const std::vector<float>& inset) {
    const std::size_t n = convex.size();
    const double sign = SignedOutlineArea(convex) < 0.0 ? -1.0 : 1.0;
    // Edge i from corner i to i + 1: a point on its moved line and its direction.
    struct Line {
        double px, py, dx, dy, nx, ny;
    };
    std::vector<Line> lines(n);
    for (std::size_t i = 0; i < n; ++i) {
        const CPVect a = convex[i], b = convex[(i + 1) % n];
        const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
        const double len = std::hypot(dx, dy);
        const double nx = -sign * dy / len, ny = sign * dx / len; // inwards
        lines[i] = {a.x + nx * inset[i], a.y + ny * inset[i], dx, dy, nx, ny};
    }
    std::vector<CPVect> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Line& l0 = lines[(i + n - 1) % n];
        const Line& l1 = lines[i];
        const double cross = l0.dx * l1.dy - l0.dy * l1.dx;
        if (std::fabs(cross) < 1e-9) {
            out[i] = Vec2(static_cast<float>(l1.px), static_cast<float>(l1.py));
            continue;
        }
        const double t = ((l1.px - l0.px) * l1.dy - (l1.py - l0.py) * l1.dx) / cross;
        out[i] = Vec2(static_cast<float>(l0.px + t * l0.dx), static_cast<float>(l0.py + t * l0.dy));
    }
    return out;
}

// True when another polygon of `polygons` has the edge b -> a.
bool SharedEdge(const std::vector<std::vector<CPVect>>& polygons, CPVect a, CPVect b) {
    for (const auto& polygon : polygons) {
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            if (polygon[i] == b && polygon[(i + 1) % polygon.size()] == a) {
                return true;
            }
        }
    }
    return false;
}

// Parallel lines `gap` apart at `turn` degrees, cut to the convex polygon, appended as pairs.
void AddStripes(const std::vector<CPVect>& convex, float gap, float turn,
                std::vector<CPVect>& pairs) {
    const double a = double(turn) * std::numbers::pi / 180.0;
    const double dx = std::cos(a), dy = std::sin(a); // along the lines
    const double nx = -dy, ny = dx;                  // across them
    double lo = INFINITY, hi = -INFINITY;
    for (const CPVect& v : convex) {
        const double s = v.x * nx + v.y * ny;
        lo = std::min(lo, s);
        hi = std::max(hi, s);
    }
    // Lines at whole multiples of the gap, so that the stripes of neighbouring pieces meet.
    for (double s = std::ceil(lo / gap) * gap; s < hi; s += gap) {
        // Cut the line {s * n + t * d} to the polygon: t between the entry and the exit.
        double t0 = -INFINITY, t1 = INFINITY;
        const std::size_t n = convex.size();
        const double sign = SignedOutlineArea(convex) < 0.0 ? -1.0 : 1.0;
        for (std::size_t i = 0; i < n; ++i) {
            const CPVect p = convex[i], q = convex[(i + 1) % n];
            // Inward normal of edge p -> q.
            const double ix = -sign * (double(q.y) - p.y), iy = sign * (double(q.x) - p.x);
            const double base = (s * nx - p.x) * ix + (s * ny - p.y) * iy;
            const double rate = dx * ix + dy * iy;
            if (rate == 0.0) {
                if (base < 0.0) {
                    t0 = INFINITY;
                }
            } else if (rate > 0.0) {
                t0 = std::max(t0, -base / rate);
            } else {
                t1 = std::min(t1, -base / rate);
            }
        }
        if (t1 - t0 > 1.0) {
            pairs.push_back(
                Vec2(static_cast<float>(s * nx + t0 * dx), static_cast<float>(s * ny + t0 * dy)));
            pairs.push_back(
                Vec2(static_cast<float>(s * nx + t1 * dx), static_cast<float>(s * ny + t1 * dy)));
        }
    }
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
    } else if (pieces.size() > static_cast<std::size_t>(kMaxConvexPieces)) {
        fault = OutlineFault::TooManyCorners;
    }
    for (const auto& piece : pieces) {
        if (fault != OutlineFault::None) {
            break;
        }
        fault = CheckConvexPiece(piece);
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
    if (IsCircle()) {
        _shapes.push_back(CPCircleShape::Create(_body, _radius, ZeroVect));
    } else {
        for (const auto& piece : _pieces) {
            _shapes.push_back(CPPolyShape::Create(_body, piece, ZeroVect));
        }
    }
    prepareLook();
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
    prepareLook();
}

void TDrawn::setFixed(bool f) {
    if (f == _fixed || !_body) {
        return;
    }
    _fixed = f;
    _body->SetStatic(f, 1.0f, 1.0f);
    applyMass();
    prepareLook();
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

void TDrawn::prepareLook() {
    const MaterialRow& row = MaterialInfo(_material);
    _look = Look{};
    auto colour = [](MaterialColour c, float alpha) {
        return DrawColour{c.r, c.g, c.b, static_cast<unsigned char>(alpha * 255.0f + 0.5f)};
    };
    auto add = [&](std::span<const CPVect> polygon, DrawColour c) {
        _look.corners.insert(_look.corners.end(), polygon.begin(), polygon.end());
        _look.counts.push_back(static_cast<int>(polygon.size()));
        _look.colours.push_back(c);
    };
    // A straight band a pixel or so wide from a to b.
    auto band = [&](CPVect a, CPVect b, float width, DrawColour c) {
        const CPVect d = b.Sub(a);
        const float length = d.Length();
        if (length <= 0.0f) {
            return;
        }
        const CPVect n = Vec2(-d.y, d.x).Mult(width / 2.0f / length);
        const CPVect quad[4] = {a.Add(n), b.Add(n), b.Sub(n), a.Sub(n)};
        add(quad, c);
    };
    std::vector<std::vector<CPVect>> pieces = _pieces;
    if (IsCircle()) {
        // Enough corners that the edge reads round at its size.
        const int corners = std::clamp(static_cast<int>(_radius / 2.0f), 12, 48);
        auto& ring = pieces.emplace_back();
        for (int i = 0; i < corners; ++i) {
            const double a = 2.0 * std::numbers::pi * i / corners;
            ring.push_back(Vec2(static_cast<float>(_radius * std::cos(a)),
                                static_cast<float>(_radius * std::sin(a))));
        }
    }
    // Each piece's inside stops short of the edges no other piece shares, and a band of the
    // edge's colour fills the gap: the seams between pieces do not show, and a see-through
    // inside does not show an edge beneath it.
    std::vector<std::vector<CPVect>> insides;
    std::vector<float> inset;
    for (const auto& piece : pieces) {
        // A narrow piece keeps most of its inside: its edge takes at most a quarter of it.
        const float edge = std::min(kEdgeWidth, static_cast<float>(ConvexWidth(piece) / 4.0));
        inset.clear();
        for (std::size_t i = 0; i < piece.size(); ++i) {
            const bool outside = !SharedEdge(pieces, piece[i], piece[(i + 1) % piece.size()]);
            inset.push_back(outside ? edge : 0.0f);
        }
        insides.push_back(InsetEdges(piece, inset));
        add(insides.back(), colour(row.fill, row.alpha));
    }
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        const auto& piece = pieces[p];
        const auto& inside = insides[p];
        const std::size_t n = piece.size();
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t j = (i + 1) % n;
            if (piece[i] == inside[i] && piece[j] == inside[j]) {
                continue; // a shared edge: no band
            }
            const CPVect quad[4] = {piece[i], piece[j], inside[j], inside[i]};
            add(quad, colour(row.outline, 1.0f));
        }
    }
    if (row.stripeGap > 0.0f) {
        std::vector<CPVect> stripes;
        for (const auto& inside : insides) {
            AddStripes(inside, row.stripeGap, row.stripeTurn, stripes);
        }
        for (std::size_t i = 0; i + 1 < stripes.size(); i += 2) {
            band(stripes[i], stripes[i + 1], 1.0f, colour(row.stripe, 1.0f));
        }
    }
    if (IsCircle()) {
        // A spoke, so that a turning circle is seen to turn.
        band(ZeroVect, Vec2(_radius - kEdgeWidth, 0.0f), 1.5f, colour(row.outline, 1.0f));
    }
    if (_fixed) {
        // Bolts hold a fixed body to the world: a dark head with a bright dot on every piece.
        for (const auto& piece : pieces) {
            const CPVect c = IsCircle() ? ZeroVect : OutlineCentroid(piece);
            CPVect head[6];
            for (int i = 0; i < 6; ++i) {
                head[i] = c.Add(kBolt[i]);
            }
            add(head, DrawColour{40, 40, 44, 255});
            const CPVect dot[4] = {c.Add(Vec2(-1, -1)), c.Add(Vec2(1, -1)), c.Add(Vec2(1, 1)),
                                   c.Add(Vec2(-1, 1))};
            add(dot, DrawColour{230, 230, 220, 255});
        }
    }
    _look.seeThrough = row.alpha < 1.0f;
    _look.placed.resize(_look.corners.size());
    _reach = 0.0f;
    for (const CPVect& v : _look.corners) {
        _reach = std::fmax(_reach, v.Length());
    }
}

void TDrawn::Draw() {
    float ox = 0.0f, oy = 0.0f;
    GetOrigin(ox, oy);
    const CPVect p = _body->GetPosition();
    if (bodiesCullOffPicture && !MayShowOnPicture(p, _reach, ox, oy)) {
        return;
    }
    const CPVect rot = _body->GetRot();
    for (std::size_t i = 0; i < _look.corners.size(); ++i) {
        const CPVect w = p.Add(_look.corners[i].Rotate(rot));
        _look.placed[i] = DrawPoint{w.x, w.y};
    }
    if (_look.seeThrough) {
        SetBlend(Blend::Alpha);
    }
    FillConvexPolygons(_look.placed.data(), _look.counts.data(), _look.colours.data(),
                       static_cast<int>(_look.counts.size()));
    if (_look.seeThrough) {
        SetBlend(Blend::Mask);
    }
}

void TDrawn::release() {
    if (_body) {
        _body->Free();
    }
    for (const auto& shape : _shapes) {
        shape->Free();
    }
}
