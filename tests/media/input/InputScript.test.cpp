#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "media/Graphics.hpp"
#include "media/base/Clock.hpp"
#include "media/input/Input.hpp"
#include "media/input/InputScript.hpp"
#include "media/window/ControlBand.hpp"
#include "support/TempFolder.hpp"

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Scripts are written into a folder of this process's own, removed at its end.
const TempFolder& scriptFolder() {
    static const TempFolder folder;
    return folder;
}

std::string writeFile(const std::string& name, const std::string& text) {
    const std::string path = scriptFolder().File(name);
    std::ofstream(path) << text;
    return path;
}

} // namespace

TEST(InputScript, ReadsTheRunnersFormatWithCommentsAndTheClock) {
    const std::string path = writeFile("script-ok.txt", "# a comment line\n"
                                                        "frames 40\n"
                                                        "frame 0: key 68 tap   # debug\n"
                                                        "frame 3: mouse 10 20\n"
                                                        "frame 3: button 2 down\n"
                                                        "frame 5: click 1\n"
                                                        "frame 5: finger 3 move 10 20\n"
                                                        "frame 6: focus lost\n"
                                                        "frame 7: stall 250\n"
                                                        "frame 8: clock 1234\n"
                                                        "\n"
                                                        "frame 9: close\n");
    InputScript script;
    std::string error;
    ASSERT_TRUE(script.Load(path, error)) << error;
    EXPECT_EQ(script.frames, 40);
    EXPECT_EQ(script.Length(), 40);
    EXPECT_EQ(script.events.size(), 9u);
    const InputScript::Event& finger = std::next(script.events.find(5))->second;
    EXPECT_EQ(finger.kind, InputScript::Event::Kind::Finger);
    EXPECT_EQ(finger.finger * 1000000 + finger.action * 10000 + finger.a * 100 + finger.b, 3021020);
    // Events of one frame keep their order.
    auto range = script.events.equal_range(3);
    ASSERT_EQ(std::distance(range.first, range.second), 2);
    EXPECT_EQ(range.first->second.kind, InputScript::Event::Kind::Mouse);
    EXPECT_EQ(std::next(range.first)->second.kind, InputScript::Event::Kind::Button);
    EXPECT_EQ(script.events.find(8)->second.kind, InputScript::Event::Kind::Clock);
    EXPECT_EQ(script.events.find(8)->second.a, 1234);

    InputScript noFrames;
    ASSERT_TRUE(noFrames.AddEvent("12: key 49 tap", error));
    EXPECT_EQ(noFrames.Length(), 13); // one past the last event
}

