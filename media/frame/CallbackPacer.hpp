#pragma once
#include <cstdint>

// For hosts that call the program once per display refresh instead of letting it sleep (a
// browser's animation-frame callback at 60, 120 or 144 Hz, or throttled in a background tab):
// decides which callbacks run a frame so that frames keep the pace Flip(-1) keeps on the
// desktop. Flip(-1) itself still advances the pace; its sleep becomes "skip callbacks until
// FlipTargetMs()". A late frame re-anchors the pace in Flip, so a tab coming back from the
// background runs one frame per callback at most, never a burst.
class CallbackPacer {
  public:
    // toleranceMs: how early a callback may start a frame. Refresh callbacks fall on
    // fractional, jittery milliseconds while the pace is in whole ones; without slack a
    // callback that lands a fraction before its frame's start leaves the frame to the next
    // refresh, a visible stutter.
    explicit CallbackPacer(int toleranceMs = kDefaultToleranceMs) : toleranceMs_(toleranceMs) {}

    // True when a callback at nowMs (TimeMs) should run a frame. Needs an open paced surface.
    bool Due(std::uint32_t nowMs) const;

    // Less than half the 144 Hz callback interval (6.9 ms), so a callback never runs a frame
    // that the next one would run in time.
    static constexpr int kDefaultToleranceMs = 2;

  private:
    int toleranceMs_;
};
