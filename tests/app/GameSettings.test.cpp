// The settings panel inside the real frame: slow motion runs the same physics as full speed,
// and with sleeping on a resting body woken by each cause moves as it would have awake.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "app/Game.hpp"
#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TSquid.hpp"
#include "control/TControl.hpp"
#include "control/TSettings.hpp"
#include "media/input/Input.hpp"
#include "media/input/ScriptedInput.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPSpace.hpp"
#include "support/GameFixture.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

class GameSettingsTest : public GameFixture {
  protected:
    GameSettingsTest() : GameFixture(1000u) {}

    static void tap(Key key, int times = 1) {
        for (int i = 0; i < times; ++i) {
            PushKey(key, true);
            PushKey(key, false);
        }
    }
    static void frames(int n) {
        for (int i = 0; i < n; ++i) {
            updateGame();
        }
    }
    // Through the panel's keys, as a user would: open, rows down to the setting, change, close.
    static void pressInPanel(int row, Key change, int times) {
        tap(LetterKey('G'));
        tap(Key::Up, TSettings::RowCount); // from the top whatever was chosen before
        updateGame();
        tap(Key::Down, row);
        tap(change, times);
        updateGame();
        tap(LetterKey('G'));
        updateGame();
    }
    // Every body's full state, in the space's order, hashed (FNV-1a over the doubles' bytes).
    static std::uint64_t bodyHash() {
        std::uint64_t h = 1469598103934665603ull;
        for (const auto& object : level->_FGLayer->spaceMap->BodyList()) {
            const CPExactState s = static_cast<const CPBody*>(object.get())->GetExactState();
            const double values[] = {s.x, s.y, s.angle, s.vx, s.vy, s.angularVelocity};
            unsigned char bytes[sizeof values];
            std::memcpy(bytes, values, sizeof values);
            for (unsigned char b : bytes) {
                h = (h ^ b) * 1099511628211ull;
            }
        }
        return h;
    }
    // The same start for every run: paused (no physics while the settings change), a pile of
    // every kind on the floor right of the player.
    std::uint64_t twoSecondsAt(int scaleIndex) {
        tap(Key::P);
        updateGame();
        pressInPanel(TSettings::TimeScale,
                     scaleIndex < TSettings::kFullSpeed ? Key::Left : Key::Right,
                     std::abs(scaleIndex - TSettings::kFullSpeed));
        EXPECT_EQ(gameSettings->scale, scaleIndex);
        for (int i = 0; i < 4; ++i) {
            control->spawnAt(1 + i % 3, Vec2(610.0f + 30.0f * static_cast<float>(i), 480.0f));
        }
        control->spawnAt(4, Vec2(700.0f, 420.0f));
        control->spawnAt(6, Vec2(1800.0f, 150.0f));
        tap(Key::P);
        const int eighths = TSettings::kScaleEighths[scaleIndex];
        frames(120 * 8 / eighths); // two simulated seconds: 120 physics frames
        EXPECT_EQ(level->_FGLayer->spaceMap->StepsTaken() % 360u, 0u);
        return bodyHash();
    }
    void restart() {
        TearDown();
        SetUp();
    }
};

TEST_F(GameSettingsTest, SlowMotionAndFastForwardReachTheFullSpeedState) {
    const std::uint64_t full = twoSecondsAt(TSettings::kFullSpeed);
    restart();
    EXPECT_EQ(twoSecondsAt(1), full) << "1/4 speed";
    restart();
    EXPECT_EQ(twoSecondsAt(0), full) << "1/8 speed";
    restart();
    EXPECT_EQ(twoSecondsAt(5), full) << "4x speed";
}

// A resting body put to sleep, then woken by each cause: it wakes, and within a second it has
// moved as far as the same body did in the same run with sleeping off (within a few pixels:
// sleeping froze it a little earlier, at a slightly different rest). A hanging chain never
// sleeps (its links jitter against their neighbours without end), nor does what rests on it or
// hangs from it; a short chain lying on the floor between its fixed anchors does, and its links
// are the sleepers its breaking must wake.
struct WakeCase {
    const char* cause;
    int kind;      // what rests: 1 ball, 2 cube (0: what `make` makes)
    CPVect at;     // where it is dropped
    float minMove; // pixels the body must move after the cause
    float slack;   // pixels the two runs may differ by (a tentacle's blow varies more)
    std::function<void(std::shared_ptr<CPBody>& target)> act; // the cause, over a few frames
    std::function<std::shared_ptr<CPBody>()> make = nullptr;  // makes the body instead
};

const CPVect kFloor = Vec2(660.0f, 535.0f);       // on the floor right of the start, scroll (0, 0)
const CPVect kBelowPlayer = Vec2(428.0f, 560.0f); // on the floor below the player's start

