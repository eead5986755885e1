#include "media/base/web/BrowserClock.hpp"

#include <emscripten.h>

std::uint32_t BrowserClock::NowMs() {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(emscripten_get_now()));
}

void BrowserClock::Sleep(int) {
    // Busy-waiting would freeze the page; the time passes between display callbacks instead.
}
