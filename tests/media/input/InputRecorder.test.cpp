#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

#include "media/Graphics.hpp"
#include "media/input/Input.hpp"
#include "media/input/InputRecorder.hpp"
#include "media/input/InputScript.hpp"
#include "media/input/ScriptedInput.hpp"
#include "support/TempFolder.hpp"

#include <SDL.h>

namespace {
std::string readAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

TEST(InputRecorder, WritesHandledEventsByFrameAsAReplayableScript) {
    InitMedia();
    ResetInput();
    const TempFolder folder;
    const std::string path = folder.File("recorded.txt");
    InputRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(path, error)) << error;
    SetInputRecorder(&recorder);

    recorder.BeginFrame(0, 16);
    PushKey(49, true);
    PushKey(49, true, true); // auto-repeat: nothing to replay
    PushKey(49, false);
    PushMouseMove(12, 34);
    PushMouseWheel(-2);
    PushFinger(7, 1, 100, 200);
    PushFinger(7, 2, 110, 210);
    PushFinger(7, 0, 120, 220);
    KeyHits(49); // the frame's input handling reads the queue
    recorder.EndInput();
    PushMouseButton(3, true); // read late in frame 0: belongs to frame 1's input
    MouseX();
    recorder.BeginFrame(1, 33);
    PushFocus(false);
    PushCloseRequest();
    KeyHits(27); // Escape is never pressed; the session ends inside frame 1
    SetInputRecorder(nullptr);
    recorder.Finish();
    recorder.Finish(); // harmless twice

    const std::string text = readAll(path);
    const std::string expected = "frame 0: clock 16\n"
                                 "frame 0: key 49 down\n"
                                 "frame 0: key 49 up\n"
                                 "frame 0: mouse 12 34\n"
                                 "frame 0: wheel -2\n"
                                 "frame 0: finger 7 down 100 200\n"
                                 "frame 0: finger 7 move 110 210\n"
                                 "frame 0: finger 7 up 120 220\n"
                                 "frame 1: button 3 down\n"
                                 "frame 1: clock 33\n"
                                 "frame 1: focus lost\n"
                                 "frame 1: close\n"
                                 "frames 2\n";
    EXPECT_NE(text.find(expected), std::string::npos) << text;

    InputScript script;
    ASSERT_TRUE(script.Load(path, error)) << error;
    EXPECT_EQ(script.Length(), 2);
    ResetInput();
}

TEST(InputRecorder, AnUnwritablePathIsRefused) {
    InputRecorder recorder;
    std::string error;
    const TempFolder folder;
    EXPECT_FALSE(recorder.Open(folder.File("no/such/dir/rec.txt"), error));
    EXPECT_EQ(error, "cannot write " + folder.File("no/such/dir/rec.txt"));
    EXPECT_FALSE(recorder.IsOpen()); // A FIFO with no reader would block the open for good.
    const std::string fifo = folder.File("rec-fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(recorder.Open(fifo, error));
    EXPECT_EQ(error, "cannot write " + fifo + ": not a regular file");
    std::remove(fifo.c_str());
}

TEST(InputRecorder, ScriptedOnlyInputIgnoresTheRealWindow) {
    InitMedia();
    ResetInput();
    SetScriptedInputOnly(true);
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = 7; // from a real window
    e.key.keysym.sym = SDLK_p;
    e.key.keysym.scancode = SDL_SCANCODE_P;
    SDL_PushEvent(&e);
    PushKey(78, true); // pushed by the program
    EXPECT_EQ(KeyHits(80), 0);
    EXPECT_EQ(KeyHits(78), 1);
    SetScriptedInputOnly(false);
    SDL_PushEvent(&e);
    EXPECT_EQ(KeyHits(80), 1);
    ResetInput();
}

// A recording the disk could not take is a failure, not a finished file: the frame it happened
// in says so, and so does Finish.
TEST(InputRecorder, AFullDiskIsReportedNotTakenForARecording) {
    InputRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open("/dev/full", error)) << error;
    recorder.BeginFrame(0, 16);
    recorder.Key(49, true);
    EXPECT_FALSE(recorder.Failed());
    recorder.EndInput();
    EXPECT_TRUE(recorder.Failed());
    EXPECT_EQ(recorder.Error(), "cannot write /dev/full: No space left on device");
    EXPECT_FALSE(recorder.Finish());
    EXPECT_FALSE(recorder.IsOpen());
}

// Opening only checks that the file can be written: a program that stops before its first frame
// (no window, a refused setting) leaves an earlier recording as it was, and makes no file.
TEST(InputRecorder, AnEarlierRecordingSurvivesUntilTheFirstFrame) {
    const TempFolder folder;
    const std::string kept = folder.File("kept.txt");
    std::ofstream(kept) << "frames 3\n";
    InputRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(kept, error)) << error;
    EXPECT_TRUE(recorder.Finish());
    EXPECT_EQ(readAll(kept), "frames 3\n");

    const std::string fresh = folder.File("fresh.txt");
    ASSERT_TRUE(recorder.Open(fresh, error)) << error;
    EXPECT_TRUE(recorder.Finish());
    EXPECT_FALSE(std::ifstream(fresh).good()) << "a file was left where nothing was recorded";

    // Once a frame begins, the file is this recording only. The clock is written unsigned, as
    // the clock itself is, so a replay reads a wrapped value back.
    ASSERT_TRUE(recorder.Open(kept, error)) << error;
    recorder.BeginFrame(0, -16);
    recorder.EndInput();
    EXPECT_TRUE(recorder.Finish()) << recorder.Error();
    const std::string text = readAll(kept);
    EXPECT_EQ(text.find("frames 3"), std::string::npos) << text;
    EXPECT_NE(text.find("frame 0: clock 4294967280\n"), std::string::npos) << text;
    InputScript script;
    ASSERT_TRUE(script.Load(kept, error)) << error;
    EXPECT_EQ(script.Length(), 1);
}

