#include "media/MediaTestSupport.hpp"

#include "media/input/ScriptedInput.hpp"
#include "media/input/SdlKeys.hpp"
#include "media/window/Window.hpp"

#include <SDL.h>

#include <vector>

namespace {
constexpr int kDigit1 = 49, kKeypad1 = 97, kKeyD = 68, kEscape = 27, kLeft = 37, kDown = 40;

class InputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        InitMedia();
        ResetInput();
    }
    void TearDown() override { ResetInput(); }

    static void PushRaw(Uint32 type, SDL_Keycode sym, SDL_Scancode scancode) {
        SDL_Event e{};
        e.type = type;
        e.key.keysym.sym = sym;
        e.key.keysym.scancode = scancode;
        SDL_PushEvent(&e);
    }
};
} // namespace

TEST_F(InputTest, AutoRepeatIsOneHit) {
    PushKey(kDigit1, true);
    for (int i = 0; i < 5; ++i)
        PushKey(kDigit1, true, true);
    EXPECT_EQ(KeyHits(kDigit1), 1);
    EXPECT_EQ(KeyDown(kDigit1), 1);
    EXPECT_EQ(KeyHits(kDigit1), 0); // reading resets the count
    PushKey(kDigit1, true);         // a down event without the repeat flag while held: still no hit
    EXPECT_EQ(KeyHits(kDigit1), 0);
    PushKey(kDigit1, false);
    EXPECT_EQ(KeyDown(kDigit1), 0);
}

TEST_F(InputTest, FingersKeepTheirSlotsAndTheirTouchMadeMouseIsIgnored) {
    // A tap within one frame, then two fingers at once, each in its own slot.
    PushFinger(5, 1, 10, 20);
    PushFinger(5, 0, 10, 20);
    PushFinger(8, 1, 300, 400);
    PushFinger(9, 1, 500, 600);
    PushFinger(9, 2, 510, 610);
    EXPECT_EQ(FingerLandings(0), 1);
    EXPECT_EQ(FingerLifts(0), 1);
    EXPECT_EQ(FingerDown(0), 0);
    EXPECT_EQ(FingerX(0), 10);
    EXPECT_EQ(FingerDown(1), 1);
    EXPECT_EQ(FingerX(1), 300);
    EXPECT_EQ(FingerY(1), 400);
    EXPECT_EQ(FingerDown(2), 1);
    EXPECT_EQ(FingerX(2), 510);
    EXPECT_EQ(FingerY(2), 610);
    EXPECT_EQ(FingerLandings(0), 0); // reading resets
    // Slot 0 is free again: the next finger takes it; slot 2's finger lifts there.
    PushFinger(11, 1, 1, 2);
    PushFinger(9, 0, 520, 620);
    EXPECT_EQ(FingerDown(0), 1);
    EXPECT_EQ(FingerLifts(2), 1);
    EXPECT_EQ(FingerX(2), 520);
    // SDL's mouse made from a touch is not the mouse.
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.which = SDL_TOUCH_MOUSEID;
    SDL_PushEvent(&e);
    e = SDL_Event{};
    e.type = SDL_MOUSEMOTION;
    e.motion.which = SDL_TOUCH_MOUSEID;
    e.motion.x = 77;
    SDL_PushEvent(&e);
    EXPECT_EQ(MouseHits(1), 0);
    EXPECT_EQ(MouseX(), 0);
    // Focus loss lets every finger go.
    PushFocus(false);
    EXPECT_EQ(FingerDown(0) + FingerDown(1), 0);
}

// Whoever touches the screen is shown what fingers do from then on: the first landing makes it a
// touch device (a motion or a lift alone does not), FlushInput keeps that, ResetInput forgets it.
TEST_F(InputTest, AFingerLandingMakesItATouchDeviceUntilReset) {
    EXPECT_FALSE(TouchDevice());
    PushFinger(3, 2, 10, 10); // a motion of no finger that landed
    PushFinger(3, 0, 10, 10);
    PollEvents();
    EXPECT_FALSE(TouchDevice());
    PushKey(kDigit1, true);
    PushMouseButton(1, true);
    PollEvents();
    EXPECT_FALSE(TouchDevice()) << "keys and the mouse are no fingers";
    PushFinger(4, 1, 10, 10);
    PollEvents();
    EXPECT_TRUE(TouchDevice());
    FlushInput();
    EXPECT_TRUE(TouchDevice());
    ResetInput();
    EXPECT_FALSE(TouchDevice());
    SetTouchDevice(true); // the page on a phone says so before any finger
    EXPECT_TRUE(TouchDevice());
}

