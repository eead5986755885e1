#include "physics/ConvexSplit.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// The geometry is done in doubles: outlines come in floats, and their crossings and turns are
// decided far more surely with the extra bits.
struct P {
    double x, y;
};

P ToP(CPVect v) {
    return {double(v.x), double(v.y)};
}
P Sub(P a, P b) {
    return {a.x - b.x, a.y - b.y};
}
double Cross(P a, P b) {
    return a.x * b.y - a.y * b.x;
}
double Dot(P a, P b) {
    return a.x * b.x + a.y * b.y;
}
double Len(P a) {
    return std::sqrt(Dot(a, a));
}
// Twice the signed area of triangle abc: > 0 when c lies left of a->b in math orientation.
double Turn(P a, P b, P c) {
    return Cross(Sub(b, a), Sub(c, b));
}

// Corners closer than this are one corner (pixels).
constexpr double kSamePoint = 1e-3;
// A corner whose two edges turn by less than this sine runs straight on and is dropped.
constexpr double kStraight = 1e-7;
// An outline longer than this is refused before any cleaning: a hostile file's million corners
// must not cost n^2.
constexpr std::size_t kMaxRawCorners = 4 * kMaxOutlineCorners;

// Straight when the turn at b is negligible next to the lengths of its two edges.
bool Straight(P a, P b, P c) {
    const P u = Sub(b, a), v = Sub(c, b);
    return std::fabs(Cross(u, v)) <= kStraight * Len(u) * Len(v);
}

// Drops repeated corners and straight runs. False when an edge doubles back on the one before
// (a spike of zero width).
bool Clean(std::span<const CPVect> outline, std::vector<P>& out) {
    out.clear();
    for (const CPVect& v : outline) {
        const P p = ToP(v);
        if (out.empty() || Len(Sub(p, out.back())) > kSamePoint) {
            out.push_back(p);
        }
    }
    while (out.size() > 1 && Len(Sub(out.front(), out.back())) <= kSamePoint) {
        out.pop_back();
    }
    // Straight corners go one at a time: each removal may make its neighbours straight.
    bool removed = true;
    while (removed && out.size() >= 3) {
        removed = false;
        for (std::size_t i = 0; i < out.size() && out.size() >= 3; ++i) {
            const std::size_t n = out.size();
            const P a = out[(i + n - 1) % n], b = out[i], c = out[(i + 1) % n];
            if (Straight(a, b, c)) {
                if (Dot(Sub(b, a), Sub(c, b)) < 0.0) {
                    return false;
                }
                out.erase(out.begin() + static_cast<std::ptrdiff_t>(i));
                removed = true;
                --i;
            }
        }
    }
    return true;
}

// True when closed segments ab and cd share a point.
bool SegmentsMeet(P a, P b, P c, P d) {
    const double d1 = Cross(Sub(b, a), Sub(c, a)), d2 = Cross(Sub(b, a), Sub(d, a));
    const double d3 = Cross(Sub(d, c), Sub(a, c)), d4 = Cross(Sub(d, c), Sub(b, c));
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) {
        return true;
    }
    auto onSegment = [](P p, P q, P r) { // r on segment pq, given collinear
        return std::min(p.x, q.x) <= r.x && r.x <= std::max(p.x, q.x) &&
               std::min(p.y, q.y) <= r.y && r.y <= std::max(p.y, q.y);
    };
    return (d1 == 0 && onSegment(a, b, c)) || (d2 == 0 && onSegment(a, b, d)) ||
           (d3 == 0 && onSegment(c, d, a)) || (d4 == 0 && onSegment(c, d, b));
}

bool CrossesItself(const std::vector<P>& poly) {
    const std::size_t n = poly.size();
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i + 2; j < n; ++j) {
            if (i == 0 && j == n - 1) {
                continue; // neighbours through the closing corner
            }
            if (SegmentsMeet(poly[i], poly[(i + 1) % n], poly[j], poly[(j + 1) % n])) {
                return true;
            }
        }
    }
    return false;
}

