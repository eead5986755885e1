#pragma once

#include <vector>

#include "physics/CPVect.hpp"

// The pointer's gestures that draw an outline, in world pixels, apart from any input device so
// that a table of gestures can check them. Box: press, drag, release (a square with Shift).
// Circle: press at the centre, drag the radius. Polygon: click the corners and close on the
// first one, with Enter, or with a double click (a click on the last corner again); or, the
// button held from the first press, freehand along the pointer's path (thinned to at most 32
// corners).
class OutlineGesture {
  public:
    enum class Tool { Box, Circle, Polygon };
    struct Outline {
        bool circle = false;
        CPVect centre = ZeroVect; // circle
        float radius = 0.0f;      // circle, pixels
        std::vector<CPVect> corners;
    };
    static constexpr float kCloseReach = 8.0f;    // a click this near the first corner closes
    static constexpr float kDoubleReach = 3.0f;   // a click this near the last one, too
    static constexpr float kFreehandStart = 6.0f; // travel with the button held: freehand
    static constexpr float kPathStep = 2.0f;      // freehand points at least this far apart
    static constexpr int kMaxClickedCorners = 32;

    // Forgets any gesture under way and takes tool's.
    void begin(Tool tool);
    Tool tool() const { return tool_; }
    // The button went down / the pointer is at p / the button came up at p. shift: held now.
    void press(CPVect p);
    void move(CPVect p);
    // True when the outline is complete (take it with Take).
    bool release(CPVect p, bool shift);
    // Enter: true when a polygon of three or more corners closes.
    bool enter();
    // Something drawn and not finished (a button held, corners clicked).
    bool Active() const { return pressed_ || !corners_.empty(); }
    bool Pressed() const { return pressed_; }
    bool Freehand() const { return freehand_; }
    // Forgets the gesture under way (Escape).
    void cancel();
    // The outline as it would be made now, the pointer standing for the next point (preview).
    Outline Current(bool shift) const;
    // The completed outline; the gesture starts over.
    Outline Take();

  private:
    Outline box(CPVect a, CPVect b, bool shift) const;

    Tool tool_ = Tool::Box;
    bool pressed_ = false;
    bool freehand_ = false;
    bool done_ = false;
    CPVect pressAt_ = ZeroVect;
    CPVect pointer_ = ZeroVect;
    std::vector<CPVect> corners_; // clicked corners, or the freehand path
    Outline finished_;
};
