#pragma once

class CPCircleShape;
class CPPolyShape;
class CPSegmentShape;
class CPShape;

// Outlines of collision shapes in world pixels, drawn with the current origin, alpha, blend mode
// and line width. Each outline sets its colour and leaves the colour white.

// ForEach callback: outlines shape by its kind (polygon, segment, circle); nullptr or another kind
// draws nothing. data is ignored. Always 0.
int drawShape(CPShape* shape, void* data);
// Closed orange (255, 75, 0) polygon through the vertices turned and moved by the body.
void drawPolyShape(const CPPolyShape& shape);
// Green (0, 255, 75) line between the two end points; the radius is not drawn.
void drawSegmentShape(const CPSegmentShape& shape);
// Blue (0, 75, 255) 12-sided outline around the circle's world centre (offset included).
void drawCircleShape(const CPCircleShape& shape);
// Twelve lines between the points at 0, 30, ..., 360 degrees on the circle of radius r around
// (x, y), computed in double precision.
void drawCircle(double x, double y, double r);
