#pragma once

#include "media/input/InputSink.hpp"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The input of the last frames played, in the recording format (InputScript), kept in memory of
// a size fixed when made: what a replay link is made of at any moment. Frames are labelled as
// InputRecorder labels them (BeginFrame sets the label, EndInput moves it to the next frame).
// Older frames make way for newer ones, by count and by bytes; nothing is allocated per frame.
// Clock lines only for the last frame: nothing the bodies do reads the clock, links stay short,
// and the text still holds an event in its last frame (a link plays little past its last event).
class InputRing : public InputSink {
  public:
    // Keeps up to `frames` frames (> 0) and `bytes` bytes of their event lines.
    InputRing(int frames, std::size_t bytes);

    // Starts frame (from 0, one more each time) at clock value clockMs. A frame number that does
    // not follow the last one (the game counted from 0 again) empties the ring: it starts there.
    void BeginFrame(int frame, int clockMs);
    // The frame's input handling is over: later events belong to the next frame.
    void EndInput();
    // A scene file (its bytes) opened before the frame the next events belong to. One that does
    // not fit the ring empties it: play before it cannot be replayed without it.
    void Drop(const std::string& bytes);
    void Key(int vk, bool down) override;
    void Mouse(int x, int y) override;
    void Wheel(int notches) override;
    void Button(int button, bool down) override;
    void Focus(bool gained) override;
    void Finger(int id, int action, int x, int y) override;
    void Close() override;
    void Window(int width, int height, float pixelsPerPoint) override;

    // True while the ring holds every event since frame 0: its Text replays the play exactly.
    bool HoldsStart() const { return first_ == 0; }
    // Frames held, up to the last one begun.
    int Frames() const { return begun_ < first_ ? 0 : begun_ - first_ + 1; }
    // The held frames as a recording (events, then "frames N" for the frames up to the last one
    // begun). Allocates: made when asked, never per frame.
    std::string Text() const;
    // The held frames from `frame` on (FirstFrame() to the last one begun) as a recording whose
    // frames count from 0 there, prelude's lines (frame 0's, before its events) first; "" for a
    // frame not held. Allocates: made when asked, never per frame.
    std::string TextFrom(int frame, std::string_view prelude) const;
    // The first frame held (0 while HoldsStart()).
    int FirstFrame() const { return first_; }
    // True when events were kept for the frame the next events belong to (a scene opened
    // between two frames): the game's state before that frame is not where its events start.
    bool NextFrameHasEvents() const;
    // Forgets everything: the next frame begun is the first.
    void Clear();

  private:
    std::string text(std::uint64_t from, int firstFrame, std::string_view prelude) const;
    void write(const char* line, std::size_t size);
    void writeLine(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void markUpTo(int frame);
    void forgetBefore(int frame);

    std::vector<char> bytes_;          // circular: positions count up, index = position % size
    std::vector<std::uint64_t> start_; // frame f's first byte position at [f % size]
    std::uint64_t head_ = 0;           // first byte held
    std::uint64_t written_ = 0;        // one past the last byte held
    int first_ = 0;                    // first frame held
    int marked_ = 0;                   // frames up to this one have their start noted
    int label_ = 0;                    // frame the next events belong to
    int begun_ = -1;                   // last frame begun
    int skipped_ = -1;                 // a frame whose events did not fit: its events are not kept
    int clockMs_ = 0;                  // the last frame's clock value
};
