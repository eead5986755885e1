#pragma once

#include <array>
#include <string>

// Where a replay link of the last minute can start: the scene as a frame began (its text in the
// scene format), taken every few seconds at a moment nothing is held nor open, so that the input
// after it replays from a fresh start and that scene alone. A handful of slots, reused: a start
// costs a scene's text every few seconds, never anything in the frames between.
class ReplayStarts {
  public:
    static constexpr int kEveryFrames = 600; // ten seconds at 60 frames a second
    static constexpr int kSlots = 7;         // a minute's worth and the one before it

    struct Start {
        int frame = -1;                 // the frame it begins; -1: an empty slot
        int pointerX = 0, pointerY = 0; // the pointer then, in logical pixels
        int windowW = 0, windowH = 0;   // the window input was laid out for (0 x 0: none)
        float pixelsPerPoint = 1.0f;    // its output pixels to a window point
        std::string scene;              // the scene file's text
    };

    // A start is due every everyFrames frames (> 0).
    explicit ReplayStarts(int everyFrames = kEveryFrames);

    // Frame `frame` is about to begin: true when a start is due (none kept in the last
    // everyFrames frames since frame 0). A frame below the last one asked about (the game
    // counted from 0 again) forgets every start first: their frame numbers mean nothing now.
    bool Due(int frame);
    // Keeps start (the scene as its frame begins, and where the pointer and the window were) in
    // the oldest slot.
    void Keep(Start&& start);
    // The oldest start at frame `first` or later (the longest replay the input from `first` on
    // can carry), or nullptr. Valid until the next Keep or Clear.
    const Start* OldestFrom(int first) const;
    // Forgets every start.
    void Clear();

  private:
    std::array<Start, kSlots> slots_;
    int every_;
    int next_ = 0;  // the slot the next Keep fills
    int kept_ = 0;  // the frame of the last start kept (frame 0 replays from the start itself)
    int asked_ = 0; // the last frame Due was asked about
};
