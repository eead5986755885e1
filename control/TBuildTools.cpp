#include "control/TBuildTools.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "bodies/TDrawn.hpp"
#include "control/DebugDraw.hpp"
#include "control/TBodySteps.hpp"
#include "data/LevelData.hpp"
#include "media/Graphics.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"
#include "world/TTileSet.hpp"

namespace {

struct Box {
    double x0, y0, x1, y1;
};

bool inside(const Box& b, double x, double y) {
    return x > b.x0 && x < b.x1 && y > b.y0 && y < b.y1;
}

// Even-odd rule: the outline may be any simple polygon, either way round.
bool insidePolygon(const std::vector<CPVect>& c, double x, double y) {
    bool in = false;
    for (std::size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) {
        const double xi = c[i].x, yi = c[i].y, xj = c[j].x, yj = c[j].y;
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) {
            in = !in;
        }
    }
    return in;
}

double cross(double ax, double ay, double bx, double by) {
    return ax * by - ay * bx;
}

// Proper crossing of two segments (touching ends do not count).
bool segmentsCross(double ax, double ay, double bx, double by, double cx, double cy, double dx,
                   double dy) {
    const double d1 = cross(bx - ax, by - ay, cx - ax, cy - ay);
    const double d2 = cross(bx - ax, by - ay, dx - ax, dy - ay);
    const double d3 = cross(dx - cx, dy - cy, ax - cx, ay - cy);
    const double d4 = cross(dx - cx, dy - cy, bx - cx, by - cy);
    return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

bool polygonMeetsBox(const std::vector<CPVect>& c, const Box& b) {
    for (const CPVect& p : c) {
        if (inside(b, p.x, p.y)) {
            return true;
        }
    }
    if (insidePolygon(c, (b.x0 + b.x1) / 2.0, (b.y0 + b.y1) / 2.0)) {
        return true;
    }
    const double bx[4] = {b.x0, b.x1, b.x1, b.x0};
    const double by[4] = {b.y0, b.y0, b.y1, b.y1};
    for (std::size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) {
        for (int k = 0; k < 4; ++k) {
            const int l = (k + 1) % 4;
            if (segmentsCross(c[j].x, c[j].y, c[i].x, c[i].y, bx[k], by[k], bx[l], by[l])) {
                return true;
            }
        }
    }
    return false;
}

bool circleMeetsBox(CPVect centre, double radius, const Box& b) {
    const double x = std::clamp(static_cast<double>(centre.x), b.x0, b.x1);
    const double y = std::clamp(static_cast<double>(centre.y), b.y0, b.y1);
    const double dx = x - centre.x, dy = y - centre.y;
    return dx * dx + dy * dy < radius * radius;
}

void drawOutline(const OutlineGesture::Outline& o, bool closed) {
    if (o.circle) {
        drawCircle(o.centre.x, o.centre.y, o.radius);
        return;
    }
    for (std::size_t i = 1; i < o.corners.size(); ++i) {
        DrawLine(o.corners[i - 1].x, o.corners[i - 1].y, o.corners[i].x, o.corners[i].y, 1);
    }
    if (closed && o.corners.size() > 2) {
        DrawLine(o.corners.back().x, o.corners.back().y, o.corners.front().x, o.corners.front().y,
                 1);
    }
}

// Where the reason is written: under the outline's lowest point.
CPVect labelAt(const OutlineGesture::Outline& o) {
    if (o.circle) {
        return Vec2(o.centre.x - o.radius, o.centre.y + o.radius + 4.0f);
    }
    CPVect at = o.corners.empty() ? ZeroVect : o.corners.front();
    for (const CPVect& p : o.corners) {
        at = Vec2(std::min(at.x, p.x), std::max(at.y, p.y));
    }
    return Vec2(at.x, at.y + 4.0f);
}

} // namespace

void TBuildTools::init(std::shared_ptr<TLevel> level, TBodySteps* steps) {
    level_ = std::move(level);
    steps_ = steps;
    gesture_.cancel();
    refusedFrames_ = 0;
}

void TBuildTools::begin(OutlineGesture::Tool tool) {
    gesture_.begin(tool);
}

bool TBuildTools::Cancel() {
    const bool was = gesture_.Active();
    gesture_.cancel();
    return was;
}

void TBuildTools::tick() {
    if (refusedFrames_ > 0) {
        --refusedFrames_;
    }
}

