#include "data/ExampleScenes.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/SceneDocument.hpp"
#include "bodies/TBall.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TDrawn.hpp"
#include "bodies/TStar.hpp"
#include "bodies/UpdateAllBodies.hpp"
#include "control/TControl.hpp"
#include "physics/CPBody.hpp"
#include "support/GameFixture.hpp"
#include "world/TLevel.hpp"

namespace {

class ExampleScenesTest : public GameFixture {
  protected:
    ExampleScenesTest() : GameFixture(1000u) {}
};

// Every example opens, and saving it at once gives back its file to the byte: the files are in
// the format the program writes now (make.py saves them again when the format changes).
TEST_F(ExampleScenesTest, EachOpensAndSavesAsItsFile) {
    ASSERT_EQ(ExampleScenes().size(), 12u);
    for (const ExampleScene& scene : ExampleScenes()) {
        SCOPED_TRACE(std::string(scene.name));
        std::string error;
        ASSERT_TRUE(OpenSceneText(scene.text, error)) << error;
        EXPECT_EQ(CurrentSceneText(), scene.text);
    }
}

// One frame of the level's physics and of the bodies' own work after it (motors, breaking, the
// off-level test), undrawn, as the game runs fast forward's extra frames.
void PhysicsFrame() {
    level->update(level->_steps, ZeroVect);
    UpdateAllBodies({.draw = false});
}

// Where the drawn bodies of a machine are in each frame, in the order they were drawn.
struct Pose {
    CPVect at;
    float angle = 0.0f; // degrees
};
using Track = std::vector<std::vector<Pose>>; // [frame][drawn body]

Pose PoseOf(const TDrawn& drawn) {
    return {drawn._body->GetPosition(), drawn._body->GetAngle()};
}

// A drawn body's point in body coordinates, in the world at a frame of the track.
CPVect WorldAt(const Pose& pose, CPVect local) {
    const float a = pose.angle * 3.14159265f / 180.0f;
    return Vec2(pose.at.x + local.x * std::cos(a) - local.y * std::sin(a),
                pose.at.y + local.x * std::sin(a) + local.y * std::cos(a));
}

// The largest distance a body (index in the drawn ones) went from where it started.
float FarthestX(const Track& track, std::size_t body) {
    float most = 0.0f;
    for (const auto& frame : track) {
        most = std::max(most, std::fabs(frame[body].at.x - track.front()[body].at.x));
    }
    return most;
}

// Places of the level the machines stand on (pixels; the level's cells are 24 across).
constexpr float kCatapultWallRight = 38 * 24.0f; // the brick wall of column 37
constexpr float kCatapultWallTop = 21 * 24.0f;
constexpr float kBridgeCliffTop = 23 * 24.0f;

// The example machines do what they show: each opened as the menu opens it and its physics run
// headless for its seconds, the bodies it is about found by their order among its drawn bodies.
TEST_F(ExampleScenesTest, MachinesDoWhatTheyShow) {
    struct Machine {
        std::string_view name;
        int frames; // at 60 a second
        std::function<void()> afterOpening;
        std::function<void(const Track&)> check;
    };
    const Machine machines[] = {
        // Body, cabin, two wheels on motors: the car drives right along the road.
        {"Car", 240, nullptr,
         [](const Track& t) {
             const float travelled = t.back()[0].at.x - t.front()[0].at.x;
             std::printf("car: %.0f px in 4 s\n", travelled);
             EXPECT_GE(travelled, 300.0f);
             for (const auto& frame : t) {
                 ASSERT_LT(std::fabs(frame[0].angle), 20.0f) << "the car stays on its wheels";
             }
         }},
        // Post, arm, stop, rest, ball, weight: the ball lands on the ground beyond the wall.
        {"Catapult", 180, nullptr,
         [](const Track& t) {
             const Pose ball = t.back()[4];
             std::printf("catapult: the ball rests at %.0f, %.0f\n", ball.at.x, ball.at.y);
             EXPECT_GT(ball.at.x, kCatapultWallRight);
             EXPECT_GT(ball.at.y, kCatapultWallTop) << "down on the ground, not on the wall";
         }},
        // Five balls on ropes, the first pulled out: the last swings out, the middle ones stay.
        {"Newton's cradle", 100, nullptr,
         [](const Track& t) {
             const float last = FarthestX(t, 4);
             float middle = 0.0f;
             for (std::size_t i = 1; i <= 3; ++i) {
                 middle = std::max(middle, FarthestX(t, i));
             }
             std::printf("cradle: the last ball swings out %.1f px, the middle ones %.1f px\n",
                         last, middle);
             EXPECT_GE(last, 50.0f);
             EXPECT_LE(middle, last / 3.0f);
         }},
        // Tower and sails on a motor: the sails turn clockwise, on and on.
        {"Windmill", 150, nullptr,
         [](const Track& t) {
             const float turned = t.back()[1].angle - t.front()[1].angle;
             std::printf("windmill: the sails turned %.0f degrees in 2.5 s\n", turned);
             EXPECT_GE(turned, 120.0f);
         }},
        // Ten planks hinged across the pit and roped to two posts; the bodies on the deck and
        // six more dropped on it stay up, and so does every plank.
        {"Rope bridge", 240,
         [] {
             for (int i = 0; i < 6; ++i) {
                 control->spawnAt(1 + i % 3, Vec2(290.0f + 36.0f * static_cast<float>(i), 430.0f));
             }
         },
         [](const Track& t) {
             float lowest = 0.0f;
             for (const Pose& plank : t.back()) {
                 lowest = std::max(lowest, plank.at.y);
             }
             int below = 0;
             auto look = [&](auto* list) {
                 for (const auto& o : *list) {
                     below += o->_body->GetPosition().y > kBridgeCliffTop + 40.0f ? 1 : 0;
                 }
             };
             look(TBall::liveList.get());
             look(TCube::liveList.get());
             look(TStar::liveList.get());
             const int bodies = TBall::Count() + TCube::Count() + TStar::Count();
             std::printf("rope bridge: the lowest plank at %.0f, %d bodies on it\n", lowest,
                         bodies);
             EXPECT_LT(lowest, kBridgeCliffTop + 30.0f);
             EXPECT_EQ(bodies, 10) << "the four on the deck and the six dropped: none fell";
             EXPECT_EQ(below, 0);
         }},
        // Wedge, plank, ball, weight: the weight lands on the left end, which goes down.
        {"Seesaw", 60, nullptr,
         [](const Track& t) {
             auto tilt = [](const std::vector<Pose>& frame) {
                 return WorldAt(frame[1], Vec2(-110.0f, 0.0f)).y -
                        WorldAt(frame[1], Vec2(110.0f, 0.0f)).y;
             };
             float most = 0.0f;
             for (const auto& frame : t) {
                 most = std::max(most, tilt(frame));
             }
             std::printf("seesaw: level at first (%.1f px), the left end down %.0f px at most\n",
                         tilt(t.front()), most);
             EXPECT_LT(std::fabs(tilt(t.front())), 2.0f);
             EXPECT_GE(most, 60.0f);
         }},
    };
    for (const Machine& m : machines) {
        SCOPED_TRACE(std::string(m.name));
        const auto scene = std::find_if(ExampleScenes().begin(), ExampleScenes().end(),
                                        [&](const ExampleScene& s) { return s.name == m.name; });
        ASSERT_NE(scene, ExampleScenes().end());
        std::string error;
        ASSERT_TRUE(OpenSceneText(scene->text, error)) << error;
        if (m.afterOpening) {
            m.afterOpening();
        }
        Track track;
        for (int frame = 0; frame <= m.frames; ++frame) {
            if (frame > 0) {
                PhysicsFrame();
            }
            track.emplace_back();
            for (const auto& drawn : *TDrawn::liveList) {
                track.back().push_back(PoseOf(*drawn));
            }
            ASSERT_EQ(track.back().size(), track.front().size()) << "a drawn body left";
        }
        m.check(track);
    }
}

} // namespace
