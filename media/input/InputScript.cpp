#include "media/input/InputScript.hpp"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "media/base/Clock.hpp"
#include "media/base/ReadWholeFile.hpp"
#include "media/input/ScriptedInput.hpp"
#include "media/window/ControlBand.hpp"

namespace {

bool parseAction(const std::string& word, int& action) {
    if (word == "down") {
        action = 1;
    } else if (word == "up") {
        action = 0;
    } else if (word == "tap") {
        action = 2;
    } else {
        return false;
    }
    return true;
}

// The first line a recorder writes; a recording without its closing "frames N" was cut short.
constexpr const char* kRecordingHeader = "# dazozi-redov recording";

// A file's bytes go to a terminal only as text: control bytes (an escape sequence could retitle
// or clear the terminal) are shown as \xNN.
std::string escapeControlBytes(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            char code[5];
            std::snprintf(code, sizeof code, "\\x%02x", byte);
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

// A drop's word back into the file's bytes: \xNN is the byte NN, every other byte itself.
bool decodeDropWord(const std::string& word, std::string& bytes) {
    bytes.clear();
    bytes.reserve(word.size());
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (word[i] != '\\') {
            bytes += word[i];
            continue;
        }
        if (i + 3 >= word.size() || word[i + 1] != 'x' ||
            !std::isxdigit(static_cast<unsigned char>(word[i + 2])) ||
            !std::isxdigit(static_cast<unsigned char>(word[i + 3]))) {
            return false;
        }
        unsigned value = 0;
        std::sscanf(word.c_str() + i + 2, "%2x", &value);
        bytes += static_cast<char>(value);
        i += 3;
    }
    return true;
}

} // namespace

std::string InputScript::DropWord(const std::string& text) {
    std::string word;
    word.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7f || c == '#' || c == '\\') {
            char code[5];
            std::snprintf(code, sizeof code, "\\x%02x", byte);
            word += code;
        } else {
            word += c;
        }
    }
    return word;
}

const std::string* InputScript::DropAt(int frame) const {
    const auto range = events.equal_range(frame);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second.kind == Event::Kind::Drop) {
            return &it->second.name;
        }
    }
    return nullptr;
}

bool InputScript::AddEvent(const std::string& text, std::string& error) {
    if (addEvent(text, error)) {
        return true;
    }
    error = escapeControlBytes(error);
    return false;
}

bool InputScript::addEvent(const std::string& text, std::string& error) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) {
        error = "missing ':'";
        return false;
    }
    int frame = 0;
    {
        std::istringstream number(text.substr(0, colon));
        std::string extra;
        // The last frame number leaves room for the frame count after it.
        if (!(number >> frame) || frame < 0 || frame >= kMaxFrames || (number >> extra)) {
            error = "bad frame number";
            return false;
        }
    }
    std::istringstream in(text.substr(colon + 1));
    std::string what;
    in >> what;
    Event e{};
    std::string word;
    if (what == "key") {
        e.kind = Event::Kind::Key;
        if (!(in >> e.a >> word) || !parseAction(word, e.action) || e.a <= 0 || e.a > 255) {
            error = "expected: key VK down|up|tap";
            return false;
        }
    } else if (what == "mouse") {
        e.kind = Event::Kind::Mouse;
        // Within what a window can report; the game adds its scroll to these.
        if (!(in >> e.a >> e.b) || e.a < -kMaxPointer || e.a > kMaxPointer || e.b < -kMaxPointer ||
            e.b > kMaxPointer) {
            error = "expected: mouse X Y (each within -1000000 to 1000000)";
            return false;
        }
    } else if (what == "button" || what == "click") {
        e.kind = Event::Kind::Button;
        if (!(in >> e.a) || e.a < 1 || e.a > 3) {
            error = "expected a button number (1, 2 or 3)";
            return false;
        }
        if (what == "click") {
            e.action = 2;
        } else if (!(in >> word) || word == "tap" || !parseAction(word, e.action)) {
            error = "expected: button B down|up";
            return false;
        }
    } else if (what == "wheel") {
        e.kind = Event::Kind::Wheel;
        // A wheel turns a handful of notches a frame; far more is no input a person made.
        if (!(in >> e.a) || e.a == 0 || e.a < -kMaxPointer || e.a > kMaxPointer) {
            error = "expected: wheel DY (notches, not 0)";
            return false;
        }
    } else if (what == "finger") {
        e.kind = Event::Kind::Finger;
        if (!(in >> e.finger >> word >> e.a >> e.b) || e.finger < 0 ||
            (word != "down" && word != "move" && word != "up") || e.a < -kMaxPointer ||
            e.a > kMaxPointer || e.b < -kMaxPointer || e.b > kMaxPointer) {
            error = "expected: finger ID down|move|up X Y";
            return false;
        }
        e.action = word == "down" ? 1 : word == "move" ? 2 : 0;
    } else if (what == "focus") {
        e.kind = Event::Kind::Focus;
        in >> word;
        if (word != "lost" && word != "gained") {
            error = "expected: focus lost|gained";
            return false;
        }
        e.a = word == "gained" ? 1 : 0;
    } else if (what == "close") {
        e.kind = Event::Kind::Close;
    } else if (what == "shot") {
        e.kind = Event::Kind::Shot;
        if (!(in >> e.name) || e.name.find('/') != std::string::npos) {
            error = "expected: shot NAME [X Y W H]";
            return false;
        }
        if (in >> e.a) {
            // Within any frame size a window can have; the runner checks the frame's own.
            constexpr int kMaxSide = 65535;
            if (!(in >> e.b >> e.w >> e.h) || e.a < 0 || e.b < 0 || e.w <= 0 || e.h <= 0 ||
                e.a > kMaxSide || e.b > kMaxSide || e.w > kMaxSide || e.h > kMaxSide) {
                error = "expected: shot NAME [X Y W H]";
                return false;
            }
        } else {
            in.clear();
        }
    } else if (what == "drop") {
        e.kind = Event::Kind::Drop;
        if (!(in >> word) || !decodeDropWord(word, e.name)) {
            error = "expected: drop TEXT (a file's bytes, \\xNN for a byte)";
            return false;
        }
    } else if (what == "window") {
        // As a header's window, and a dense screen's output pixels to a point (1 to 16).
        e.kind = Event::Kind::Window;
        if (!(in >> e.a >> e.b) || e.a < 1 || e.b < 1 || e.a > 8192 || e.b > 8192) {
            error = "expected: window W H [P] (1 to 8192 pixels each, P from 1 to 16)";
            return false;
        }
        if (!(in >> e.scale)) {
            in.clear();
            e.scale = 1.0f;
        } else if (!(e.scale >= 1.0f && e.scale <= 16.0f)) {
            error = "expected: window W H [P] (1 to 8192 pixels each, P from 1 to 16)";
            return false;
        }
    } else if (what == "stall") {
        e.kind = Event::Kind::Stall;
        if (!(in >> e.a) || e.a < 0) {
            error = "expected: stall MS";
            return false;
        }
    } else if (what == "clock") {
        // The clock is unsigned and wraps after 49.7 days; its value is kept bit for bit.
        e.kind = Event::Kind::Clock;
        long long ms = -1;
        if (!(in >> ms) || ms < 0 || ms > static_cast<long long>(UINT32_MAX)) {
            error = "expected: clock MS";
            return false;
        }
        e.a = static_cast<int>(static_cast<std::uint32_t>(ms));
    } else {
        error = "unknown event '" + what + "'";
        return false;
    }
    if (in >> word) {
        error = "unexpected '" + word + "'";
        return false;
    }
    events.emplace(frame, e);
    return true;
}