TEST(InputScript, MalformedLinesAreNamedByFileAndLine) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"frames 10\nframe 2 key 49 tap\n", ":2: missing ':'"},
        {"frame x: key 49 tap\n", ":1: bad frame number"},
        {"\n\nframe 1: key 49 sideways\n", ":3: expected: key VK down|up|tap"},
        {"frame 1: button 4 down\n", ":1: expected a button number (1, 2 or 3)"},
        {"frame 1: mouse 10\n", ":1: expected: mouse X Y (each within -1000000 to 1000000)"},
        {"frame 1: finger 2 press 1 1\n", ":1: expected: finger ID down|move|up X Y"},
        {"frame 1: finger 2 down 2000000 1\n", ":1: expected: finger ID down|move|up X Y"},
        {"frame 1: clock -5\n", ":1: expected: clock MS"},
        {"frame 1: wheel 0\n", ":1: expected: wheel DY (notches, not 0)"},
        {"frame 1: jump\n", ":1: unknown event 'jump'"},
        {"frame 1: close now\n", ":1: unexpected 'now'"},
        {"frames many\n", ":1: expected: frames N"},
        {"frame 1: key 49 tap\nbanana\n", ":2: unknown entry 'banana'"},
        // Numbers that would overflow further on: the frame count after the last frame, a
        // box past any frame, a clock beyond its 32 bits.
        {"frame 2147483647: close\n", ":1: bad frame number"},
        {"frame 1: shot a 2147483647 0 1 1\n", ":1: expected: shot NAME [X Y W H]"},
        {"frame 1: shot a 0 0 70000 1\n", ":1: expected: shot NAME [X Y W H]"},
        {"frame 1: shot a -1 0 4 4\n", ":1: expected: shot NAME [X Y W H]"},
        {"frame 1: clock 4294967296\n", ":1: expected: clock MS"},
        // A pointer the game adds its scroll to; frame numbers and counts far past any run.
        {"frame 120: mouse 2147483647 0\n",
         ":1: expected: mouse X Y (each within -1000000 to 1000000)"},
        {"frame 1: mouse 0 -1000001\n",
         ":1: expected: mouse X Y (each within -1000000 to 1000000)"},
        {"frame 1000000000: close\n", ":1: bad frame number"},
        {"frames 1000000001\n", ":1: expected: frames N"},
        // A drop's bytes: one word, each escape a whole \xNN.
        {"frame 1: drop\n", ":1: expected: drop TEXT (a file's bytes, \\xNN for a byte)"},
        {"frame 1: drop {\\x2\n", ":1: expected: drop TEXT (a file's bytes, \\xNN for a byte)"},
        {"frame 1: drop {\\xZZ}\n", ":1: expected: drop TEXT (a file's bytes, \\xNN for a byte)"},
        {"frame 1: drop {} {}\n", ":1: unexpected '{}'"},
        // The window a recording's input was laid out for.
        {"frame 1: window 800\n",
         ":1: expected: window W H [P] (1 to 8192 pixels each, P from 1 to 16)"},
        {"frame 1: window 0 600\n",
         ":1: expected: window W H [P] (1 to 8192 pixels each, P from 1 to 16)"},
        {"frame 1: window 800 9000\n",
         ":1: expected: window W H [P] (1 to 8192 pixels each, P from 1 to 16)"},
        {"frame 1: window 800 600 0.5\n",
         ":1: expected: window W H [P] (1 to 8192 pixels each, P from 1 to 16)"},
        {"frame 1: window 800 600 17\n",
         ":1: expected: window W H [P] (1 to 8192 pixels each, P from 1 to 16)"},
        {"frame 1: window 800 600 2 x\n", ":1: unexpected 'x'"},
        // The file's bytes reach the terminal escaped, never as its escape sequences.
        {"\x1b]0;pwned\x07\x1b[2J\n", ":1: unknown entry '\\x1b]0;pwned\\x07\\x1b[2J'"},
    };
    for (const Case& c : cases) {
        const std::string path = writeFile("script-bad.txt", c.text);
        InputScript script;
        std::string error;
        EXPECT_FALSE(script.Load(path, error)) << c.text;
        EXPECT_EQ(error, path + c.message) << c.text;
    }
    InputScript script;
    std::string error;
    EXPECT_FALSE(script.Load(scriptFolder().File("no/such/script.txt"), error));
    EXPECT_EQ(error, "cannot read " + scriptFolder().File("no/such/script.txt"));
}

