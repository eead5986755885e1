#include "control/SceneFit.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "physics/ConvexSplit.hpp"
#include "world/TLayer.hpp"

namespace {

using Kind = SceneFormat::Kind;
using Anchor = SceneFormat::Anchor;

// The circles inside each kind's shapes (bodies/ and control/TControl make them so): a ball's and
// a squid's own circle, the circle inside a cube's square and inside a star's inner pentagon, a
// tentacle segment's bead, a chain link's circle and a free anchor's.
constexpr double kBall = 15.0;
constexpr double kCube = 15.0;
constexpr double kStar = 5.5;
constexpr double kSquid = 15.0;
constexpr double kPlayer = 12.0;
constexpr double kFirstSegment = 10.0; // hung at its own radius left of its body's centre
constexpr double kSegment = 8.0;       // likewise
constexpr double kLink = 7.0;          // likewise
constexpr double kAnchor = 5.0;

// A circle hung at its radius left of a body's centre, turned with the body.
SceneFit::Part offCentre(const CPExactState& s, double radius, int owner) {
    return {s.x - radius * std::cos(s.angle), s.y - radius * std::sin(s.angle), radius, owner};
}

// Built forwards rather than by inserting commas: mingw's GCC 12 takes a std::string insert
// here for an overlapping copy (a false -Wrestrict, an error in its build).
std::string withThousands(long long n) {
    const std::string digits = std::to_string(n);
    const std::size_t sign = !digits.empty() && digits.front() == '-' ? 1 : 0;
    std::string out = digits.substr(0, sign);
    for (std::size_t i = sign; i < digits.size(); ++i) {
        if (i > sign && (digits.size() - i) % 3 == 0) {
            out.push_back(',');
        }
        out.push_back(digits[i]);
    }
    return out;
}

// The circles inside a drawn body: its own (a circle), or one inside each convex piece, about
// the piece's centroid and no larger than a ball's, so that the grid of CountOverlaps holds.
void drawnParts(const SceneFormat::Body& body, int owner, std::vector<SceneFit::Part>& parts) {
    const CPExactState& s = body.state;
    if (body.pieces.empty()) {
        parts.push_back({s.x, s.y, std::min(body.radius, kBall), owner});
        return;
    }
    const double c = std::cos(s.angle), n = std::sin(s.angle);
    for (const auto& piece : body.pieces) {
        const CPVect m = OutlineCentroid(piece);
        double inside = kBall;
        for (std::size_t i = 0; i < piece.size(); ++i) {
            const CPVect a = piece[i], b = piece[(i + 1) % piece.size()];
            const double ex = double(b.x) - a.x, ey = double(b.y) - a.y;
            const double length = std::hypot(ex, ey);
            if (length > 0.0) {
                inside = std::min(inside, std::fabs(ex * (m.y - a.y) - ey * (m.x - a.x)) / length);
            }
        }
        parts.push_back({s.x + c * m.x - n * m.y, s.y + n * m.x + c * m.y, inside, owner});
    }
}

} // namespace

std::vector<SceneFit::Part> SceneFit::PartsOf(const SceneFormat::Scene& scene) {
    std::vector<Part> parts;
    for (std::size_t i = 0; i < scene.bodies.size(); ++i) {
        const SceneFormat::Body& body = scene.bodies[i];
        const int owner = static_cast<int>(i);
        const CPExactState& s = body.state;
        switch (body.kind) {
        case Kind::Ball:
            parts.push_back({s.x, s.y, kBall, owner});
            break;
        case Kind::Cube:
            parts.push_back({s.x, s.y, kCube, owner});
            break;
        case Kind::Star:
            parts.push_back({s.x, s.y, kStar, owner});
            break;
        case Kind::Squid:
        case Kind::Player:
            parts.push_back({s.x, s.y, body.kind == Kind::Player ? kPlayer : kSquid, owner});
            for (std::size_t p = 0; p < body.parts.size(); ++p) {
                parts.push_back(offCentre(body.parts[p], p == 0 ? kFirstSegment : kSegment, owner));
            }
            break;
        case Kind::Chain:
            for (const CPExactState& link : body.parts) {
                parts.push_back(offCentre(link, kLink, owner));
            }
            for (const Anchor* end : {&body.start, &body.end}) {
                if (end->type == Anchor::Type::Free) {
                    parts.push_back({end->state.x, end->state.y, kAnchor, owner});
                }
            }
            break;
        case Kind::Drawn:
            drawnParts(body, owner, parts);
            break;
        }
    }
    return parts;
}

