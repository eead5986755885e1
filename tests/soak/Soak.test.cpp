// A long scripted session of the whole program, headless: the real start-up and set-up, the
// real frame (updateGame) on a manual clock, input pushed through SDL's event queue. The first
// 30-second cycle holds the right button on kinds 1 to 5 in turn and clicks kinds 6 to 8 (8 ties
// a chain to the newest star); every later cycle holds it on kinds 1 to 3 again. All along the
// debug view is toggled and the player steered in circles, and near the end of every cycle the
// remaining balls, cubes and stars (the tied stars among them) are knocked out of the level.
//
// Checked all along: no body of any live object has a NaN or infinite position, and the
// physics space holds exactly the bodies, shapes and joints that the live objects account for
// (nothing orphaned, nothing freed twice). After each knock-out: the removed objects and their
// physics wrappers are really gone (nothing keeps them alive). Where the allocator can be asked
// (not under AddressSanitizer, whose leak check runs at exit instead): over the second half of
// the run the heap after a knock-out grows by less than 10% of what the live objects account
// for (the same objects after every knock-out, so more would be memory kept by what was
// removed; the first half lets the physics library's pools reach their size).
//
// The session lasts DAZOZI_SOAK_SECONDS simulated seconds (default 60: two cycles); the full
// soak is tests/soak/run_full_soak.sh (600 s). DAZOZI_SOAK_VERBOSE=1 prints each knock-out.

#include <gtest/gtest.h>

#include "app/Game.hpp"
#include "bodies/ClearAllBodies.hpp"
#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "bodies/TTentacle.hpp"
#include "control/TControl.hpp"
#include "media/Graphics.hpp"
#include "media/base/Clock.hpp"
#include "media/input/Input.hpp"
#include "media/input/ScriptedInput.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPCircleShape.hpp"
#include "physics/CPPinJoint.hpp"
#include "physics/CPPolyShape.hpp"
#include "physics/CPSlideJoint.hpp"
#include "physics/CPSpace.hpp"
#include "support/GameFixture.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_UNDER_ASAN 1
#endif
#endif

