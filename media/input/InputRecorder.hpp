#pragma once

#include "media/input/InputSink.hpp"

#include <cstdio>
#include <string>

// Writes every input event the program handles, frame by frame, with the clock value of each
// frame, as an InputScript that replays the session. Events are labelled with the frame whose
// input handling they reach: the frame sets the label before its input queries, and moves it to
// the next frame once its input handling is done (later polls in the frame only feed drawing).
// A file path (new or regular) is written under a temporary name, PATH.part, and renamed to
// PATH once whole: a recording that could not be finished (a full disk) leaves what PATH held
// untouched; one of a program killed midway stays in PATH.part. A device (/dev/null) is written
// as it is.
class InputRecorder : public InputSink {
  public:
    ~InputRecorder() override; // finishes the file
    // Checks that path can be written, without touching what it holds (a missing file is made
    // empty, and removed again unless a recording replaces it). False with "cannot write PATH"
    // in error.
    bool Open(const std::string& path, std::string& error);
    bool IsOpen() const { return file_ != nullptr; }
    // Starts frame: later events belong to it; writes its clock value (ms, as the clock reads).
    void BeginFrame(int frame, int clockMs);
    // The frame's input handling is over: later events belong to the next frame. Writes the
    // frame out; a write that failed shows in Failed() from here on.
    void EndInput();
    // Writes "frames N" (up to the last frame begun), closes the file and puts it in place. False
    // when anything could not be written (Error() says why; PATH.part is gone and PATH as it
    // was); harmless twice.
    bool Finish();
    // True once a write failed; the recording is then incomplete.
    bool Failed() const { return failed_; }
    // "cannot write PATH: reason" after a failure, else "".
    const std::string& Error() const { return error_; }

    // From the input layer, for each event it handled (Windows key codes, buttons 1..3).
    void Key(int vk, bool down) override;
    void Mouse(int x, int y) override;
    void Wheel(int notches) override; // away from the user > 0
    void Button(int button, bool down) override;
    void Focus(bool gained) override;
    // A finger (id as the script names it) lands (action 1), moves (2) or lifts (0) at (x, y)
    // in logical pixels.
    void Finger(int id, int action, int x, int y) override;
    void Close() override;
    void Window(int width, int height, float pixelsPerPoint) override;
    // A scene file dropped on the window (its bytes), which the program opens before the frame
    // the next events belong to.
    void Drop(const std::string& bytes);

  private:
    // Truncates the file before the first thing is written; false when there is no file.
    bool Ready();
    void Fail();
    std::string partPath() const { return path_ + ".part"; }

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string error_;
    bool existed_ = false;   // path was there before Open
    bool viaPart_ = false;   // written to PATH.part, renamed once whole
    bool truncated_ = false; // the first frame has begun and the file holds this recording
    bool failed_ = false;
    int label_ = 0;  // frame the next events belong to
    int begun_ = -1; // last frame begun
};
