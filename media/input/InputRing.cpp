#include "media/input/InputRing.hpp"

#include "media/input/InputScript.hpp"

#include <cstdarg>
#include <cstdio>

InputRing::InputRing(int frames, std::size_t bytes)
    : bytes_(bytes), start_(static_cast<std::size_t>(frames > 0 ? frames : 1)) {}

void InputRing::Clear() {
    head_ = written_ = 0;
    first_ = marked_ = label_ = 0;
    begun_ = skipped_ = -1;
    start_[0] = 0;
}

void InputRing::markUpTo(int frame) {
    // Frames without events start where the next one does.
    while (marked_ < frame) {
        ++marked_;
        start_[static_cast<std::size_t>(marked_) % start_.size()] = written_;
    }
}

void InputRing::forgetBefore(int frame) {
    if (frame <= first_) {
        return;
    }
    first_ = frame;
    head_ = frame > marked_ ? written_ : start_[static_cast<std::size_t>(frame) % start_.size()];
}

void InputRing::BeginFrame(int frame, int clockMs) {
    clockMs_ = clockMs;
    if (frame != begun_ + 1) {
        Clear();
        // A count that starts above 0 never held frame 0.
        if (frame > 0) {
            markUpTo(frame);
            forgetBefore(frame);
        }
    }
    label_ = frame;
    begun_ = frame;
    markUpTo(frame);
    forgetBefore(frame - static_cast<int>(start_.size()) + 1);
}

void InputRing::EndInput() {
    label_ = begun_ + 1;
}

void InputRing::write(const char* line, std::size_t size) {
    if (label_ == skipped_) {
        return;
    }
    markUpTo(label_);
    // The oldest frames make room; a frame that alone outgrows the ring is not kept, nor is
    // anything before it (a replay cannot do without it).
    while (written_ + size - head_ > bytes_.size()) {
        if (first_ >= label_) {
            skipped_ = label_;
            forgetBefore(label_ + 1);
            return;
        }
        forgetBefore(first_ + 1);
    }
    for (std::size_t i = 0; i < size; ++i) {
        bytes_[(written_ + i) % bytes_.size()] = line[i];
    }
    written_ += size;
}

void InputRing::writeLine(const char* format, ...) {
    char line[96];
    const int prefix = std::snprintf(line, sizeof line, "frame %d: ", label_);
    std::va_list args;
    va_start(args, format);
    const int rest =
        std::vsnprintf(line + prefix, sizeof line - static_cast<std::size_t>(prefix), format, args);
    va_end(args);
    write(line, static_cast<std::size_t>(prefix + rest));
}

void InputRing::Key(int vk, bool down) {
    writeLine("key %d %s\n", vk, down ? "down" : "up");
}

void InputRing::Mouse(int x, int y) {
    writeLine("mouse %d %d\n", x, y);
}

void InputRing::Wheel(int notches) {
    writeLine("wheel %d\n", notches);
}

void InputRing::Button(int button, bool down) {
    writeLine("button %d %s\n", button, down ? "down" : "up");
}

void InputRing::Focus(bool gained) {
    writeLine("focus %s\n", gained ? "gained" : "lost");
}

void InputRing::Finger(int id, int action, int x, int y) {
    static constexpr const char* kActions[] = {"up", "down", "move"};
    if (action >= 0 && action <= 2) {
        writeLine("finger %d %s %d %d\n", id, kActions[action], x, y);
    }
}

void InputRing::Window(int width, int height, float pixelsPerPoint) {
    if (pixelsPerPoint == 1.0f) {
        writeLine("window %d %d\n", width, height);
    } else {
        writeLine("window %d %d %g\n", width, height, static_cast<double>(pixelsPerPoint));
    }
}

void InputRing::Close() {
    writeLine("close\n");
}

void InputRing::Drop(const std::string& bytes) {
    const std::string line =
        "frame " + std::to_string(label_) + ": drop " + InputScript::DropWord(bytes) + "\n";
    write(line.data(), line.size());
}

std::string InputRing::Text() const {
    return text(head_, 0, {});
}

std::string InputRing::TextFrom(int frame, std::string_view prelude) const {
    if (frame < first_ || frame > begun_) {
        return {};
    }
    const std::uint64_t from =
        frame > marked_ ? written_ : start_[static_cast<std::size_t>(frame) % start_.size()];
    return text(from, frame, prelude);
}

bool InputRing::NextFrameHasEvents() const {
    return label_ <= marked_ && label_ >= first_ &&
           start_[static_cast<std::size_t>(label_) % start_.size()] != written_;
}

std::string InputRing::text(std::uint64_t from, int firstFrame, std::string_view prelude) const {
    std::string text = "# dazozi-redov recording: input events by frame\n";
    text.reserve(text.size() + prelude.size() + static_cast<std::size_t>(written_ - from) + 32);
    text += prelude;
    // Every line held starts "frame N: "; from a later frame on, N counts from there. A line's
    // number is written by writeLine or Drop, so it is digits up to the colon.
    bool lineStart = true;
    for (std::uint64_t i = from; i < written_;) {
        const char c = bytes_[i % bytes_.size()];
        if (lineStart && firstFrame > 0) {
            constexpr std::size_t kWord = sizeof "frame " - 1;
            int frame = 0;
            std::uint64_t j = i + kWord;
            for (char d = bytes_[j % bytes_.size()]; d >= '0' && d <= '9';
                 d = bytes_[++j % bytes_.size()]) {
                frame = frame * 10 + (d - '0');
            }
            text += "frame ";
            text += std::to_string(frame - firstFrame);
            i = j;
            lineStart = false;
            continue;
        }
        text += c;
        lineStart = c == '\n';
        ++i;
    }
    if (begun_ >= 0) {
        text += "frame " + std::to_string(begun_ - firstFrame) + ": clock " +
                std::to_string(static_cast<unsigned>(clockMs_)) + "\n";
    }
    text += "frames " + std::to_string(begun_ + 1 - firstFrame) + "\n";
    return text;
}