TEST_F(InputTest, TwoPressesAreTwoHits) {
    for (int i = 0; i < 2; ++i) {
        PushKey(kKeyD, true);
        PushKey(kKeyD, false);
    }
    EXPECT_EQ(KeyHits(kKeyD), 2);
    EXPECT_EQ(KeyDown(kKeyD), 0);
}

TEST_F(InputTest, FocusLossReleasesKeysAndClearsHits) {
    PushKey(kLeft, true);
    PushKey(kEscape, true);
    PushMouseButton(1, true);
    PushFocus(false);
    EXPECT_EQ(KeyDown(kLeft), 0);
    EXPECT_EQ(KeyHits(kEscape), 0);
    EXPECT_EQ(MouseDown(1), 0);
    EXPECT_EQ(MouseHits(1), 0);
    PushFocus(true);
    PushKey(kLeft, true, true); // auto-repeat after coming back is not a new press
    EXPECT_EQ(KeyHits(kLeft), 0);
    PushKey(kLeft, false);
    PushKey(kLeft, true);
    EXPECT_EQ(KeyDown(kLeft), 1);
    EXPECT_EQ(KeyHits(kLeft), 1);
}

TEST_F(InputTest, KeypadAndMainDigitsHaveTheirOwnCodes) {
    PushRaw(SDL_KEYDOWN, SDLK_KP_1, SDL_SCANCODE_KP_1);
    PushRaw(SDL_KEYDOWN, SDLK_8, SDL_SCANCODE_8);
    PushRaw(SDL_KEYDOWN, SDLK_KP_8, SDL_SCANCODE_KP_8);
    EXPECT_EQ(KeyHits(kKeypad1), 1);
    EXPECT_EQ(KeyHits(kDigit1), 0);
    EXPECT_EQ(KeyHits(56), 1);
    EXPECT_EQ(KeyHits(104), 1);
    PushRaw(SDL_KEYDOWN, SDLK_d, SDL_SCANCODE_D);
    PushRaw(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    PushRaw(SDL_KEYDOWN, SDLK_DOWN, SDL_SCANCODE_DOWN);
    EXPECT_EQ(KeyHits(kKeyD), 1);
    EXPECT_EQ(KeyHits(kEscape), 1);
    EXPECT_EQ(KeyDown(kDown), 1);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_UNKNOWN, SDL_SCANCODE_D), kKeyD); // other layouts
}

// Whatever key a recording can hold, its replay can press again: every code a real key gives
// comes back through the scripted input as the same code.
TEST_F(InputTest, EveryKeyTheWindowGivesCanBeReplayed) {
    // Every key symbol SDL has: the character keys by their character, the others by scancode.
    std::vector<SDL_Keycode> symbols;
    for (int c = 1; c < 128; ++c) {
        symbols.push_back(static_cast<SDL_Keycode>(c));
    }
    for (int sc = SDL_SCANCODE_UNKNOWN + 1; sc < SDL_NUM_SCANCODES; ++sc) {
        symbols.push_back(SDL_SCANCODE_TO_KEYCODE(sc));
    }
    int checked = 0;
    for (const SDL_Keycode sym : symbols) {
        const int vk = VirtualKeyFromSdl(sym, SDL_SCANCODE_UNKNOWN);
        // F11 toggles full screen and never reaches the game, so no recording holds it.
        if (vk == 0 || sym == SDLK_F11) {
            continue;
        }
        ++checked;
        PushKey(vk, true);
        EXPECT_EQ(KeyDown(vk), 1) << "code " << vk << " of " << SDL_GetKeyName(sym);
        PushKey(vk, false);
        EXPECT_EQ(KeyDown(vk), 0);
    }
    EXPECT_GT(checked, 60);
}

