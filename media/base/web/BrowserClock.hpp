#pragma once
#include "media/base/Clock.hpp"

// The clock of the program in a web page: milliseconds of the page's performance clock, and
// sleeps that return at once. A page cannot block its thread; the frame loop waits instead by
// letting display callbacks pass (see CallbackPacer), which is where Flip(-1)'s sleep went.
class BrowserClock final : public Clock {
  public:
    std::uint32_t NowMs() override; // performance.now() in whole ms, wrapping at 2^32
    void Sleep(int ms) override;    // returns at once
};
