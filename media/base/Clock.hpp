#pragma once
#include <cstdint>

// Source of milliseconds and sleeping used by TimeMs, SleepMs and the frame pacing of Flip.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::uint32_t NowMs() = 0; // monotonic milliseconds, wrapping at 2^32
    virtual void Sleep(int ms) = 0;    // suspends for ms milliseconds (ms > 0)
};

// A clock that only moves when told to: Sleep(ms) advances it by ms at once (tests).
class ManualClock final : public Clock {
  public:
    explicit ManualClock(std::uint32_t start = 0) : now_(start) {}
    std::uint32_t NowMs() override { return now_; }
    void Sleep(int ms) override; // advances the time by ms when ms > 0
    void Set(std::uint32_t ms) { now_ = ms; }
    void Advance(int ms) { now_ += static_cast<std::uint32_t>(ms); }
    int SleepCalls() const { return sleepCalls_; }    // number of Sleep calls with ms > 0
    std::int64_t SleptMs() const { return sleptMs_; } // total ms passed to Sleep

  private:
    std::uint32_t now_;
    int sleepCalls_ = 0;
    std::int64_t sleptMs_ = 0;
};

void SetClock(Clock* clock); // non-owning, must outlive its use; nullptr restores the system clock
Clock& CurrentClock();       // the clock in use
int TimeMs(); // monotonic milliseconds of the current clock (the system clock's count from
              // program start), wrapping at 2^32: compare times only through TimeBetween
int TimeAfter(int time, int ms); // time + ms on the wrapping clock (no overflow)
int TimeBetween(int from,
                int to); // to - from in ms, right across the wrap while |to - from| < 2^31
void SleepMs(int ms);    // suspends for ms milliseconds; nothing for ms <= 0