TEST_F(InputTest, MouseButtonsAndPosition) {
    PushMouseMove(300, 400);
    PushMouseButton(1, true);
    PushMouseButton(1, false);
    PushMouseButton(1, true);
    PushMouseButton(2, true);
    EXPECT_EQ(MouseX(), 300);
    EXPECT_EQ(MouseY(), 400);
    EXPECT_EQ(MouseHits(1), 2);
    EXPECT_EQ(MouseDown(1), 1);
    EXPECT_EQ(MouseDown(2), 1);
    EXPECT_EQ(MouseDown(3), 0);
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_RIGHT; // SDL's right button is our button 2
    SDL_PushEvent(&e);
    EXPECT_EQ(MouseDown(2), 0);
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_MIDDLE;
    SDL_PushEvent(&e);
    EXPECT_EQ(MouseHits(3), 1);

    // Where the pointer was at the press and at the release, whatever came after in the queue.
    PushMouseMove(10, 20);
    PushMouseButton(1, true);
    PushMouseMove(50, 60);
    PushMouseButton(1, false);
    PushMouseMove(70, 80);
    int x = -1, y = -1;
    MousePressPoint(1, x, y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
    MouseReleasePoint(1, x, y);
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 60);
}

// The wheel adds up notches until read; a system set to "natural" scrolling reports the turn
// flipped, and the game still takes the turn of the hand; a sideways turn is no turn.
TEST_F(InputTest, WheelNotchesAddUpUntilReadWhicheverWayTheSystemScrolls) {
    PushMouseWheel(2);
    PushMouseWheel(-3);
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = 1;
    e.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    SDL_PushEvent(&e);
    e.wheel.y = 0;
    e.wheel.x = 4;
    SDL_PushEvent(&e);
    EXPECT_EQ(MouseWheel(), -2);
    EXPECT_EQ(MouseWheel(), 0);
    PushMouseWheel(1);
    PushFocus(false); // a focus loss forgets the turn like a held key
    EXPECT_EQ(MouseWheel(), 0);
}

TEST_F(InputTest, CloseRequestsAreReadOnce) {
    EXPECT_EQ(CloseRequested(), 0);
    PushCloseRequest();
    EXPECT_EQ(CloseRequested(), 1);
    EXPECT_EQ(CloseRequested(), 0);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_EQ(CloseRequested(), 1);
}

TEST(InputWindow, PointerMapsBackToTheProgramsPixelsInAResizedWindow) {
    SetGraphicsTarget(GraphicsTarget::Window);
    ASSERT_TRUE(OpenGraphics(1024, 768, 0, 60, 0)) << GraphicsError();
    ResetInput();
    SDL_Window* window = MediaWindow();
    ASSERT_TRUE(window);
    SDL_SetWindowSize(window, 2048, 1000); // wider than 4:3: bars left and right
    PollEvents();
    const float scale = 1000.0f / 768.0f;
    const float barX = (2048.0f - 1024.0f * scale) / 2.0f;
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = SDL_GetWindowID(window);
    e.motion.x = static_cast<int>(barX + 512.0f * scale);
    e.motion.y = 500;
    SDL_PushEvent(&e);
    EXPECT_NEAR(MouseX(), 512, 1);
    EXPECT_NEAR(MouseY(), 384, 1);
    EXPECT_EQ(GraphicsWidth(), 1024);
    CloseGraphics();
    ResetInput();
}

namespace {
void PushKeyWithModifiers(Uint32 type, SDL_Keycode sym, Uint16 mod, Uint8 repeat = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    e.key.repeat = repeat;
    e.key.windowID = SDL_GetWindowID(MediaWindow());
    SDL_PushEvent(&e);
}
} // namespace