double SignedArea(const std::vector<P>& poly) {
    double sum = 0.0;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        sum += Cross(poly[i], poly[(i + 1) % poly.size()]);
    }
    return sum / 2.0;
}

OutlineFault Check(std::span<const CPVect> outline, std::vector<P>& poly) {
    for (const CPVect& v : outline) {
        if (!std::isfinite(v.x) || !std::isfinite(v.y)) {
            return OutlineFault::NotFinite;
        }
    }
    if (outline.size() > kMaxRawCorners) {
        return OutlineFault::TooManyCorners;
    }
    if (!Clean(outline, poly)) {
        return OutlineFault::CrossesItself;
    }
    if (poly.size() < 3) {
        return OutlineFault::TooFewCorners;
    }
    if (poly.size() > static_cast<std::size_t>(kMaxOutlineCorners)) {
        return OutlineFault::TooManyCorners;
    }
    double minX = poly[0].x, maxX = minX, minY = poly[0].y, maxY = minY;
    for (const P& p : poly) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    if (maxX - minX > kMaxOutlineExtent || maxY - minY > kMaxOutlineExtent) {
        return OutlineFault::TooLarge;
    }
    if (CrossesItself(poly)) {
        return OutlineFault::CrossesItself;
    }
    if (std::fabs(SignedArea(poly)) < kMinOutlineArea) {
        return OutlineFault::TooSmall;
    }
    return OutlineFault::None;
}

// p inside triangle abc (counter-clockwise in math orientation) or on its edges.
bool InTriangle(P p, P a, P b, P c) {
    return Turn(a, b, p) >= 0.0 && Turn(b, c, p) >= 0.0 && Turn(c, a, p) >= 0.0;
}

// The smallest angle's sine-like measure of triangle abc: its least height over its longest
// edge. Clipping the fattest ear first keeps slivers, and so thin pieces, away.
double Fatness(P a, P b, P c) {
    const double twiceArea = std::fabs(Turn(a, b, c));
    const double longest = std::max({Len(Sub(b, a)), Len(Sub(c, b)), Len(Sub(a, c))});
    return twiceArea / (longest * longest);
}

// Ear clipping of a simple polygon wound with positive area: triangles as index triples.
bool Triangulate(const std::vector<P>& poly, std::vector<std::vector<int>>& triangles) {
    std::vector<int> rest(poly.size());
    for (std::size_t i = 0; i < rest.size(); ++i) {
        rest[i] = static_cast<int>(i);
    }
    auto at = [&](int index) { return poly[static_cast<std::size_t>(index)]; };
    while (rest.size() > 3) {
        const std::size_t n = rest.size();
        std::size_t best = n;
        double bestFatness = -1.0;
        for (std::size_t i = 0; i < n; ++i) {
            const int ia = rest[(i + n - 1) % n], ib = rest[i], ic = rest[(i + 1) % n];
            const P a = at(ia), b = at(ib), c = at(ic);
            const double turn = Turn(a, b, c);
            if (turn < 0.0) {
                continue; // reflex corner
            }
            if (turn == 0.0 || Straight(a, b, c)) {
                best = i; // a straight corner is dropped at once: it cuts nothing
                bestFatness = -2.0;
                break;
            }
            bool empty = true;
            for (std::size_t j = 0; j < n && empty; ++j) {
                const int ij = rest[j];
                if (ij == ia || ij == ib || ij == ic) {
                    continue;
                }
                const P p = at(ij);
                // A corner at the very spot of one of the ear's is no obstacle.
                if (Len(Sub(p, a)) <= kSamePoint || Len(Sub(p, c)) <= kSamePoint) {
                    continue;
                }
                empty = !InTriangle(p, a, b, c);
            }
            if (empty && Fatness(a, b, c) > bestFatness) {
                best = i;
                bestFatness = Fatness(a, b, c);
            }
        }
        if (best == n) {
            return false;
        }
        if (bestFatness > -2.0) {
            triangles.push_back({rest[(best + n - 1) % n], rest[best], rest[(best + 1) % n]});
        }
        rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(best));
    }
    triangles.push_back(rest);
    return true;
}

