#include "app/ReplayStarts.hpp"

ReplayStarts::ReplayStarts(int everyFrames) : every_(everyFrames > 0 ? everyFrames : 1) {}

bool ReplayStarts::Due(int frame) {
    if (frame < asked_) {
        Clear();
    }
    asked_ = frame;
    return frame - kept_ >= every_;
}

void ReplayStarts::Keep(Start&& start) {
    kept_ = start.frame;
    slots_[static_cast<std::size_t>(next_)] = std::move(start);
    next_ = (next_ + 1) % kSlots;
}

const ReplayStarts::Start* ReplayStarts::OldestFrom(int first) const {
    const Start* oldest = nullptr;
    for (const Start& s : slots_) {
        if (s.frame >= first && (oldest == nullptr || s.frame < oldest->frame)) {
            oldest = &s;
        }
    }
    return oldest;
}

void ReplayStarts::Clear() {
    for (Start& s : slots_) {
        s.frame = -1;
    }
    next_ = 0;
    kept_ = 0;
    asked_ = 0;
}
