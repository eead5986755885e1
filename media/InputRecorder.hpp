#pragma once

#include <cstdio>
#include <string>

// Writes every input event the program handles, frame by frame, with the clock value of each
// frame, as an InputScript that replays the session. Events are labelled with the frame whose
// input handling they reach: the frame sets the label before its input queries, and moves it to
// the next frame once its input handling is done (later polls in the frame only feed drawing).
class InputRecorder {
  public:
    ~InputRecorder(); // finishes the file
    // Creates (truncates) path. False with "cannot write PATH" in error.
    bool Open(const std::string& path, std::string& error);
    bool IsOpen() const { return file_ != nullptr; }
    // Starts frame: later events belong to it; writes its clock value.
    void BeginFrame(int frame, int clockMs);
    // The frame's input handling is over: later events belong to the next frame.
    void EndInput();
    // Writes "frames N" (up to the last frame begun) and closes the file. Harmless twice.
    void Finish();

    // From the input layer, for each event it handled (Windows key codes, buttons 1..3).
    void Key(int vk, bool down);
    void Mouse(int x, int y);
    void Button(int button, bool down);
    void Focus(bool gained);
    void Close();

  private:
    std::FILE* file_ = nullptr;
    int label_ = 0;  // frame the next events belong to
    int begun_ = -1; // last frame begun
};