// An event that arrives while a recorded frame's input is being read (after one query, before
// the next) is read in the next frame, live and in the replay alike.
TEST(InputRecorder, AnEventArrivingMidFrameIsReadWhereTheReplayReadsIt) {
    InitMedia();
    ResetInput();
    const TempFolder folder;
    const std::string path = folder.File("mid.txt");
    InputRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(path, error)) << error;
    SetInputRecorder(&recorder);
    int live[2] = {};
    for (int frame = 0; frame < 2; ++frame) {
        recorder.BeginFrame(frame, 16 * frame);
        PollEvents();
        HoldInput(true);
        live[frame] = KeyHits(80); // the first query
        if (frame == 0) {
            PushKey(80, true); // arrives now
        }
        KeyHits(27); // a later query of the same frame
        recorder.EndInput();
        HoldInput(false);
    }
    SetInputRecorder(nullptr);
    ASSERT_TRUE(recorder.Finish()) << recorder.Error();

    ResetInput();
    InputScript script;
    ASSERT_TRUE(script.Load(path, error)) << error;
    int replayed[2] = {};
    for (int frame = 0; frame < 2; ++frame) {
        script.Feed(frame, nullptr);
        replayed[frame] = KeyHits(80);
        KeyHits(27);
    }
    EXPECT_EQ(live[0], 0);
    EXPECT_EQ(live[1], 1);
    EXPECT_EQ(replayed[0], live[0]);
    EXPECT_EQ(replayed[1], live[1]);
    ResetInput();
}

namespace {
// Files this process writes may grow to `bytes` at most while the object lives: a write past it
// fails as on a full disk (EFBIG; the signal that would end the process is ignored meanwhile).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

// Frames with a few events each: about 60 bytes a frame.
void RecordFrames(InputRecorder& recorder, int frames) {
    for (int f = 0; f < frames; ++f) {
        recorder.BeginFrame(f, 16 * f);
        recorder.Mouse(100 + f, 200);
        recorder.EndInput();
    }
}
} // namespace

// A new recording over an old one is written aside and put in place once whole: a disk that
// fills up halfway leaves the old recording as it was, and nothing else behind.
TEST(InputRecorder, AnOldRecordingSurvivesAnOverwriteTheDiskCannotTake) {
    const TempFolder folder;
    const std::string path = folder.File("session.txt");
    InputRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(path, error)) << error;
    RecordFrames(recorder, 150); // about 8,000 bytes
    ASSERT_TRUE(recorder.Finish()) << recorder.Error();
    const std::string old = readAll(path);
    ASSERT_GT(old.size(), 4000u);

    {
        const FileSizeLimit limit(4096);
        ASSERT_TRUE(recorder.Open(path, error)) << error;
        RecordFrames(recorder, 300);
        EXPECT_TRUE(recorder.Failed());
        EXPECT_FALSE(recorder.Finish());
    }
    EXPECT_EQ(recorder.Error(), "cannot write " + path + ": File too large");
    EXPECT_EQ(readAll(path), old) << "the old recording was touched";
    EXPECT_FALSE(std::ifstream(path + ".part").good()) << "the half-written one was left";

    // A new path that could not be finished leaves no file at all.
    const std::string fresh = folder.File("fresh.txt");
    {
        const FileSizeLimit limit(4096);
        ASSERT_TRUE(recorder.Open(fresh, error)) << error;
        RecordFrames(recorder, 300);
        EXPECT_FALSE(recorder.Finish());
    }
    EXPECT_FALSE(std::ifstream(fresh).good());
    EXPECT_FALSE(std::ifstream(fresh + ".part").good());

    // Whole, the new recording replaces the old one; until then, only PATH.part grows.
    ASSERT_TRUE(recorder.Open(path, error)) << error;
    RecordFrames(recorder, 5);
    EXPECT_EQ(readAll(path), old);
    EXPECT_TRUE(recorder.Finish()) << recorder.Error();
    InputScript script;
    ASSERT_TRUE(script.Load(path, error)) << error;
    EXPECT_EQ(script.Length(), 5);
    EXPECT_FALSE(std::ifstream(path + ".part").good());
}

// A dropped scene is recorded with its bytes, whatever they are, and read back the same.
TEST(InputRecorder, ADropIsRecordedWithItsBytes) {
    const TempFolder folder;
    const std::string path = folder.File("drop.txt");
    std::string bytes = "{\"bodies\": [], \"note\": \"# not a comment \\\\ x\"}\r\n\t";
    for (int b = 0; b < 256; ++b) {
        bytes += static_cast<char>(b);
    }
    InputRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(path, error)) << error;
    recorder.BeginFrame(0, 0);
    recorder.EndInput();
    recorder.Drop(bytes);
    recorder.BeginFrame(1, 16);
    recorder.EndInput();
    ASSERT_TRUE(recorder.Finish()) << recorder.Error();

    InputScript script;
    ASSERT_TRUE(script.Load(path, error)) << error;
    EXPECT_EQ(script.DropAt(0), nullptr);
    ASSERT_NE(script.DropAt(1), nullptr) << readAll(path);
    EXPECT_EQ(*script.DropAt(1), bytes);
    EXPECT_EQ(script.Length(), 2);
}
