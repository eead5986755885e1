#pragma once

#include <map>
#include <string>

class ManualClock;

// A script of input events by frame, in the format of the scenario runner and of recordings:
//   frames N                 the run has N frames
//   window W H               the run stands for a window of W x H pixels (headless runs)
//   frame N: key VK down|up|tap    key with Windows virtual-key code VK
//   frame N: mouse X Y             pointer to window point (X, Y)
//   frame N: button B down|up      mouse button B (1 left, 2 right, 3 middle)
//   frame N: click B               press and release
//   frame N: wheel DY              the wheel turned DY notches (away from the user > 0)
//   frame N: finger ID down|move|up X Y   touch finger ID at point (X, Y)
//   frame N: focus lost|gained     the window loses or gets the focus
//   frame N: close                 the window's close button
//   frame N: stall MS              the clock jumps MS milliseconds ahead
//   frame N: clock MS              the clock reads MS when frame N starts (recordings)
//   frame N: shot NAME [X Y W H]   after frame N, a picture of the frame (or of that box of it)
//                                  named NAME; left to the runner (Feed does nothing with it)
//   frame N: window W H [P]        the window input is laid out for from frame N: W x H output
//                                  pixels, P of them to a window point (1 when not given); a
//                                  replay's palette takes clicks as that window laid it out
//   frame N: drop TEXT             a scene file dropped on the window before frame N, its bytes
//                                  in one word: those up to a space, '#', '\' and 127 written
//                                  as \xNN (recordings; left to the program, as shots are)
// '#' starts a comment; events of one frame keep their order.
class InputScript {
  public:
    struct Event {
        enum class Kind {
            Key,
            Mouse,
            Button,
            Wheel,
            Focus,
            Close,
            Stall,
            Clock,
            Shot,
            Finger,
            Drop,
            Window
        };
        Kind kind = Kind::Key;
        int a = 0; // key code, x, button, wheel notches, milliseconds, focus gained (1) / lost (0)
        int b = 0; // y
        int action = 0;     // 0 up, 1 down, 2 tap (finger: 2 move)
        int finger = 0;     // finger: its id
        int w = 0, h = 0;   // shot: box size from (a, b); 0 = the whole frame
        float scale = 1.0f; // window: output pixels to a window point
        std::string name;   // shot: picture name (no '/'); drop: the file's bytes
    };

    static constexpr long long kMaxBytes = 64ll << 20; // larger files are refused (an hour: ~5 MB)
    static constexpr int kMaxFrames = 1'000'000'000;   // frame numbers and counts stay below
    static constexpr int kMaxPointer = 1'000'000;      // pointer coordinates within +-this

    int frames = -1;       // from a "frames N" line; -1 when the script gives none
    bool cutShort = false; // a recording without its closing "frames N": Length() plays it all
    int windowW = 0, windowH = 0; // from a "window W H" line; 0 x 0 when the script gives none
    std::multimap<int, Event> events;

    // Reads a script file (a regular file of at most kMaxBytes; nothing else is read or waited
    // for). False with "PATH:LINE: what is wrong" (or "cannot read PATH[: why]") in error on an
    // unreadable file or a malformed line; the script then holds what came before. True with a
    // one-line notice in error when a recording was cut short. Control bytes are shown escaped.
    bool Load(const std::string& path, std::string& error);
    // Adds one "N: event words" entry. False with what is wrong in error.
    bool AddEvent(const std::string& text, std::string& error);
    // Pushes the events of frame through SDL's event queue, as the platform would, for the next
    // input queries. Clock and stall events set or advance clock when one is given (ignored
    // otherwise). Requires InitMedia(). Allocates nothing.
    void Feed(int frame, ManualClock* clock) const;
    // Frames the script covers: "frames N" when given, else one past its last event's frame.
    int Length() const;
    // The bytes of the file dropped before frame (the first drop of that frame), or nullptr.
    // Valid while the script is unchanged.
    const std::string* DropAt(int frame) const;
    // text as a drop event's one word (the inverse of how a script reads it).
    static std::string DropWord(const std::string& text);

  private:
    bool addEvent(const std::string& text, std::string& error);
};
