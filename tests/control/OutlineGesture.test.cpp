#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/OutlineGesture.hpp"

namespace {

using Tool = OutlineGesture::Tool;

// One event of a gesture, in world pixels.
struct Event {
    enum Type { Press, Move, Release, ShiftRelease, Enter } type;
    float x = 0.0f, y = 0.0f;
};

struct Case {
    const char* what;
    Tool tool;
    std::vector<Event> events;
    bool complete;               // the last event completes an outline
    std::vector<CPVect> corners; // the outline's corners (when complete and not a circle)
    float radius = 0.0f;         // a circle's (when complete)
};

// Feeds the events; true when the last one completed an outline, which lands in out.
bool run(OutlineGesture& g, const Case& c, OutlineGesture::Outline& out) {
    g.begin(c.tool);
    bool complete = false;
    for (const Event& e : c.events) {
        const CPVect p = Vec2(e.x, e.y);
        complete = false;
        switch (e.type) {
        case Event::Press:
            g.press(p);
            break;
        case Event::Move:
            g.move(p);
            break;
        case Event::Release:
        case Event::ShiftRelease:
            complete = g.release(p, e.type == Event::ShiftRelease);
            break;
        case Event::Enter:
            complete = g.enter();
            break;
        }
    }
    if (complete) {
        out = g.Take();
    }
    return complete;
}

// A click at (x, y): press and release in place.
void click(std::vector<Event>& events, float x, float y) {
    events.push_back({Event::Press, x, y});
    events.push_back({Event::Release, x, y});
}

std::vector<Event> clicks(std::initializer_list<CPVect> points) {
    std::vector<Event> events;
    for (const CPVect& p : points) {
        click(events, p.x, p.y);
    }
    return events;
}

TEST(OutlineGesture, EachGestureGivesItsOutline) {
    std::vector<Event> closedOnFirst = clicks({Vec2(0, 0), Vec2(40, 0), Vec2(40, 30)});
    click(closedOnFirst, 5, 4); // within reach of the first corner
    std::vector<Event> byEnter = clicks({Vec2(0, 0), Vec2(40, 0), Vec2(40, 30)});
    byEnter.push_back({Event::Enter});
    std::vector<Event> doubleClick = clicks({Vec2(0, 0), Vec2(40, 0), Vec2(40, 30), Vec2(40, 30)});
    std::vector<Event> twoCornersEnter = clicks({Vec2(0, 0), Vec2(40, 0)});
    twoCornersEnter.push_back({Event::Enter});
    std::vector<Event> fourthCorner = clicks({Vec2(0, 0), Vec2(40, 0), Vec2(40, 30)});
    click(fourthCorner, 20, 50); // far from both the first and the last corner: one more

    const std::vector<Case> cases = {
        {"box dragged down right",
         Tool::Box,
         {{Event::Press, 10, 20}, {Event::Move, 30, 25}, {Event::Release, 50, 60}},
         true,
         {Vec2(10, 20), Vec2(50, 20), Vec2(50, 60), Vec2(10, 60)}},
        {"box dragged up left: the same corners, in the same order",
         Tool::Box,
         {{Event::Press, 50, 60}, {Event::Release, 10, 20}},
         true,
         {Vec2(10, 20), Vec2(50, 20), Vec2(50, 60), Vec2(10, 60)}},
        {"box with Shift: a square on the longer side",
         Tool::Box,
         {{Event::Press, 10, 20}, {Event::ShiftRelease, 50, 30}},
         true,
         {Vec2(10, 20), Vec2(50, 20), Vec2(50, 60), Vec2(10, 60)}},
        {"square dragged up left",
         Tool::Box,
         {{Event::Press, 50, 60}, {Event::ShiftRelease, 40, 30}},
         true,
         {Vec2(20, 30), Vec2(50, 30), Vec2(50, 60), Vec2(20, 60)}},
        {"circle from its centre",
         Tool::Circle,
         {{Event::Press, 100, 100}, {Event::Move, 110, 100}, {Event::Release, 130, 140}},
         true,
         {},
         50.0f},
        {"polygon closed on the first corner",
         Tool::Polygon,
         closedOnFirst,
         true,
         {Vec2(0, 0), Vec2(40, 0), Vec2(40, 30)}},
        {"polygon closed by Enter",
         Tool::Polygon,
         byEnter,
         true,
         {Vec2(0, 0), Vec2(40, 0), Vec2(40, 30)}},
        {"polygon closed by a double click on the last corner",
         Tool::Polygon,
         doubleClick,
         true,
         {Vec2(0, 0), Vec2(40, 0), Vec2(40, 30)}},
        {"two corners: Enter closes nothing", Tool::Polygon, twoCornersEnter, false, {}},
        {"a click away from the corners adds one", Tool::Polygon, fourthCorner, false, {}},
        {"freehand: the path while held",
         Tool::Polygon,
         {{Event::Press, 0, 0},
          {Event::Move, 20, 0},
          {Event::Move, 21, 0}, // under two pixels from the last point: not kept
          {Event::Move, 20, 20},
          {Event::Release, 0, 20}},
         true,
         {Vec2(0, 0), Vec2(20, 0), Vec2(20, 20), Vec2(0, 20)}},
        {"a press and a short slip is a click, not freehand",
         Tool::Polygon,
         {{Event::Press, 0, 0}, {Event::Move, 4, 0}, {Event::Release, 4, 0}},
         false,
         {}},
    };
    for (const Case& c : cases) {
        OutlineGesture g;
        OutlineGesture::Outline out;
        ASSERT_EQ(run(g, c, out), c.complete) << c.what;
        if (!c.complete) {
            EXPECT_TRUE(g.Active()) << c.what;
            continue;
        }
        EXPECT_FALSE(g.Active()) << c.what << ": the gesture starts over";
        EXPECT_EQ(out.circle, c.radius > 0.0f) << c.what;
        if (out.circle) {
            EXPECT_FLOAT_EQ(out.radius, c.radius) << c.what;
            continue;
        }
        ASSERT_EQ(out.corners.size(), c.corners.size()) << c.what;
        for (std::size_t i = 0; i < c.corners.size(); ++i) {
            EXPECT_FLOAT_EQ(out.corners[i].x, c.corners[i].x) << c.what << " corner " << i;
            EXPECT_FLOAT_EQ(out.corners[i].y, c.corners[i].y) << c.what << " corner " << i;
        }
    }
}

TEST(OutlineGesture, PreviewFollowsThePointerAndCancelForgets) {
    OutlineGesture g;
    g.begin(Tool::Polygon);
    g.press(Vec2(0, 0));
    g.release(Vec2(0, 0), false);
    g.move(Vec2(30, 5));
    const OutlineGesture::Outline now = g.Current(false);
    ASSERT_EQ(now.corners.size(), 2u) << "the clicked corner and the pointer";
    EXPECT_FLOAT_EQ(now.corners[1].x, 30.0f);
    g.cancel();
    EXPECT_FALSE(g.Active());
    EXPECT_TRUE(g.Current(false).corners.empty());
}

TEST(OutlineGesture, ClickedCornersStopAtTheLimit) {
    OutlineGesture g;
    g.begin(Tool::Polygon);
    for (int i = 0; i < OutlineGesture::kMaxClickedCorners + 5; ++i) {
        const CPVect p = Vec2(static_cast<float>(i * 20), static_cast<float>((i % 2) * 50));
        g.press(p);
        ASSERT_FALSE(g.release(p, false));
    }
    ASSERT_TRUE(g.enter());
    EXPECT_EQ(g.Take().corners.size(),
              static_cast<std::size_t>(OutlineGesture::kMaxClickedCorners));
}

} // namespace
