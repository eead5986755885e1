#include "media/Clock.hpp"

#include <chrono>
#include <thread>

namespace {
class SystemClock final : public Clock {
  public:
    std::uint32_t NowMs() override {
        // steady_clock never goes backwards; truncating to 32 bits gives the wrapping counter.
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        return static_cast<std::uint32_t>(ms.count());
    }
    void Sleep(int ms) override {
        if (ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
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
void SleepMs(int ms) {
    if (ms > 0)
        currentClock->Sleep(ms);
}
