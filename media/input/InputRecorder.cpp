#include "media/input/InputRecorder.hpp"

#include "media/base/FilePath.hpp"
#include "media/input/InputScript.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

InputRecorder::~InputRecorder() {
    Finish();
}

bool InputRecorder::Open(const std::string& path, std::string& error) {
    Finish();
    struct stat st {};
    existed_ = ::stat(path.c_str(), &st) == 0;
    // A FIFO or a socket would block the open until someone reads, and the truncating reopen
    // of the first frame again: refused. Devices are written as files (/dev/null, /dev/full).
    if (existed_ && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode))) {
        error = "cannot write " + path + ": not a regular file";
        return false;
    }
    // Append mode proves the file can be written and keeps its contents: if the window cannot
    // open, or the renderer setting is refused, an earlier recording at this path survives. The
    // open cannot block should a FIFO have taken the path since.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd >= 0 && (::fstat(fd, &st) != 0 || S_ISFIFO(st.st_mode))) {
        ::close(fd);
        error = "cannot write " + path + ": not a regular file";
        return false;
    }
    file_ = fd >= 0 ? ::fdopen(fd, "a") : nullptr;
    if (file_ == nullptr) {
        if (fd >= 0) {
            ::close(fd);
        }
        error = "cannot write " + path;
        return false;
    }
    path_ = path;
    viaPart_ = S_ISREG(st.st_mode);
    error_.clear();
    truncated_ = false;
    failed_ = false;
    label_ = 0;
    begun_ = -1;
    return true;
}

void InputRecorder::Fail() {
    if (!failed_) {
        failed_ = true;
        error_ = "cannot write " + path_ + ": " + std::strerror(errno != 0 ? errno : EIO);
    }
}

bool InputRecorder::Ready() {
    if (file_ == nullptr) {
        return false;
    }
    if (!truncated_) {
        // The first thing recorded starts the new file; what PATH holds stays until it is whole.
        truncated_ = true;
        errno = 0;
        file_ = std::freopen(viaPart_ ? partPath().c_str() : path_.c_str(), "w", file_);
        if (file_ == nullptr) {
            Fail();
            return false;
        }
        std::fputs("# dazozi-redov recording: input events and clock by frame\n", file_);
    }
    return true;
}

void InputRecorder::BeginFrame(int frame, int clockMs) {
    if (!Ready()) {
        return;
    }
    begun_ = frame;
    label_ = frame;
    // The clock is unsigned and wraps after 49.7 days; written as such, a replay reads it back.
    std::fprintf(file_, "frame %d: clock %u\n", frame, static_cast<unsigned>(clockMs));
}

void InputRecorder::EndInput() {
    if (file_ == nullptr) {
        return;
    }
    label_ = begun_ + 1;
    // A program ended by Escape or a crash still leaves every finished frame on disk; a full
    // disk is seen here, within the frame it happened.
    errno = 0;
    if (std::fflush(file_) != 0 || std::ferror(file_)) {
        Fail();
    }
}

bool InputRecorder::Finish() {
    if (file_ == nullptr) {
        return !failed_;
    }
    if (!truncated_) {
        // Nothing was recorded: the file is as Open found it, or removed again if Open made it.
        std::fclose(file_);
        file_ = nullptr;
        if (!existed_) {
            std::remove(path_.c_str());
        }
        return !failed_;
    }
    // The frame that was begun last is run by a replay too: a session ended by Escape ends
    // inside it, and a close seen after it arrives too late to be replayed (the replay then
    // goes on live).
    errno = 0;
    if (!failed_) {
        std::fprintf(file_, "frames %d\n", begun_ + 1);
    }
    const bool written = !failed_ && std::fflush(file_) == 0 && !std::ferror(file_);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!written || !closed) {
        Fail();
    } else if (viaPart_) {
        // std::filesystem's rename replaces the file Open made at PATH on Windows too, where the
        // C library's refuses a name that exists.
        std::error_code ec;
        std::filesystem::rename(FilePath::FromUtf8(partPath()), FilePath::FromUtf8(path_), ec);
        if (ec) {
            failed_ = true;
            error_ = "cannot write " + path_ + ": " + ec.message();
        }
    }
    if (failed_ && viaPart_) {
        // The old recording stays; the empty file Open made for a new one goes.
        std::remove(partPath().c_str());
        if (!existed_) {
            std::remove(path_.c_str());
        }
    }
    return !failed_;
}

void InputRecorder::Key(int vk, bool down) {
    if (Ready()) {
        std::fprintf(file_, "frame %d: key %d %s\n", label_, vk, down ? "down" : "up");
    }
}

void InputRecorder::Mouse(int x, int y) {
    if (Ready()) {
        std::fprintf(file_, "frame %d: mouse %d %d\n", label_, x, y);
    }
}

void InputRecorder::Wheel(int notches) {
    if (Ready()) {
        std::fprintf(file_, "frame %d: wheel %d\n", label_, notches);
    }
}

void InputRecorder::Button(int button, bool down) {
    if (Ready()) {
        std::fprintf(file_, "frame %d: button %d %s\n", label_, button, down ? "down" : "up");
    }
}

void InputRecorder::Finger(int id, int action, int x, int y) {
    static constexpr const char* kActions[] = {"up", "down", "move"};
    if (Ready() && action >= 0 && action <= 2) {
        std::fprintf(file_, "frame %d: finger %d %s %d %d\n", label_, id, kActions[action], x, y);
    }
}

void InputRecorder::Focus(bool gained) {
    if (Ready()) {
        std::fprintf(file_, "frame %d: focus %s\n", label_, gained ? "gained" : "lost");
    }
}

void InputRecorder::Window(int width, int height, float pixelsPerPoint) {
    if (!Ready()) {
        return;
    }
    if (pixelsPerPoint == 1.0f) {
        std::fprintf(file_, "frame %d: window %d %d\n", label_, width, height);
    } else {
        std::fprintf(file_, "frame %d: window %d %d %g\n", label_, width, height,
                     static_cast<double>(pixelsPerPoint));
    }
}

void InputRecorder::Close() {
    if (Ready()) {
        std::fprintf(file_, "frame %d: close\n", label_);
    }
}

void InputRecorder::Drop(const std::string& bytes) {
    if (Ready()) {
        std::fprintf(file_, "frame %d: drop %s\n", label_, InputScript::DropWord(bytes).c_str());
    }
}
