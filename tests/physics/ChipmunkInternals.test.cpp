// Laying the library's contacts out again in the solver's order moves them in memory and
// nothing else: a pile simulated with the layout redone at every step moves bit for bit as the
// same pile without it, sleeping bodies and bodies taken out on the way included.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "LibraryView.hpp"
#include "PhysicsTestScene.hpp"
#include "physics/ChipmunkInternals.hpp"

using namespace physics_test;

namespace {

// Balls dropped into a bin, half of them on a ledge of their own that falls asleep; every fifth
// ball is taken out after a while, so that freed contacts are handed out again out of order.
struct Pile {
    std::shared_ptr<CPSpace> space = LevelLikeSpace();
    std::vector<Ball> balls;

    explicit Pile(CPSpace::BroadPhase phase) {
        space->ResizeStaticHash(10.0f, 2000);
        space->UseBroadPhase(phase);
        space->SetSleepTime(0.3f);
        AddFloor(*space, 200.0f, 0, -100.0f, 100.0f);
        AddFloor(*space, 200.0f, 0, 300.0f, 400.0f);
        for (int i = 0; i < 48; ++i) {
            const float x = i % 2 == 0 ? -80.0f + static_cast<float>(i % 16) * 10.0f
                                       : 310.0f + static_cast<float>(i % 8) * 10.0f;
            balls.push_back(AddBall(*space, Vec2(x, 180.0f - static_cast<float>(i / 8) * 19.0f),
                                    9.0f - static_cast<float>(i % 3)));
        }
    }

    // Positions and angles of every ball left, bit for bit.
    std::vector<float> State() const {
        std::vector<float> out;
        for (const Ball& b : balls) {
            if (b.body->IsFreed())
                continue;
            out.push_back(b.body->GetPosition().x);
            out.push_back(b.body->GetPosition().y);
            out.push_back(b.body->GetAngle());
        }
        return out;
    }
};

// The contacts the solver visits lie at rising addresses, as the layout leaves them.
bool SolverOrderRisesInMemory(CPSpace& space) {
    cpArray* solved = LibrarySpace(space)->arbiters;
    for (int i = 1; i < solved->num; ++i) {
        if (solved->arr[i] <= solved->arr[i - 1])
            return false;
    }
    return true;
}

TEST(ChipmunkInternals, LayingContactsOutAgainChangesNoMotion) {
    for (auto phase : {CPSpace::BroadPhase::Hash, CPSpace::BroadPhase::Tree}) {
        SCOPED_TRACE(phase == CPSpace::BroadPhase::Hash ? "hash" : "tree");
        Pile plain(phase), tidied(phase);
        ContactLayoutScratch scratch;
        bool outOfOrderBefore = false;
        for (int step = 0; step < 600; ++step) {
            if (step == 200) {
                for (std::size_t i = 0; i < plain.balls.size(); i += 5) {
                    plain.balls[i].shape->Free();
                    plain.balls[i].body->Free();
                    tidied.balls[i].shape->Free();
                    tidied.balls[i].body->Free();
                }
            }
            plain.space->DoStep(kStep);
            tidied.space->DoStep(kStep);
            outOfOrderBefore = outOfOrderBefore || !SolverOrderRisesInMemory(*tidied.space);
            LayOutContactsInSolverOrder(LibrarySpace(*tidied.space), scratch);
            ASSERT_TRUE(SolverOrderRisesInMemory(*tidied.space)) << "step " << step;
        }
        // The pile was out of order at times (else the layout had nothing to do), some of it
        // sleeps, and both piles are where they would be.
        EXPECT_TRUE(outOfOrderBefore);
        EXPECT_GT(tidied.space->CountSleepingBodies(), 0);
        const std::vector<float> a = plain.State(), b = tidied.State();
        ASSERT_EQ(a.size(), b.size());
        EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(float)), 0);
    }
}

} // namespace
