#include "media/frame/CallbackPacer.hpp"

#include "media/frame/Frame.hpp"

bool CallbackPacer::Due(std::uint32_t nowMs) const {
    // Signed difference of the wrapping millisecond counters: right across the 2^32 wrap too.
    const auto untilTarget = static_cast<std::int32_t>(FlipTargetMs() - nowMs);
    return untilTarget <= toleranceMs_;
}
