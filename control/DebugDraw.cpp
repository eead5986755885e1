#include "control/DebugDraw.hpp"

#include "media/Graphics.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPCircleShape.hpp"
#include "physics/CPPolyShape.hpp"
#include "physics/CPSegmentShape.hpp"
#include "physics/CPVect.hpp"

namespace {

// A point given in body coordinates, turned by the body's angle and moved to its position.
CPVect toWorld(CPVect position, CPVect rot, CPVect v) {
    return position.Add(v.Rotate(rot));
}

} // namespace

int drawShape(CPShape* shape, void* /*data*/) {
    if (auto* poly = dynamic_cast<CPPolyShape*>(shape)) {
        drawPolyShape(*poly);
    } else if (auto* segment = dynamic_cast<CPSegmentShape*>(shape)) {
        drawSegmentShape(*segment);
    } else if (auto* circle = dynamic_cast<CPCircleShape*>(shape)) {
        drawCircleShape(*circle);
    }
    return 0;
}

void drawPolyShape(const CPPolyShape& shape) {
    const int count = shape.GetVertCount();
    // A polygon without vertices has no outline; the game never makes one.
    if (count <= 0) {
        return;
    }
    const std::shared_ptr<CPBody> body = shape.GetBody();
    if (!body) {
        return;
    }
    const CPVect position = body->GetPosition();
    const CPVect rot = body->GetRot();

    SetColor(255, 75, 0);
    // GetVert reads one vertex in place: the debug view outlines hundreds of shapes per frame and
    // must not build a vertex array for each.
    const CPVect first = toWorld(position, rot, shape.GetVert(0));
    CPVect previous = first;
    for (int i = 1; i < count; ++i) {
        const CPVect w = toWorld(position, rot, shape.GetVert(i));
        DrawLine(previous.x, previous.y, w.x, w.y, 1);
        previous = w;
    }
    DrawLine(previous.x, previous.y, first.x, first.y, 1);
    SetColor(255, 255, 255);
}

void drawSegmentShape(const CPSegmentShape& shape) {
    const std::shared_ptr<CPBody> body = shape.GetBody();
    if (!body) {
        return;
    }
    const CPVect position = body->GetPosition();
    const CPVect rot = body->GetRot();
    const CPVect a = toWorld(position, rot, shape.GetEndPointA());
    const CPVect b = toWorld(position, rot, shape.GetEndPointB());
    SetColor(0, 255, 75);
    DrawLine(a.x, a.y, b.x, b.y, 1);
    SetColor(255, 255, 255);
}

void drawCircleShape(const CPCircleShape& shape) {
    // The transformed centre includes the shape's offset, so off-centre circles (tentacle
    // pivots, chain links) are outlined where they collide, not around their body.
    const CPVect c = shape.GetTransformedCenter();
    const float r = shape.GetRadius();
    SetColor(0, 75, 255);
    drawCircle(c.x, c.y, r);
    SetColor(255, 255, 255);
}

void drawCircle(double x, double y, double r) {
    double px = r * CosDeg(0.0);
    double py = r * SinDeg(0.0);
    for (double a = 30.0; a <= 360.0; a += 30.0) {
        const double nx = r * CosDeg(a);
        const double ny = r * SinDeg(a);
        DrawLine(static_cast<float>(x + px), static_cast<float>(y + py), static_cast<float>(x + nx),
                 static_cast<float>(y + ny), 1);
        px = nx;
        py = ny;
    }
}