TEST(InputWindow, F11AndAltEnterToggleFullScreenAndNeverReachTheGame) {
    SetGraphicsTarget(GraphicsTarget::Window);
    ASSERT_TRUE(OpenGraphics(1024, 768, 0, 60, 0)) << GraphicsError();
    ResetInput();
    ASSERT_FALSE(IsFullScreen());

    PushKeyWithModifiers(SDL_KEYDOWN, SDLK_F11, KMOD_NONE);
    PollEvents();
    EXPECT_TRUE(IsFullScreen());
    PushKeyWithModifiers(SDL_KEYDOWN, SDLK_F11, KMOD_NONE, 1); // auto-repeat: no second toggle
    PushKeyWithModifiers(SDL_KEYUP, SDLK_F11, KMOD_NONE);
    PollEvents();
    EXPECT_TRUE(IsFullScreen());
    EXPECT_EQ(KeyHits(122), 0);

    PushKeyWithModifiers(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT);
    PollEvents();
    EXPECT_FALSE(IsFullScreen());
    PushKeyWithModifiers(SDL_KEYDOWN, SDLK_KP_ENTER, KMOD_RALT);
    PollEvents();
    EXPECT_TRUE(IsFullScreen());
    EXPECT_EQ(KeyHits(13), 0);

    // Enter alone is an ordinary key.
    PushKeyWithModifiers(SDL_KEYDOWN, SDLK_RETURN, KMOD_NONE);
    PollEvents();
    EXPECT_TRUE(IsFullScreen());
    EXPECT_EQ(KeyHits(13), 1);

    // The picture keeps its logical size whatever the window does.
    EXPECT_EQ(GraphicsWidth(), 1024);
    EXPECT_EQ(GraphicsHeight(), 768);
    EXPECT_TRUE(SetFullScreen(false));
    EXPECT_FALSE(IsFullScreen());
    CloseGraphics();
    ResetInput();
}

TEST(InputWindow, FullScreenIsRefusedOffscreen) {
    SetGraphicsTarget(GraphicsTarget::Offscreen);
    ASSERT_TRUE(OpenGraphics(1024, 768, 0, 60, 0)) << GraphicsError();
    EXPECT_FALSE(SetFullScreen(true));
    EXPECT_FALSE(IsFullScreen());
    CloseGraphics();
    SetGraphicsTarget(GraphicsTarget::Window);
}

// SDL labels the user's events with window id 0 when it thinks no window has the focus (a
// minimised window still gets keys): during a replay they are the user's all the same, and only
// the replay's own events reach the game.
TEST_F(InputTest, AReplayTakesOnlyItsOwnEventsWhateverTheFocus) {
    SetScriptedInputOnly(true);
    PushKey(kKeyD, true);
    PushMouseMove(40, 30);
    for (const Uint32 window : {0u, 7u}) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.windowID = window;
        e.key.keysym.sym = SDLK_p;
        e.key.keysym.scancode = SDL_SCANCODE_P;
        SDL_PushEvent(&e);
        e = SDL_Event{};
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.windowID = window;
        e.button.button = SDL_BUTTON_RIGHT;
        e.button.state = SDL_PRESSED;
        SDL_PushEvent(&e);
        e = SDL_Event{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = window;
        e.motion.x = 300;
        e.motion.y = 200;
        SDL_PushEvent(&e);
        e = SDL_Event{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = window;
        e.window.event = SDL_WINDOWEVENT_FOCUS_LOST; // would release the replay's held key
        SDL_PushEvent(&e);
        PollEvents();
        EXPECT_EQ(KeyHits(80), 0) << "window " << window;
        EXPECT_EQ(MouseHits(2), 0) << "window " << window;
        EXPECT_EQ(MouseX(), 40) << "window " << window;
        EXPECT_EQ(KeyDown(kKeyD), 1) << "window " << window;
    }
    EXPECT_EQ(KeyHits(kKeyD), 1);
    SetScriptedInputOnly(false);
}

// A file dropped on the window is taken once, the last of several, even while only scripted
// input counts (a replay): it is the user's, like a close.
TEST_F(InputTest, ADroppedFileIsTakenOnceTheLastOneCounting) {
    EXPECT_EQ(TakeDroppedFile(), "");
    SetScriptedInputOnly(true);
    for (const char* path : {"/tmp/first.json", "/tmp/Dazozi Redov/second.json"}) {
        SDL_Event e{};
        e.type = SDL_DROPFILE;
        e.drop.file = SDL_strdup(path);
        SDL_PushEvent(&e);
    }
    EXPECT_EQ(TakeDroppedFile(), "/tmp/Dazozi Redov/second.json");
    EXPECT_EQ(TakeDroppedFile(), "");
    SetScriptedInputOnly(false);
}