bool ConvexIndexed(const std::vector<P>& poly, const std::vector<int>& piece) {
    const std::size_t n = piece.size();
    for (std::size_t i = 0; i < n; ++i) {
        const P a = poly[static_cast<std::size_t>(piece[(i + n - 1) % n])];
        const P b = poly[static_cast<std::size_t>(piece[i])];
        const P c = poly[static_cast<std::size_t>(piece[(i + 1) % n])];
        if (Turn(a, b, c) < 0.0 && !Straight(a, b, c)) {
            return false;
        }
    }
    return true;
}

// Joins pieces that share an edge while the union stays convex (Hertel and Mehlhorn), the
// longest shared edge first: at most four times as many pieces as the fewest possible.
void MergeConvex(const std::vector<P>& poly, std::vector<std::vector<int>>& pieces) {
    for (;;) {
        double bestLength = -1.0;
        std::vector<int> bestMerged;
        std::size_t bestA = 0, bestB = 0;
        for (std::size_t a = 0; a < pieces.size(); ++a) {
            for (std::size_t b = a + 1; b < pieces.size(); ++b) {
                const auto& pa = pieces[a];
                const auto& pb = pieces[b];
                for (std::size_t i = 0; i < pa.size(); ++i) {
                    const int u = pa[i], v = pa[(i + 1) % pa.size()];
                    const auto it = std::find(pb.begin(), pb.end(), v);
                    if (it == pb.end()) {
                        continue;
                    }
                    const auto j = static_cast<std::size_t>(it - pb.begin());
                    if (pb[(j + 1) % pb.size()] != u) {
                        continue;
                    }
                    const double length = Len(
                        Sub(poly[static_cast<std::size_t>(v)], poly[static_cast<std::size_t>(u)]));
                    if (length <= bestLength) {
                        continue;
                    }
                    // a from v round to u, then b's corners strictly between u and v.
                    std::vector<int> merged;
                    for (std::size_t k = 0; k < pa.size(); ++k) {
                        merged.push_back(pa[(i + 1 + k) % pa.size()]);
                    }
                    for (std::size_t k = 2; k < pb.size(); ++k) {
                        merged.push_back(pb[(j + k) % pb.size()]);
                    }
                    if (ConvexIndexed(poly, merged)) {
                        bestLength = length;
                        bestMerged = std::move(merged);
                        bestA = a;
                        bestB = b;
                    }
                }
            }
        }
        if (bestLength < 0.0) {
            return;
        }
        pieces[bestA] = std::move(bestMerged);
        pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(bestB));
    }
}

double WidthOf(const std::vector<P>& convex) {
    double width = INFINITY;
    const std::size_t n = convex.size();
    for (std::size_t i = 0; i < n; ++i) {
        const P a = convex[i], b = convex[(i + 1) % n];
        const double length = Len(Sub(b, a));
        if (length <= 0.0) {
            continue;
        }
        double farthest = 0.0;
        for (const P& p : convex) {
            farthest = std::max(farthest, std::fabs(Cross(Sub(b, a), Sub(p, a))) / length);
        }
        width = std::min(width, farthest);
    }
    return std::isfinite(width) ? width : 0.0;
}

} // namespace

const char* OutlineFaultText(OutlineFault fault) {
    switch (fault) {
    case OutlineFault::None:
        return "";
    case OutlineFault::TooFewCorners:
        return "fewer than 3 corners";
    case OutlineFault::TooManyCorners:
        return "more than 32 corners";
    case OutlineFault::NotFinite:
        return "not a finite number";
    case OutlineFault::CrossesItself:
        return "crosses itself";
    case OutlineFault::TooThin:
        return "thinner than 4 px";
    case OutlineFault::TooSmall:
        return "too small";
    case OutlineFault::TooLarge:
        return "too large";
    }
    return "";
}

