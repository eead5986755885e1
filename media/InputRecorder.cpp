#include "media/InputRecorder.hpp"

InputRecorder::~InputRecorder() {
    Finish();
}

bool InputRecorder::Open(const std::string& path, std::string& error) {
    Finish();
    file_ = std::fopen(path.c_str(), "w");
    if (file_ == nullptr) {
        error = "cannot write " + path;
        return false;
    }
    std::fputs("# dazozi-redov recording: input events and clock by frame\n", file_);
    label_ = 0;
    begun_ = -1;
    return true;
}

void InputRecorder::BeginFrame(int frame, int clockMs) {
    if (file_ == nullptr) {
        return;
    }
    begun_ = frame;
    label_ = frame;
    std::fprintf(file_, "frame %d: clock %d\n", frame, clockMs);
}

void InputRecorder::EndInput() {
    if (file_ == nullptr) {
        return;
    }
    label_ = begun_ + 1;
    // A program ended by Escape or a crash still leaves every finished frame on disk.
    std::fflush(file_);
}

void InputRecorder::Finish() {
    if (file_ == nullptr) {
        return;
    }
    // The frame that was begun last is run by a replay too: a session ended by Escape ends
    // inside it, and a close seen after it arrives too late to be replayed (the replay then
    // goes on live).
    std::fprintf(file_, "frames %d\n", begun_ + 1);
    std::fclose(file_);
    file_ = nullptr;
}

void InputRecorder::Key(int vk, bool down) {
    if (file_ != nullptr) {
        std::fprintf(file_, "frame %d: key %d %s\n", label_, vk, down ? "down" : "up");
    }
}

void InputRecorder::Mouse(int x, int y) {
    if (file_ != nullptr) {
        std::fprintf(file_, "frame %d: mouse %d %d\n", label_, x, y);
    }
}

void InputRecorder::Button(int button, bool down) {
    if (file_ != nullptr) {
        std::fprintf(file_, "frame %d: button %d %s\n", label_, button, down ? "down" : "up");
    }
}

void InputRecorder::Focus(bool gained) {
    if (file_ != nullptr) {
        std::fprintf(file_, "frame %d: focus %s\n", label_, gained ? "gained" : "lost");
    }
}

void InputRecorder::Close() {
    if (file_ != nullptr) {
        std::fprintf(file_, "frame %d: close\n", label_);
    }
}
