#include "media/base/Clock.hpp"

#include <chrono>
#include <thread>

namespace {
class SystemClock final : public Clock {
  public:
    std::uint32_t NowMs() override {
        // Counted from program start rather than from the machine's boot: the count then stays
        // small for 24 days of running instead of passing INT_MAX after 24 days of uptime.
        // steady_clock never goes backwards; truncating to 32 bits gives the wrapping counter.
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start_);
        return static_cast<std::uint32_t>(ms.count());
    }
    void Sleep(int ms) override {
        if (ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

SystemClock systemClock;
Clock* currentClock = &systemClock;
} // namespace

void ManualClock::Sleep(int ms) {
    if (ms <= 0)
        return;
    now_ += static_cast<std::uint32_t>(ms);
    ++sleepCalls_;
    sleptMs_ += ms;
}

void SetClock(Clock* clock) {
    currentClock = clock ? clock : &systemClock;
}
Clock& CurrentClock() {
    return *currentClock;
}
int TimeMs() {
    return static_cast<int>(currentClock->NowMs());
}
int TimeAfter(int time, int ms) {
    // In unsigned arithmetic the sum wraps with the clock instead of overflowing an int.
    return static_cast<int>(static_cast<std::uint32_t>(time) + static_cast<std::uint32_t>(ms));
}
int TimeBetween(int from, int to) {
    return static_cast<int>(static_cast<std::uint32_t>(to) - static_cast<std::uint32_t>(from));
}
void SleepMs(int ms) {
    if (ms > 0)
        currentClock->Sleep(ms);
}