double SignedOutlineArea(std::span<const CPVect> outline) {
    double sum = 0.0;
    const std::size_t n = outline.size();
    for (std::size_t i = 0; i < n; ++i) {
        sum += Cross(ToP(outline[i]), ToP(outline[(i + 1) % n]));
    }
    return sum / 2.0;
}

double OutlineArea(std::span<const CPVect> outline) {
    return std::fabs(SignedOutlineArea(outline));
}

CPVect OutlineCentroid(std::span<const CPVect> outline) {
    const std::size_t n = outline.size();
    if (n == 0) {
        return ZeroVect;
    }
    double twiceArea = 0.0, cx = 0.0, cy = 0.0, mx = 0.0, my = 0.0;
    // Relative to the first corner: far from the origin the products would lose the digits.
    const P o = ToP(outline[0]);
    for (std::size_t i = 0; i < n; ++i) {
        const P a = Sub(ToP(outline[i]), o), b = Sub(ToP(outline[(i + 1) % n]), o);
        const double c = Cross(a, b);
        twiceArea += c;
        cx += (a.x + b.x) * c;
        cy += (a.y + b.y) * c;
        mx += a.x;
        my += a.y;
    }
    if (twiceArea == 0.0) {
        return Vec2(static_cast<float>(o.x + mx / double(n)),
                    static_cast<float>(o.y + my / double(n)));
    }
    return Vec2(static_cast<float>(o.x + cx / (3.0 * twiceArea)),
                static_cast<float>(o.y + cy / (3.0 * twiceArea)));
}

bool IsConvexOutline(std::span<const CPVect> outline) {
    const std::size_t n = outline.size();
    if (n < 3) {
        return false;
    }
    const double sign = SignedOutlineArea(outline) < 0.0 ? -1.0 : 1.0;
    // Every corner on the inner side of (or on) every edge's line: this also refuses a
    // pentagram, whose corners all turn the same way.
    for (std::size_t i = 0; i < n; ++i) {
        const P a = ToP(outline[i]), b = ToP(outline[(i + 1) % n]);
        const double length = Len(Sub(b, a));
        for (const CPVect& v : outline) {
            if (sign * Cross(Sub(b, a), Sub(ToP(v), a)) < -1e-6 * length) {
                return false;
            }
        }
    }
    return OutlineArea(outline) > 0.0;
}

double ConvexWidth(std::span<const CPVect> convex) {
    std::vector<P> poly;
    for (const CPVect& v : convex) {
        poly.push_back(ToP(v));
    }
    return WidthOf(poly);
}

OutlineFault CheckConvexPiece(std::span<const CPVect> piece) {
    for (const CPVect& v : piece) {
        if (!std::isfinite(v.x) || !std::isfinite(v.y)) {
            return OutlineFault::NotFinite;
        }
    }
    if (piece.size() < 3) {
        return OutlineFault::TooFewCorners;
    }
    if (piece.size() > static_cast<std::size_t>(kMaxOutlineCorners)) {
        return OutlineFault::TooManyCorners;
    }
    for (const CPVect& v : piece) {
        if (std::fabs(v.x) > kMaxOutlineExtent || std::fabs(v.y) > kMaxOutlineExtent) {
            return OutlineFault::TooLarge;
        }
    }
    for (std::size_t i = 0; i < piece.size(); ++i) {
        if (Len(Sub(ToP(piece[i]), ToP(piece[(i + 1) % piece.size()]))) <= kSamePoint) {
            return OutlineFault::CrossesItself;
        }
    }
    if (!IsConvexOutline(piece)) {
        return OutlineFault::CrossesItself;
    }
    if (ConvexWidth(piece) < kMinPieceWidth) {
        return OutlineFault::TooThin;
    }
    return OutlineFault::None;
}

OutlineFault CheckOutline(std::span<const CPVect> outline) {
    std::vector<P> poly;
    return Check(outline, poly);
}