bool TBuildTools::CrossesLevel(const TLayer& layer, const Outline& outline) {
    if (!layer.TileSet || (!outline.circle && outline.corners.size() < 3)) {
        return false;
    }
    const int tw = layer.TileSet->TileW, th = layer.TileSet->TileH;
    double x0 = outline.centre.x - outline.radius, x1 = outline.centre.x + outline.radius;
    double y0 = outline.centre.y - outline.radius, y1 = outline.centre.y + outline.radius;
    if (!outline.circle) {
        x0 = x1 = outline.corners.front().x;
        y0 = y1 = outline.corners.front().y;
        for (const CPVect& p : outline.corners) {
            x0 = std::min(x0, static_cast<double>(p.x));
            x1 = std::max(x1, static_cast<double>(p.x));
            y0 = std::min(y0, static_cast<double>(p.y));
            y1 = std::max(y1, static_cast<double>(p.y));
        }
    }
    // Only the cells under the outline's bounds are looked at.
    const int c0 = std::max(0, static_cast<int>(std::floor(x0 / tw)));
    const int c1 = std::min(layer.MapW - 1, static_cast<int>(std::floor(x1 / tw)));
    const int r0 = std::max(0, static_cast<int>(std::floor(y0 / th)));
    const int r1 = std::min(layer.MapH - 1, static_cast<int>(std::floor(y1 / th)));
    for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c) {
            if (!TLayer::MakesSegments(GridCell(layer.BoundMap, r, c))) {
                continue;
            }
            const double in = kCellInset;
            const Box cell{static_cast<double>(c * tw) + in, static_cast<double>(r * th) + in,
                           static_cast<double>((c + 1) * tw) - in,
                           static_cast<double>((r + 1) * th) - in};
            if (outline.circle ? circleMeetsBox(outline.centre, outline.radius, cell)
                               : polygonMeetsBox(outline.corners, cell)) {
                return true;
            }
        }
    }
    return false;
}

std::string TBuildTools::Refusal(const Outline& outline) const {
    const OutlineFault fault =
        outline.circle
            ? (2.0 * outline.radius < kMinPieceWidth ? OutlineFault::TooThin : OutlineFault::None)
            : CheckOutline(outline.corners);
    if (fault != OutlineFault::None) {
        return OutlineFaultText(fault);
    }
    if (level_ && level_->_FGLayer && CrossesLevel(*level_->_FGLayer, outline)) {
        return kCrossesLevel;
    }
    return {};
}

bool TBuildTools::make(const Outline& outline, std::string& why) {
    if (!level_ || !level_->_FGLayer) {
        return false;
    }
    OutlineFault fault = OutlineFault::None;
    const std::shared_ptr<TLayer>& layer = level_->_FGLayer;
    TDrawn* made =
        outline.circle
            ? TDrawn::CreateCircle(layer, outline.centre, outline.radius, material, fixed, fault)
            : TDrawn::CreatePolygon(layer, outline.corners, material, fixed, fault);
    if (made == nullptr) {
        // The split finds what the preview's quick check cannot: a piece too thin.
        why = OutlineFaultText(fault);
        return false;
    }
    if (steps_ != nullptr) {
        steps_->Made(made->_body);
    }
    return true;
}

void TBuildTools::update(const ToolInput& in) {
    if (in.pressed) {
        gesture_.press(in.pressPoint);
    }
    if (gesture_.Pressed()) {
        gesture_.move(in.held ? in.pointer : in.releasePoint);
    } else {
        gesture_.move(in.pointer);
    }
    bool complete = false;
    if (gesture_.Pressed() && !in.held) {
        complete = gesture_.release(in.releasePoint, in.shift);
    }
    if (in.enter) {
        complete = gesture_.enter() || complete;
    }
    if (!complete) {
        return;
    }
    Outline outline = gesture_.Take();
    std::string why = Refusal(outline);
    if (why.empty() && make(outline, why)) {
        return;
    }
    refused_ = std::move(outline);
    refusedWhy_ = why.empty() ? std::string("cannot be made") : std::move(why);
    refusedFrames_ = kRefusedFrames;
}

void TBuildTools::draw(bool shift) const {
    SetBlend(Blend::Alpha);
    if (gesture_.Active()) {
        const Outline now = gesture_.Current(shift);
        const bool closed = now.circle || gesture_.tool() != OutlineGesture::Tool::Polygon;
        const std::string why = closed || now.corners.size() >= 3 ? Refusal(now) : std::string();
        SetAlpha(0.9f);
        if (why.empty()) {
            SetColor(255, 230, 90);
        } else {
            SetColor(255, 70, 70);
        }
        drawOutline(now, closed);
        if (!why.empty() && (now.circle || now.corners.size() >= 3)) {
            const CPVect at = labelAt(now);
            DrawText(why, at.x, at.y);
        }
    }
    if (refusedFrames_ > 0) {
        SetColor(255, 40, 40);
        SetAlpha(0.3f + 0.7f * static_cast<float>(refusedFrames_) / kRefusedFrames);
        drawOutline(refused_, true);
        const CPVect at = labelAt(refused_);
        DrawText(refusedWhy_, at.x, at.y);
    }
    SetAlpha(1.0f);
    SetColor(255, 255, 255);
}
