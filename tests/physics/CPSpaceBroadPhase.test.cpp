// The broad phase (spatial hash or bounding-box tree) decides only which pairs of shapes are
// looked at, and in what order: where that order cannot matter, both find the same contacts and
// move every body bit for bit alike, also when the index is rebuilt in the middle of a run.

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "LibraryView.hpp"
#include "PhysicsTestScene.hpp"

using namespace physics_test;

namespace {

// Balls far enough apart never to touch one another, each dropped onto its own short floor, and
// a few asleep on a floor of their own: every contact is a ball with a static segment, so the
// solver's order of contacts changes nothing.
struct Scene {
    std::shared_ptr<CPSpace> space = LevelLikeSpace();
    std::vector<Ball> balls;
    std::vector<std::shared_ptr<CPSegmentShape>> floors;

    Scene() {
        space->ResizeStaticHash(10.0f, 2000);
        for (int i = 0; i < 12; ++i) {
            const float x = static_cast<float>(i) * 60.0f;
            floors.push_back(AddFloor(*space, 100.0f + static_cast<float>(i % 3) * 7.0f, 0,
                                      x - 25.0f, x + 25.0f));
            balls.push_back(AddBall(*space, Vec2(x + static_cast<float>(i % 5) - 2.0f, 40.0f),
                                    6.0f + static_cast<float>(i % 4)));
        }
    }

    // Each contact as (ball index, floor index), read from the library's own lists.
    std::set<std::pair<int, int>> Contacts() const {
        std::set<std::pair<int, int>> found;
        for (std::size_t b = 0; b < balls.size(); ++b) {
            auto* body = static_cast<cpBody*>(balls[b].body->GetHandle());
            struct Visit {
                const Scene* scene;
                int ball;
                std::set<std::pair<int, int>>* found;
            } visit{this, static_cast<int>(b), &found};
            cpBodyEachArbiter(
                body,
                [](cpBody*, cpArbiter* arbiter, void* data) {
                    auto* v = static_cast<Visit*>(data);
                    CP_ARBITER_GET_SHAPES(arbiter, a, other);
                    (void)a;
                    for (std::size_t f = 0; f < v->scene->floors.size(); ++f) {
                        if (v->scene->floors[f]->GetHandle() == other) {
                            v->found->emplace(v->ball, static_cast<int>(f));
                        }
                    }
                },
                &visit);
        }
        return found;
    }

    // Every ball's position and velocity, bit for bit.
    std::vector<double> State() const {
        std::vector<double> s;
        for (const Ball& b : balls) {
            auto* body = static_cast<cpBody*>(b.body->GetHandle());
            for (double v : {cpBodyGetPosition(body).x, cpBodyGetPosition(body).y,
                             cpBodyGetVelocity(body).x, cpBodyGetVelocity(body).y}) {
                s.push_back(v);
            }
        }
        return s;
    }
};

int IndexedShapes(cpSpatialIndex* index) {
    return cpSpatialIndexCount(index);
}

} // namespace

TEST(CPSpaceBroadPhase, TreeAndHashFindTheSameContactsAndMoveBodiesAlike) {
    // The same scene three times: always the hash, always the tree, and switched back and forth
    // while the balls fall, land and rest.
    Scene hash, tree, switched;
    tree.space->UseBroadPhase(CPSpace::BroadPhase::Tree);
    const struct {
        int steps;
        CPSpace::BroadPhase switchTo;
    } legs[] = {
        {20, CPSpace::BroadPhase::Tree}, // falling
        {40, CPSpace::BroadPhase::Hash}, // landing
        {60, CPSpace::BroadPhase::Tree}, // resting
        {30, CPSpace::BroadPhase::Hash},
    };
    for (const auto& leg : legs) {
        StepFor(*hash.space, leg.steps);
        StepFor(*tree.space, leg.steps);
        StepFor(*switched.space, leg.steps);
        switched.space->UseBroadPhase(leg.switchTo);
        EXPECT_EQ(switched.space->GetBroadPhase(), leg.switchTo);
        EXPECT_EQ(IsSpatialHash(LibrarySpace(*switched.space)->dynamicShapes),
                  leg.switchTo == CPSpace::BroadPhase::Hash);
        EXPECT_EQ(tree.Contacts(), hash.Contacts());
        EXPECT_EQ(switched.Contacts(), hash.Contacts());
        const std::vector<double> expected = hash.State();
        const std::vector<double> fromTree = tree.State();
        const std::vector<double> fromSwitched = switched.State();
        EXPECT_EQ(std::memcmp(fromTree.data(), expected.data(), expected.size() * sizeof(double)),
                  0);
        EXPECT_EQ(
            std::memcmp(fromSwitched.data(), expected.data(), expected.size() * sizeof(double)), 0);
    }
    // Every ball stands on its floor by now: the contacts are the scene's, not an empty set.
    EXPECT_EQ(hash.Contacts().size(), hash.balls.size());
}

TEST(CPSpaceBroadPhase, SwitchingKeepsEveryShapeSleepersIncluded) {
    Scene scene;
    scene.space->SetSleepTime(0.5f);
    StepFor(*scene.space, 400); // long enough for the resting balls to fall asleep
    ASSERT_GT(scene.space->CountSleepingBodies(), 0);
    cpSpace* handle = LibrarySpace(*scene.space);
    const int staticBefore = IndexedShapes(handle->staticShapes);
    const int dynamicBefore = IndexedShapes(handle->dynamicShapes);
    ASSERT_EQ(staticBefore + dynamicBefore, 24);
    for (auto phase : {CPSpace::BroadPhase::Tree, CPSpace::BroadPhase::Tree,
                       CPSpace::BroadPhase::Hash, CPSpace::BroadPhase::Hash}) {
        scene.space->UseBroadPhase(phase);
        EXPECT_EQ(IsSpatialHash(handle->staticShapes), phase == CPSpace::BroadPhase::Hash);
        EXPECT_EQ(IndexedShapes(handle->staticShapes), staticBefore);
        EXPECT_EQ(IndexedShapes(handle->dynamicShapes), dynamicBefore);
    }
    // A ball dropped onto a sleeper finds it through the rebuilt index and wakes it.
    scene.space->UseBroadPhase(CPSpace::BroadPhase::Tree);
    const CPVect sleeper = scene.balls[0].body->GetPosition();
    ASSERT_TRUE(scene.balls[0].body->IsSleeping());
    AddBall(*scene.space, Vec2(sleeper.x, sleeper.y - 30.0f), 6.0f);
    StepFor(*scene.space, 60);
    EXPECT_FALSE(scene.balls[0].body->IsSleeping());
}

TEST(CPSpaceBroadPhase, HashComesBackWithTheLevelsSize) {
    auto space = LevelLikeSpace();
    // A fresh space has the library's tree; the hash can only come back once it was sized.
    EXPECT_EQ(space->GetBroadPhase(), CPSpace::BroadPhase::Tree);
    space->UseBroadPhase(CPSpace::BroadPhase::Hash);
    EXPECT_EQ(space->GetBroadPhase(), CPSpace::BroadPhase::Tree);
    EXPECT_FALSE(IsSpatialHash(LibrarySpace(*space)->staticShapes));
    space->ResizeStaticHash(10.0f, 2000);
    space->UseBroadPhase(CPSpace::BroadPhase::Tree);
    space->ResizeActiveHash(10.0f, 2000); // the same size again still leaves the tree
    EXPECT_EQ(space->GetBroadPhase(), CPSpace::BroadPhase::Hash);
    EXPECT_TRUE(IsSpatialHash(LibrarySpace(*space)->dynamicShapes));
}
