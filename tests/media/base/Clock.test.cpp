#include "media/MediaTestSupport.hpp"

using namespace mediatest;

namespace {
class PacingTest : public OffscreenTest {
  protected:
    void SetUp() override {
        SetClock(&clock);
        OffscreenTest::SetUp(); // the pacing target starts at the clock's time
    }
    ManualClock clock{5000};
};
} // namespace

TEST_F(PacingTest, SixtyFlipsTakeOneSecond) {
    std::vector<int> steps;
    for (int i = 0; i < 60; ++i) {
        const std::uint32_t before = clock.NowMs();
        Flip(-1);
        steps.push_back(static_cast<int>(clock.NowMs() - before));
    }
    EXPECT_EQ(clock.NowMs(), 6000u);
    // 16 ms per frame plus one more on two frames of three.
    for (std::size_t i = 0; i < 60; i += 3) {
        EXPECT_EQ(steps[i], 16) << i;
        EXPECT_EQ(steps[i + 1], 17) << i;
        EXPECT_EQ(steps[i + 2], 17) << i;
    }
}

TEST_F(PacingTest, FrameWorkCountsAgainstTheBudget) {
    Flip(-1);
    clock.Advance(10); // the frame's own work
    const std::uint32_t before = clock.NowMs();
    Flip(-1);
    EXPECT_EQ(clock.NowMs() - before, 7u); // 17 - 10
}

TEST_F(PacingTest, LateFrameIsPacedFromNowWithoutBurst) {
    Flip(-1);
    const int sleeps = clock.SleepCalls();
    clock.Advance(100); // a long frame overruns its target
    Flip(-1);
    EXPECT_EQ(clock.SleepCalls(), sleeps); // no waiting when late
    const std::uint32_t late = clock.NowMs();
    Flip(-1);
    const std::uint32_t step = clock.NowMs() - late;
    EXPECT_TRUE(step == 16u || step == 17u) << step; // a full frame from now, not a catch-up
    Flip(-1);
    EXPECT_GE(clock.NowMs() - late, 32u);
}

TEST_F(PacingTest, UnpacedFlipsDoNotWait) {
    Flip(0);
    Flip(1);
    EXPECT_EQ(clock.NowMs(), 5000u);
    EXPECT_TRUE(OpenGraphics(1024, 768, 0, 0, 0));
    Flip(-1); // hertz 0: no pacing
    EXPECT_EQ(clock.NowMs(), 5000u);
}

TEST(ClockTest, TimeAndSleepUseTheCurrentClock) {
    ManualClock clock(0xFFFFFFF0u);
    SetClock(&clock);
    const int t0 = TimeMs();
    SleepMs(0);
    SleepMs(-5);
    EXPECT_EQ(TimeMs(), t0);
    SleepMs(32); // wraps at 2^32
    EXPECT_EQ(TimeMs(), 16);
    EXPECT_EQ(TimeMs() - t0, 32);
    SetClock(nullptr);
    EXPECT_EQ(&CurrentClock() == &clock, false);
    // The system clock counts from program start, not from the machine's boot: a test process
    // ends within ten minutes (the suite's time limit per test), a machine is up for longer.
    const int sinceStart = TimeMs();
    EXPECT_GE(sinceStart, 0);
    EXPECT_LT(sinceStart, 600 * 1000);
}

// Times are added and compared through wrapping differences: right just below and across
// both the int range's end (where TimeMs() + 2000 once overflowed) and the clock's wrap.
// Scripts may move the clock back and stall it for long: the sleep total never overflows.
TEST(ClockTest, ManualSleepTotalsBeyondTheIntRange) {
    ManualClock clock(0);
    clock.Sleep(2'000'000'000);
    clock.Sleep(2'000'000'000);
    EXPECT_EQ(clock.SleptMs(), 4'000'000'000LL);
    EXPECT_EQ(clock.SleepCalls(), 2);
}

TEST(ClockTest, TimeAfterAndTimeBetweenWrapWithTheClock) {
    for (std::uint32_t start : {0x7FFFFFFFu - 500u, 0xFFFFFFFFu - 500u, 0u}) {
        SCOPED_TRACE(start);
        ManualClock clock(start);
        SetClock(&clock);
        const int now = TimeMs();
        const int end = TimeAfter(now, 2000);
        EXPECT_EQ(TimeBetween(now, end), 2000);
        EXPECT_EQ(TimeBetween(end, now), -2000);
        clock.Advance(1999);
        EXPECT_LT(TimeBetween(end, TimeMs()), 0); // not yet
        clock.Advance(1);
        EXPECT_EQ(TimeBetween(end, TimeMs()), 0);
        SetClock(nullptr);
    }
}