bool InputScript::Load(const std::string& path, std::string& error) {
    std::string text;
    if (!ReadWholeFile(path, kMaxBytes, text, error)) {
        error = escapeControlBytes(error);
        return false;
    }
    std::istringstream file(text);
    std::string line;
    int number = 0;
    bool recording = false;
    while (std::getline(file, line)) {
        ++number;
        if (number == 1 && line.rfind(kRecordingHeader, 0) == 0) {
            recording = true;
        }
        if (const auto hash = line.find('#'); hash != std::string::npos) {
            line.erase(hash);
        }
        std::istringstream in(line);
        std::string first;
        if (!(in >> first)) {
            continue;
        }
        std::string what;
        if (first == "frames") {
            std::string extra;
            if (!(in >> frames) || frames < 0 || frames > kMaxFrames || (in >> extra)) {
                what = "expected: frames N";
            }
        } else if (first == "window") {
            std::string extra;
            if (!(in >> windowW >> windowH) || windowW < 1 || windowH < 1 || windowW > 8192 ||
                windowH > 8192 || (in >> extra)) {
                what = "expected: window W H (1 to 8192 pixels each)";
            }
        } else if (first == "frame") {
            std::string rest;
            std::getline(in, rest);
            addEvent(rest, what);
        } else {
            what = "unknown entry '" + first + "'";
        }
        if (!what.empty()) {
            error = escapeControlBytes(path + ":" + std::to_string(number) + ": " + what);
            return false;
        }
    }
    // A recording always ends with its frame count; without it the program was killed or the
    // disk filled up, and every frame it holds is played.
    if (recording && frames < 0 && !events.empty()) {
        cutShort = true;
        error = escapeControlBytes(path + ": the recording was cut short (no 'frames' line): " +
                                   "playing its " + std::to_string(Length()) + " frames");
    }
    return true;
}

void InputScript::Feed(int frame, ManualClock* clock) const {
    const auto range = events.equal_range(frame);
    for (auto it = range.first; it != range.second; ++it) {
        const Event& e = it->second;
        switch (e.kind) {
        case Event::Kind::Key:
            if (e.action == 2) {
                PushKey(e.a, true);
                PushKey(e.a, false);
            } else {
                PushKey(e.a, e.action == 1);
            }
            break;
        case Event::Kind::Mouse:
            PushMouseMove(e.a, e.b);
            break;
        case Event::Kind::Button:
            if (e.action == 2) {
                PushMouseButton(e.a, true);
                PushMouseButton(e.a, false);
            } else {
                PushMouseButton(e.a, e.action == 1);
            }
            break;
        case Event::Kind::Wheel:
            PushMouseWheel(e.a);
            break;
        case Event::Kind::Finger:
            PushFinger(e.finger, e.action, e.a, e.b);
            break;
        case Event::Kind::Focus:
            PushFocus(e.a == 1);
            break;
        case Event::Kind::Window:
            SetReplayedWindow(e.a, e.b, e.scale);
            break;
        case Event::Kind::Close:
            PushCloseRequest();
            break;
        case Event::Kind::Stall:
            if (clock != nullptr) {
                clock->Advance(e.a);
            }
            break;
        case Event::Kind::Clock:
            if (clock != nullptr) {
                clock->Set(static_cast<std::uint32_t>(e.a));
            }
            break;
        case Event::Kind::Shot: // taken after the frame by the runner, not fed before it
        case Event::Kind::Drop: // opened by the program between frames (DropAt)
            break;
        }
    }
}

int InputScript::Length() const {
    if (frames >= 0) {
        return frames;
    }
    return events.empty() ? 0 : events.rbegin()->first + 1;
}