void grab(std::shared_ptr<CPBody>& target) {
    const CPVect p = target->GetPosition();
    PushMouseMove(static_cast<int>(p.x), static_cast<int>(p.y));
    PushMouseButton(3, true);
    updateGame();
    for (int i = 1; i <= 20; ++i) {
        PushMouseMove(static_cast<int>(p.x), static_cast<int>(p.y) - 5 * i);
        updateGame();
    }
    PushMouseButton(3, false);
}

// The player squid never rests (its tentacle writhes), so it is steered down onto the sleeping
// body below it, which its tentacle knocks aside.
void push(std::shared_ptr<CPBody>&) {
    PushKey(Key::Down, true);
    for (int i = 0; i < 90; ++i) {
        updateGame();
    }
    PushKey(Key::Down, false);
}

void editGround(std::shared_ptr<CPBody>& target) {
    const CPVect p = target->GetPosition();
    // The floor cells under the ball and beside it, as the editor's erase does it.
    const int column = static_cast<int>(p.x) / 24;
    for (int c = column - 1; c <= column + 1; ++c) {
        level->_FGLayer->SetCell(c, static_cast<int>(p.y + 17.0f) / 24, 0, 0);
    }
}

// A solid block painted where the ball rests: its new edges run through the ball.
void paintWall(std::shared_ptr<CPBody>& target) {
    const CPVect p = target->GetPosition();
    level->_FGLayer->SetCell(static_cast<int>(p.x) / 24, static_cast<int>(p.y) / 24, 1, 15);
}

void land(std::shared_ptr<CPBody>& target) {
    const CPVect p = target->GetPosition();
    control->spawnAt(2, Vec2(p.x - 14.0f, p.y - 60.0f));
}

// A chain of three links lying on the floor right of the start between its two fixed anchors;
// the body is its middle link.
std::shared_ptr<CPBody> chainOnTheFloor() {
    auto chain = TChain::Create();
    chain->Init(level->_FGLayer, Vec2(600.0f, 545.0f), 1, nullptr, nullptr, 2, 2.0f, 7.0f, 1.0f,
                100, 0.0f, 0.05f);
    return *std::next(chain->_body.begin());
}

// The chain's break distance put below its links' spacing, as if pulled apart: its next update
// breaks a joint, long after its grace period.
void breakChain(std::shared_ptr<CPBody>&) {
    TChain& chain = *TChain::liveList->Last();
    const int joints = chain._joint.Count();
    chain._strong = 0.0f;
    updateGame();
    EXPECT_EQ(chain._joint.Count(), joints - 1);
}

std::shared_ptr<CPBody> restingTarget(int kind, CPVect at) {
    control->spawnAt(kind, at);
    return kind == 1 ? TBall::liveList->Last()->_body : TCube::liveList->Last()->_body;
}

TEST_F(GameSettingsTest, ASleepingBodyWokenByEachCauseMovesAsItWouldHave) {
    const WakeCase cases[] = {
        {"grab", 2, kFloor, 60.0f, 3.0f, grab},
        {"push: the player steered into it", 2, kBelowPlayer, 10.0f, 8.0f, push},
        {"ground removed under it", 1, kFloor, 40.0f, 3.0f, editGround},
        {"a wall painted through it", 1, kFloor, 2.0f, 3.0f, paintWall},
        {"new body landing on it", 1, kFloor, 5.0f, 3.0f, land},
        // Lying on the floor, the pieces stay where they are once it breaks.
        {"a chain breaking", 0, ZeroVect, -1.0f, 3.0f, breakChain, chainOnTheFloor},
    };
    for (const WakeCase& c : cases) {
        SCOPED_TRACE(c.cause);
        float moved[2] = {};
        int settleFrames = 0;
        for (int sleeping = 1; sleeping >= 0; --sleeping) {
            restart();
            // The same keys in both runs; only the sleeping row's change differs.
            pressInPanel(TSettings::Sleeping, sleeping ? Key::Right : Key::Down, 1);
            ASSERT_EQ(gameSettings->sleeping, sleeping == 1);
            std::shared_ptr<CPBody> target = c.make ? c.make() : restingTarget(c.kind, c.at);
            if (sleeping) {
                // A bounded wait for the event: the body falls asleep.
                while (!target->IsSleeping() && settleFrames < 1800) {
                    updateGame();
                    ++settleFrames;
                }
                ASSERT_TRUE(target->IsSleeping()) << "never fell asleep";
            } else {
                frames(settleFrames);
            }
            const CPVect before = target->GetPosition();
            c.act(target);
            bool woke = !target->IsSleeping();
            for (int i = 0; i < 40; ++i) {
                updateGame();
                woke = woke || !target->IsSleeping();
            }
            if (sleeping) {
                EXPECT_TRUE(woke);
            }
            moved[sleeping] = target->GetPosition().Sub(before).Length();
        }
        EXPECT_GT(moved[1], c.minMove);
        EXPECT_NEAR(moved[1], moved[0], c.slack + 0.1f * moved[0]);
    }
}

} // namespace
