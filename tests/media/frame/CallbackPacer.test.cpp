#include "media/frame/CallbackPacer.hpp"

#include "media/MediaTestSupport.hpp"

#include <cmath>
#include <cstdint>

namespace {

// The browser's clock: time moves only with the display's callbacks, and sleeping returns at
// once (a page cannot block; it skips callbacks instead).
class CallbackClock final : public Clock {
  public:
    std::uint32_t NowMs() override {
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(nowMs));
    }
    void Sleep(int) override {}
    double nowMs = 0.0;
};

class CallbackPacerTest : public mediatest::OffscreenTest {
  protected:
    void SetUp() override {
        clock.nowMs = 5000.25; // not on a whole millisecond, like performance.now()
        SetClock(&clock);
        OffscreenTest::SetUp();
    }

    // Calls back at `hertz` for `seconds`, on the display's refresh ticks; a frame that takes
    // `workMs` lets the ticks during it pass, as a browser does. Returns the frames run.
    // `jitterMs`: the callbacks' time stamps wander that much early and late in turn.
    int Run(double hertz, double seconds, double workMs = 2.0, double jitterMs = 0.0) {
        const double period = 1000.0 / hertz;
        const double start = clock.nowMs;
        const double end = start + seconds * 1000.0;
        int frames = 0;
        callbacks = 0;
        for (long k = 1;; ++k) {
            const double tick =
                start + static_cast<double>(k) * period + (k % 2 != 0 ? -jitterMs : jitterMs);
            if (tick > end + 1e-6)
                break;
            if (tick < clock.nowMs)
                continue; // busy with the last frame
            clock.nowMs = tick;
            ++callbacks;
            if (!pacer.Due(static_cast<std::uint32_t>(TimeMs())))
                continue;
            ++frames;
            clock.nowMs += workMs; // the frame's input, physics and drawing
            Flip(-1);
        }
        return frames;
    }

    int callbacks = 0;
    CallbackClock clock;
    CallbackPacer pacer;
};

// The frame rate stays 60 whatever the display's refresh rate: every callback at 60 Hz, every
// other one at 120 Hz, two of five at 144 Hz.
TEST_F(CallbackPacerTest, RunsSixtyFramesASecondAtCommonRefreshRates) {
    for (double hz : {60.0, 59.94, 75.0, 120.0, 144.0, 240.0}) {
        const int frames = Run(hz, 10.0);
        EXPECT_GE(frames, 597) << hz << " Hz";
        EXPECT_LE(frames, 601) << hz << " Hz";
    }
}

TEST_F(CallbackPacerTest, RunsEveryOtherCallbackAtOneHundredTwentyHertz) {
    Run(120.0, 1.0);
    int pattern = 0;
    for (int k = 0; k < 8; ++k) {
        clock.nowMs += 1000.0 / 120.0;
        if (pacer.Due(static_cast<std::uint32_t>(TimeMs()))) {
            pattern |= 1 << k;
            Flip(-1);
        }
    }
    EXPECT_TRUE(pattern == 0b01010101 || pattern == 0b10101010) << pattern;
}

// Callback time stamps wander by a fraction of a millisecond; one that comes a little before
// its frame's whole-millisecond start must still run it, not leave the frame to the next
// refresh (a visible stutter).
TEST_F(CallbackPacerTest, ACallbackAFractionEarlyStillRunsItsFrame) {
    clock.nowMs = 5000.0;
    CloseGraphics();
    ASSERT_TRUE(OpenGraphics(1024, 768, 0, 60, 0));
    clock.nowMs = 5000.0 - 1000.0 / 60.0; // the first callback is due when the window opened
    const int frames = Run(60.0, 10.0, 1.0, 0.4);
    EXPECT_EQ(frames, callbacks);
}

// A background tab gets no callbacks for a while; when it comes back the game goes on at 60
// frames per second instead of catching up on the missed ones.
TEST_F(CallbackPacerTest, NoBurstOfFramesAfterABackgroundTab) {
    Run(120.0, 1.0);
    clock.nowMs += 30000.0;
    EXPECT_LE(Run(120.0, 0.5), 31);
    EXPECT_GE(Run(120.0, 1.0), 59);
}

// Frames slower than the pace (software drawing of a busy scene) run on every callback.
TEST_F(CallbackPacerTest, SlowFramesRunOnEveryCallback) {
    const int frames = Run(60.0, 2.0, 25.0);
    EXPECT_EQ(frames, callbacks);
    EXPECT_EQ(frames, 60); // every other refresh tick passes during a frame
}

TEST_F(CallbackPacerTest, ThePaceHoldsAcrossTheWrapOfTheMillisecondCounter) {
    clock.nowMs = 4294967296.0 - 500.25;
    CloseGraphics();
    ASSERT_TRUE(OpenGraphics(1024, 768, 0, 60, 0));
    const int frames = Run(120.0, 2.0);
    EXPECT_GE(frames, 119);
    EXPECT_LE(frames, 121);
}

} // namespace