// Only a whole regular file of a bounded size is read: a FIFO or a device is refused without
// waiting on it (a FIFO with no writer would block an ordinary open for good) or reading it.
TEST(InputScript, OnlyRegularFilesOfBoundedSizeAreRead) {
    const std::string fifo = scriptFolder().File("script-fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string big = scriptFolder().File("script-big.txt");
    writeFile("script-big.txt", "frames 1\n");
    ASSERT_EQ(truncate(big.c_str(), InputScript::kMaxBytes + 1), 0); // sparse: costs no disk
    const struct {
        std::string path, message;
    } cases[] = {
        {"/dev/zero", "cannot read /dev/zero: not a regular file"},
        {fifo, "cannot read " + fifo + ": not a regular file"},
        {big, "cannot read " + big + ": larger than 64 MB"},
    };
    for (const auto& c : cases) {
        InputScript script;
        std::string error;
        EXPECT_FALSE(script.Load(c.path, error)) << c.path;
        EXPECT_EQ(error, c.message);
    }
    std::remove(fifo.c_str());
    std::remove(big.c_str());
}

// A recording without its closing "frames N" (the program was killed, the disk filled up) plays
// every frame it holds and says so; a hand-written script without it is no recording.
TEST(InputScript, ARecordingCutShortPlaysAllItsFramesAndSaysSo) {
    const std::string body = "frame 0: clock 0\n"
                             "frame 200: mouse -1000000 1000000\n"
                             "frame 409: clock 6816\n";
    const std::string cut = writeFile(
        "rec-cut.txt", "# dazozi-redov recording: input events and clock by frame\n" + body);
    InputScript script;
    std::string notice;
    ASSERT_TRUE(script.Load(cut, notice)) << notice;
    EXPECT_TRUE(script.cutShort);
    EXPECT_EQ(script.Length(), 410);
    EXPECT_EQ(notice,
              cut + ": the recording was cut short (no 'frames' line): playing its 410 frames");

    const std::string plain = writeFile("script-plain.txt", body);
    InputScript handWritten;
    notice.clear();
    ASSERT_TRUE(handWritten.Load(plain, notice)) << notice;
    EXPECT_FALSE(handWritten.cutShort);
    EXPECT_EQ(notice, "");
}

// A recording made after the clock passed 2^31 ms carries clock values above INT_MAX; they
// are set exactly.
TEST(InputScript, ClockValuesUseAllThirtyTwoBits) {
    InputScript script;
    std::string error;
    ASSERT_TRUE(script.AddEvent("0: clock 4294967295", error)) << error;
    ASSERT_TRUE(script.AddEvent("1: clock 2147483648", error)) << error;
    ManualClock clock(0);
    script.Feed(0, &clock);
    EXPECT_EQ(clock.NowMs(), 4294967295u);
    script.Feed(1, &clock);
    EXPECT_EQ(clock.NowMs(), 2147483648u);
}

TEST(InputScript, FeedGoesThroughTheEventQueueAndSetsTheClock) {
    InitMedia();
    ResetInput();
    ManualClock clock(0);
    InputScript script;
    std::string error;
    for (const char* e : {"4: key 80 tap", "4: mouse 33 44", "4: button 3 down", "4: clock 900",
                          "4: stall 100", "4: wheel -2", "5: key 80 down"}) {
        ASSERT_TRUE(script.AddEvent(e, error)) << e << ": " << error;
    }
    script.Feed(3, &clock); // nothing for frame 3
    EXPECT_EQ(KeyHits(80), 0);
    script.Feed(4, &clock);
    EXPECT_EQ(KeyHits(80), 1);
    EXPECT_EQ(KeyDown(80), 0);
    EXPECT_EQ(MouseX(), 33);
    EXPECT_EQ(MouseY(), 44);
    EXPECT_EQ(MouseDown(3), 1);
    EXPECT_EQ(MouseWheel(), -2);
    EXPECT_EQ(clock.NowMs(), 1000u); // set to 900, then 100 ahead
    script.Feed(5, nullptr);         // without a clock the time events are skipped
    EXPECT_EQ(KeyDown(80), 1);
    ResetInput();
}

// A window line sets the window a replay's input is laid out for when its frame is fed, with
// its pixels to a point (1 when not given); a window set apart from the picture stays until
// cleared.
TEST(InputScript, WindowLinesSetTheWindowInputIsLaidOutFor) {
    InputScript script;
    std::string error;
    ASSERT_TRUE(script.AddEvent("0: window 800 600", error)) << error;
    ASSERT_TRUE(script.AddEvent("5: window 1170 2532 3", error)) << error;
    struct Step {
        int frame;
        int w, h;
        float pixelsPerPoint;
    };
    SetReplayedWindow(0, 0, 1.0f);
    const Step steps[] = {{0, 800, 600, 1.0f}, {3, 800, 600, 1.0f}, {5, 1170, 2532, 3.0f}};
    for (const Step& s : steps) {
        script.Feed(s.frame, nullptr);
        int w = 0, h = 0;
        float ppp = 0.0f;
        InputWindow(w, h, ppp);
        EXPECT_EQ(w, s.w) << "frame " << s.frame;
        EXPECT_EQ(h, s.h) << "frame " << s.frame;
        EXPECT_FLOAT_EQ(ppp, s.pixelsPerPoint) << "frame " << s.frame;
    }
    SetReplayedWindow(0, 0, 1.0f);
    int w = -1, h = -1;
    float ppp = 0.0f;
    InputWindow(w, h, ppp);
    EXPECT_NE(w, 1170); // the window as it is again (none open here: 0 x 0)
}