long long SceneFit::CountOverlaps(const std::vector<Part>& parts) {
    // A grid of cells as wide as the largest circle's diameter: two circles that overlap at all
    // are in the same or neighbouring cells.
    constexpr double kCell = 2.0 * kBall;
    struct Entry {
        std::int64_t cell;
        std::uint32_t part;
    };
    auto cellOf = [](std::int64_t cx, std::int64_t cy) { return cx * 4'000'003 + cy; };
    std::vector<Entry> grid;
    grid.reserve(parts.size());
    std::vector<std::int64_t> cx(parts.size()), cy(parts.size());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        // Positions are within 1e6 pixels: cells fit in 17 bits each side of zero.
        cx[i] = static_cast<std::int64_t>(std::floor(parts[i].x / kCell));
        cy[i] = static_cast<std::int64_t>(std::floor(parts[i].y / kCell));
        grid.push_back({cellOf(cx[i], cy[i]), static_cast<std::uint32_t>(i)});
    }
    std::sort(grid.begin(), grid.end(), [](const Entry& a, const Entry& b) {
        return a.cell != b.cell ? a.cell < b.cell : a.part < b.part;
    });
    long long pairs = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const Part& a = parts[i];
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const std::int64_t key = cellOf(cx[i] + dx, cy[i] + dy);
                // Each pair once: from its part of lower index.
                auto at = std::lower_bound(
                    grid.begin(), grid.end(), Entry{key, 0}, [](const Entry& e, const Entry& k) {
                        return e.cell != k.cell ? e.cell < k.cell : e.part < k.part;
                    });
                for (; at != grid.end() && at->cell == key; ++at) {
                    if (at->part <= i) {
                        continue;
                    }
                    const Part& b = parts[at->part];
                    if (b.owner == a.owner) {
                        continue; // a squid's tentacle and a chain's links lie together
                    }
                    const double reach = 0.5 * (a.radius + b.radius);
                    const double ddx = a.x - b.x, ddy = a.y - b.y;
                    if (ddx * ddx + ddy * ddy < reach * reach && ++pairs >= kCountUpTo) {
                        return pairs;
                    }
                }
            }
        }
    }
    return pairs;
}

long long SceneFit::OverlapLimit(const std::vector<Part>& parts) {
    return std::max(kMinOverlapLimit, static_cast<long long>(parts.size()));
}

bool SceneFit::Check(const SceneFormat::Scene& scene, std::string& error) {
    const std::vector<Part> parts = PartsOf(scene);
    const long long overlaps = CountOverlaps(parts);
    const long long limit = OverlapLimit(parts);
    if (overlaps > limit) {
        error = std::string("scene: ") + (overlaps >= kCountUpTo ? "more than " : "") +
                withThousands(overlaps) + " pairs of bodies overlap (at most " +
                withThousands(limit) + ")";
        return false;
    }
    // A body's centre well inside a solid cell: its segments make no wall inside it, and a body
    // there falls out of the level. Not at its sides: a body resting on a cell sinks a fraction
    // of a pixel into it, and one in a pile pressed against a wall a few pixels.
    const IntGrid& edges = scene.foregroundEdges;
    auto solidAt = [&](double x, double y, int& row, int& column) {
        const double fx = std::floor(x / kCellSize), fy = std::floor(y / kCellSize);
        if (fx < 0 || fy < 0 || fy >= static_cast<double>(edges.size()) ||
            fx >= static_cast<double>(edges.empty() ? 0 : edges[0].size())) {
            return false;
        }
        row = static_cast<int>(fy);
        column = static_cast<int>(fx);
        const double inX = x - fx * kCellSize, inY = y - fy * kCellSize;
        if (inX < kSolidMargin || inY < kSolidMargin || inX > kCellSize - kSolidMargin ||
            inY > kCellSize - kSolidMargin) {
            return false;
        }
        return TLayer::MakesSegments(
            edges[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]);
    };
    // Only bodies' own centres: a tentacle's thin segments slip into cells as they wave, and a
    // chain's links hang from anchors set into walls (the bridge example's).
    // A drawn body by the centres of its pieces (a concave one's own centre may lie outside it);
    // a fixed one stays where it was put, in a wall or not.
    std::vector<Part> drawn;
    for (std::size_t i = 0; i < scene.bodies.size(); ++i) {
        const SceneFormat::Body& body = scene.bodies[i];
        int row = 0, column = 0;
        if (body.kind == Kind::Drawn) {
            drawn.clear();
            if (!body.fixed) {
                drawnParts(body, 0, drawn);
            }
            for (const Part& part : drawn) {
                if (solidAt(part.x, part.y, row, column)) {
                    error = "bodies[" + std::to_string(i) +
                            "]: a drawn body inside the solid cell at row " + std::to_string(row) +
                            ", column " + std::to_string(column);
                    return false;
                }
            }
            continue;
        }
        if (body.kind != Kind::Chain && solidAt(body.state.x, body.state.y, row, column)) {
            error = "bodies[" + std::to_string(i) + "]: a " + SceneFormat::KindName(body.kind) +
                    " inside the solid cell at row " + std::to_string(row) + ", column " +
                    std::to_string(column);
            return false;
        }
    }
    return true;
}