OutlineFault SplitConvex(std::span<const CPVect> outline,
                         std::vector<std::vector<CPVect>>& pieces) {
    pieces.clear();
    std::vector<P> poly;
    if (const OutlineFault fault = Check(outline, poly); fault != OutlineFault::None) {
        return fault;
    }
    if (SignedArea(poly) < 0.0) {
        std::reverse(poly.begin(), poly.end());
    }
    std::vector<std::vector<int>> indexed;
    if (!Triangulate(poly, indexed)) {
        return OutlineFault::CrossesItself; // only a crossing outline has no ear left
    }
    MergeConvex(poly, indexed);
    for (const auto& piece : indexed) {
        std::vector<P> convex;
        const std::size_t n = piece.size();
        for (std::size_t i = 0; i < n; ++i) {
            const P a = poly[static_cast<std::size_t>(piece[(i + n - 1) % n])];
            const P b = poly[static_cast<std::size_t>(piece[i])];
            const P c = poly[static_cast<std::size_t>(piece[(i + 1) % n])];
            if (!Straight(a, b, c)) {
                convex.push_back(b);
            }
        }
        if (convex.size() < 3 || WidthOf(convex) < kMinPieceWidth) {
            pieces.clear();
            return OutlineFault::TooThin;
        }
        // The library's winding: negative signed area, so the corners go the other way round.
        std::vector<CPVect>& out = pieces.emplace_back();
        for (auto it = convex.rbegin(); it != convex.rend(); ++it) {
            out.push_back(Vec2(static_cast<float>(it->x), static_cast<float>(it->y)));
        }
    }
    return OutlineFault::None;
}

std::vector<CPVect> SimplifyPath(std::span<const CPVect> path, int maxCorners, double tolerance) {
    const std::size_t n = path.size();
    if (n < 3) {
        return {path.begin(), path.end()};
    }
    const std::size_t budget = static_cast<std::size_t>(std::max(3, maxCorners));
    // Distance of point p from segment ab.
    auto distance = [](P p, P a, P b) {
        const P ab = Sub(b, a);
        const double ll = Dot(ab, ab);
        const double t = ll > 0.0 ? std::clamp(Dot(Sub(p, a), ab) / ll, 0.0, 1.0) : 0.0;
        return Len(Sub(p, P{a.x + ab.x * t, a.y + ab.y * t}));
    };
    // The loop is cut at its first point and the point farthest from it; then, while the budget
    // lasts, the point farthest from the kept outline joins it (top-down, as Douglas and
    // Peucker, but the worst point of the whole loop first so that a tight budget keeps the
    // telling corners).
    std::vector<bool> kept(n, false);
    kept[0] = true;
    std::size_t far = 0;
    for (std::size_t i = 1; i < n; ++i) {
        if (Len(Sub(ToP(path[i]), ToP(path[0]))) > Len(Sub(ToP(path[far]), ToP(path[0])))) {
            far = i;
        }
    }
    if (far == 0) {
        return {path[0]};
    }
    kept[far] = true;
    std::size_t count = 2;
    while (count < budget) {
        double worst = tolerance;
        std::size_t worstAt = n;
        for (std::size_t s = 0; s < n; ++s) {
            // Each run between two kept points, the last one wrapping to the first.
            if (!kept[s]) {
                continue;
            }
            std::size_t e = (s + 1) % n;
            while (!kept[e]) {
                e = (e + 1) % n;
            }
            for (std::size_t i = (s + 1) % n; i != e; i = (i + 1) % n) {
                const double d = distance(ToP(path[i]), ToP(path[s]), ToP(path[e]));
                if (d > worst) {
                    worst = d;
                    worstAt = i;
                }
            }
        }
        if (worstAt == n) {
            break;
        }
        kept[worstAt] = true;
        ++count;
    }
    std::vector<CPVect> out;
    for (std::size_t i = 0; i < n; ++i) {
        if (kept[i]) {
            out.push_back(path[i]);
        }
    }
    return out;
}