namespace {

constexpr int kFramesPerSecond = 60;
constexpr int kCycleFrames = 30 * kFramesPerSecond;

// One cycle of the script, in frames from its start.
constexpr int kHoldFrames = 90;                  // right button held per kind 1..3
constexpr int kSquidsFrom = 3 * kHoldFrames;     // kind 4 held for 3 frames
constexpr int kChainsFrom = kSquidsFrom + 3;     // kind 5 held for 3 frames
constexpr int kClicksFrom = kChainsFrom + 3 + 2; // kinds 6, 7, 8, 8 clicked, 4 frames apart
constexpr int kKnockOutAt = kCycleFrames - 120;  // then two frames to remove them
constexpr int kAccountAt = kKnockOutAt + 5;

struct Counts {
    int bodies = 0, shapes = 0, joints = 0;
    bool operator==(const Counts&) const = default;
};

template <class T> void Live(const std::shared_ptr<T>& o, int& n) {
    if (o && !o->IsFreed()) {
        ++n;
    }
}

// The bodies, shapes and joints that the listed objects hold in the space.
Counts Account() {
    Counts c;
    std::unordered_set<const void*> shapes; // a chain lists its shown anchor circles twice
    auto shape = [&](const auto& s) {
        if (s && !s->IsFreed() && shapes.insert(s.get()).second) {
            ++c.shapes;
        }
    };
    if (TBall::liveList) {
        for (auto& b : *TBall::liveList) {
            Live(b->_body, c.bodies);
            shape(b->_shape);
        }
    }
    if (TCube::liveList) {
        for (auto& b : *TCube::liveList) {
            Live(b->_body, c.bodies);
            shape(b->_shape);
        }
    }
    if (TStar::liveList) {
        for (auto& s : *TStar::liveList) {
            Live(s->_body, c.bodies);
            shape(s->_pentagoneShape);
            shape(s->_upCornerShape);
            shape(s->_rightCornerShape);
            shape(s->_leftCornerShape);
            shape(s->_downRightCornerShape);
            shape(s->_downLeftCornerShape);
        }
    }
    if (TSquid::liveList) {
        for (auto& s : *TSquid::liveList) {
            Live(s->_body, c.bodies);
            shape(s->_shapeSquid);
        }
    }
    if (TTentacle::liveList) {
        for (auto& t : *TTentacle::liveList) {
            for (auto& x : t->_bodyRect) {
                Live(x, c.bodies);
            }
            for (auto& x : t->_shapePivot) {
                shape(x);
            }
            for (auto& x : t->_shapeRect) {
                shape(x);
            }
            for (auto& x : t->_joint) {
                Live(x, c.joints);
            }
        }
    }
    if (TChain::liveList) {
        for (auto& ch : *TChain::liveList) {
            for (auto& x : ch->_body) {
                Live(x, c.bodies);
            }
            for (auto& x : ch->_shape) {
                shape(x);
            }
            for (auto& x : ch->_joint) {
                Live(x, c.joints);
            }
            // Free anchors (finite mass) are in the space; fixed ones stay outside it.
            for (auto& a : ch->_anchorBody) {
                if (a && !a->IsFreed() && std::isfinite(a->GetMass())) {
                    ++c.bodies;
                }
            }
        }
    }
    return c;
}

Counts InSpace() {
    const auto& space = level->_FGLayer->spaceMap;
    return Counts{space->CountBodies(), space->CountActiveShapes(), space->CountJoints()};
}

bool Finite(const std::shared_ptr<CPBody>& b) {
    if (!b || b->IsFreed()) {
        return true;
    }
    const CPVect p = b->GetPosition();
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Number of live bodies whose position is NaN or infinite.
int NonFinitePositions() {
    int bad = 0;
    auto check = [&](const std::shared_ptr<CPBody>& b) { bad += Finite(b) ? 0 : 1; };
    if (TBall::liveList) {
        for (auto& o : *TBall::liveList) {
            check(o->_body);
        }
    }
    if (TCube::liveList) {
        for (auto& o : *TCube::liveList) {
            check(o->_body);
        }
    }
    if (TStar::liveList) {
        for (auto& o : *TStar::liveList) {
            check(o->_body);
        }
    }
    if (TSquid::liveList) {
        for (auto& o : *TSquid::liveList) {
            check(o->_body);
        }
    }
    if (TTentacle::liveList) {
        for (auto& t : *TTentacle::liveList) {
            for (auto& x : t->_bodyRect) {
                check(x);
            }
        }
    }
    if (TChain::liveList) {
        for (auto& ch : *TChain::liveList) {
            for (auto& x : ch->_body) {
                check(x);
            }
            for (auto& x : ch->_anchorBody) {
                check(x);
            }
        }
    }
    return bad;
}

// Weak references to the free bodies and their physics wrappers, to prove they are released.
struct Watched {
    std::vector<std::weak_ptr<void>> objects;
    void Collect() {
        auto add = [this](const auto& p) {
            if (p) {
                objects.push_back(std::weak_ptr<void>(p));
            }
        };
        if (TBall::liveList) {
            for (auto& b : *TBall::liveList) {
                add(b);
                add(b->_body);
                add(b->_shape);
            }
        }
        if (TCube::liveList) {
            for (auto& b : *TCube::liveList) {
                add(b);
                add(b->_body);
                add(b->_shape);
            }
        }
        if (TStar::liveList) {
            for (auto& s : *TStar::liveList) {
                add(s);
                add(s->_pentagoneShape);
                add(s->_upCornerShape);
                // The newest star's body may stay referenced by the controller (lastStarBody),
                // which is meant to outlive it; its shapes must go.
            }
        }
    }
    int Alive() const {
        int n = 0;
        for (const auto& w : objects) {
            n += w.expired() ? 0 : 1;
        }
        return n;
    }
};

std::size_t HeapInUse() {
#ifdef SOAK_UNDER_ASAN
    return 0;
#else
    return mallinfo2().uordblks;
#endif
}

int SoakSeconds() {
    const char* s = std::getenv("DAZOZI_SOAK_SECONDS");
    const int v = s ? std::atoi(s) : 0;
    return v > 0 ? v : 60;
}

class Soak : public GameFixture {
  protected:
    Soak() : GameFixture(0) {}

    static void Tap(int vk) {
        PushKey(vk, true);
        PushKey(vk, false);
    }

    // The input of frame f of a cycle (and of the whole run, for steering and the debug view).
    // The first cycle plays the whole script; the later ones only hold the right button on
    // kinds 1 to 3, so that the objects that stay for good (squids, tentacles, chains) are all
    // made in the first cycle and memory can be compared from knock-out to knock-out.
    void Script(int run, int f) {
        // Steering in circles: right, down, left, up, 20 frames each.
        static constexpr int kArrows[4] = {39, 40, 37, 38};
        if (run % 20 == 0) {
            const int k = (run / 20) % 4;
            PushKey(kArrows[(k + 3) % 4], false);
            PushKey(kArrows[k], true);
        }
        if (run % 150 == 75) {
            Tap(68); // D
        }
        // The pointer sweeps the upper part of the window.
        PushMouseMove(60 + (run * 7) % 900, 60 + (run * 3) % 120);

        const bool first = run < kCycleFrames;
        static constexpr int kHeld[5][2] = {
            {0, 1}, {kHoldFrames, 2}, {2 * kHoldFrames, 3}, {kSquidsFrom, 4}, {kChainsFrom, 5}};
        for (int i = 0; i < (first ? 5 : 3); ++i) {
            if (f == kHeld[i][0]) {
                Tap(48 + kHeld[i][1]);
                if (i == 0) {
                    PushMouseButton(2, true);
                }
            }
        }
        if (f == (first ? kChainsFrom + 3 : kSquidsFrom)) {
            PushMouseButton(2, false);
        }
        if (!first) {
            return;
        }
        static constexpr int kClicks[4] = {6, 7, 8, 8};
        for (int i = 0; i < 4; ++i) {
            if (f == kClicksFrom + 4 * i) {
                Tap(48 + kClicks[i]);
            }
            if (f == kClicksFrom + 4 * i + 1) {
                PushMouseButton(1, true);
                PushMouseButton(1, false);
            }
        }
    }

    // Sends every ball, cube and star below the level: their next update marks them dead and
    // the following pass removes them and frees their physics objects.
    void KnockOut() {
        const float below = static_cast<float>(level->_FGLayer->maxLevelH) + 200.0f;
        auto drop = [below](const std::shared_ptr<CPBody>& b) {
            if (b && !b->IsFreed()) {
                b->SetPosition(Vec2(b->GetPosition().x, below));
            }
        };
        if (TBall::liveList) {
            for (auto& o : *TBall::liveList) {
                drop(o->_body);
            }
        }
        if (TCube::liveList) {
            for (auto& o : *TCube::liveList) {
                drop(o->_body);
            }
        }
        if (TStar::liveList) {
            for (auto& o : *TStar::liveList) {
                drop(o->_body);
            }
        }
    }
};

TEST_F(Soak, ScriptedSessionKeepsBodiesFiniteAndReleasesWhatLeavesTheLevel) {
    const int seconds = SoakSeconds();
    const int frames = std::max(seconds * kFramesPerSecond, kCycleFrames);
    // What the space holds beyond the listed objects (nothing, normally) stays the same.
    const Counts base0 = InSpace(), account0 = Account();
    const Counts base{base0.bodies - account0.bodies, base0.shapes - account0.shapes,
                      base0.joints - account0.joints};

    Watched watched;
    std::vector<std::size_t> heapAtKnockOut;
    int knockOuts = 0, maxBodies = 0;
    for (int run = 0; run < frames; ++run) {
        const int f = run % kCycleFrames;
        Script(run, f);
        if (f == kKnockOutAt - 1) {
            watched.Collect();
        }
        if (f == kKnockOutAt) {
            KnockOut();
        }
        ASSERT_NO_THROW(updateGame()) << "frame " << run;

        if (run % 30 == 0 || f == kAccountAt) {
            ASSERT_EQ(NonFinitePositions(), 0) << "frame " << run;
            const Counts space = InSpace(), listed = Account();
            maxBodies = std::max(maxBodies, space.bodies);
            ASSERT_EQ(space.bodies - listed.bodies, base.bodies) << "frame " << run;
            ASSERT_EQ(space.shapes - listed.shapes, base.shapes) << "frame " << run;
            ASSERT_EQ(space.joints - listed.joints, base.joints) << "frame " << run;
        }
        if (f == kAccountAt) {
            ++knockOuts;
            ASSERT_EQ(TBall::Count() + TCube::Count() + TStar::Count(), 0) << "frame " << run;
            ASSERT_EQ(watched.Alive(), 0) << "removed objects still referenced, frame " << run;
            watched.objects.clear();
            // The space's contact-layout scratch is a pool too, sized by the biggest pile yet.
            heapAtKnockOut.push_back(HeapInUse() - level->_FGLayer->spaceMap->TidyScratchBytes());
            if (std::getenv("DAZOZI_SOAK_VERBOSE") != nullptr) {
                const Counts space = InSpace();
                std::printf("knock-out %d at %d s: %d bodies, %d shapes, %d joints in the space; "
                            "%zu bytes in use\n",
                            knockOuts, run / kFramesPerSecond, space.bodies, space.shapes,
                            space.joints, heapAtKnockOut.back());
            }
        }
    }
    EXPECT_GE(knockOuts, 1);
    RecordProperty("max_bodies", maxBodies);

#ifndef SOAK_UNDER_ASAN
    // From the first knock-out on, the same objects stay alive (the player, and the squids,
    // tentacles and chains of the first cycle; chains only lose joints), so memory kept by the
    // removed balls, cubes and stars would add up from knock-out to knock-out. The physics
    // library also keeps pools (contacts, hash bins; the space its contact-layout scratch,
    // left out of the figures) that grow, in steps, whenever a pile is
    // bigger than any before and are never given back; the first half of the run lets them
    // reach their size. Over the second half, the memory in use after a knock-out must stay
    // within 10% of what the live objects account for, measured at the end by releasing them.
    if (heapAtKnockOut.size() >= 2) {
        const double middle = static_cast<double>(heapAtKnockOut[(heapAtKnockOut.size() - 1) / 2]);
        const double last = static_cast<double>(heapAtKnockOut.back());
        const std::size_t withObjects = HeapInUse();
        TChain::ClearAll();
        TSquid::ClearAll();
        TTentacle::ClearAll();
        const double accounted =
            static_cast<double>(withObjects) - static_cast<double>(HeapInUse());
        RecordProperty("heap_growth_second_half_bytes", std::to_string(last - middle));
        RecordProperty("heap_live_objects_bytes", std::to_string(accounted));
        EXPECT_GT(accounted, 0.0);
        EXPECT_LE(last - middle, 0.10 * accounted)
            << "the heap grew by " << last - middle << " bytes over the second half of the run ("
            << heapAtKnockOut.size() << " knock-outs); the live objects account for " << accounted;
    }
#endif
}

} // namespace
