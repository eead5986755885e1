#include "media/input/Input.hpp"

#include "media/input/InputSink.hpp"
#include "media/input/Key.hpp"
#include "media/input/ScriptedInput.hpp"
#include "media/input/SdlKeys.hpp"
#include "media/window/ControlBand.hpp"
#include "media/window/Window.hpp"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

namespace {
constexpr int kKeyCount = KeyCodeCount;
constexpr int kButtonCount = 4; // 1 left, 2 right, 3 middle

struct InputState {
    bool keyDown[kKeyCount] = {};
    int keyHits[kKeyCount] = {};
    // Presses made while Ctrl was held: a quick Ctrl+S may start and end between two frames,
    // when no query finds either key held any more.
    int controlChordHits[kKeyCount] = {};
    bool buttonDown[kButtonCount] = {};
    int buttonHits[kButtonCount] = {};
    int mouseX = 0, mouseY = 0;
    int wheel = 0; // notches since the last MouseWheel, away from the user positive
    int pressX[kButtonCount] = {}, pressY[kButtonCount] = {};
    int releaseX[kButtonCount] = {}, releaseY[kButtonCount] = {};
    struct Finger {
        SDL_FingerID id = 0;
        bool down = false;
        int landings = 0, lifts = 0;
        int x = 0, y = 0;
    } fingers[FingerSlots];
    bool closeRequested = false;
    // Presses on the band of controls beside the picture, in window points, for the program's
    // controls; they are not the game's input.
    static constexpr int kControlPresses = 8;
    int controlX[kControlPresses] = {}, controlY[kControlPresses] = {};
    int controlCount = 0;
    bool controlHeld[kButtonCount] = {}; // a button pressed on the band, its release is the band's
    SDL_FingerID controlFinger[FingerSlots] = {};
    int controlFingers = 0;
    bool touchDevice = false; // a finger has landed, or the platform said it is a touch device
};
InputState in;
// What hears every handled event: a recording file and the ring of the last minute (non-owning).
InputSink* sinks[2] = {};

// Tells every sink set.
template <class Tell> void tellSinks(Tell tell) {
    for (InputSink* sink : sinks)
        if (sink)
            tell(*sink);
}
bool scriptedOnly = false;
// The window the sinks were last told of (TellInputWindow); 0 x 0: none yet.
struct Told {
    int width = 0, height = 0;
    float pixelsPerPoint = 1.0f;
} told;
bool held = false;

// A file dropped on the window and not yet taken ("" when none). Apart from the input state:
// FlushInput and a replay leave it alone, as they leave a close request.
std::string droppedFile;

// The queries' poll: nothing while the input is held.
void PollForQuery() {
    if (!held)
        PollEvents();
}

// Events pushed by the program carry an id no window has; the platform's carry their window's
// id, or 0 when SDL thinks no window has the focus (a minimised window still gets keys then).
bool FromRealWindow(const SDL_Event& e) {
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return e.key.windowID != kScriptedWindowId;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return e.button.windowID != kScriptedWindowId;
    case SDL_MOUSEMOTION:
        return e.motion.windowID != kScriptedWindowId;
    case SDL_MOUSEWHEEL:
        return e.wheel.windowID != kScriptedWindowId;
    case SDL_FINGERDOWN:
    case SDL_FINGERUP:
    case SDL_FINGERMOTION:
        return e.tfinger.windowID != kScriptedWindowId;
    case SDL_WINDOWEVENT:
        return e.window.windowID != kScriptedWindowId && e.window.event != SDL_WINDOWEVENT_CLOSE;
    default:
        return false;
    }
}

int ButtonFromSdl(Uint8 button) {
    switch (button) {
    case SDL_BUTTON_LEFT:
        return 1;
    case SDL_BUTTON_RIGHT:
        return 2;
    case SDL_BUTTON_MIDDLE:
        return 3;
    default:
        return 0;
    }
}

void Press(bool& down, int& hits, bool repeat) {
    // Auto-repeat and presses of a key already held add no hits.
    if (!repeat && !down)
        ++hits;
    down = true;
}

// The slot a finger holds, or for a landing a free one: a slot stays taken until the game has
// read both the landing and the lift of its last finger, so a tap within one frame still counts.
// -1 when there is none.
int FingerSlot(SDL_FingerID id, bool landing) {
    for (int i = 0; i < FingerSlots; ++i) {
        if (in.fingers[i].down && in.fingers[i].id == id)
            return i;
    }
    if (!landing)
        return -1;
    for (int i = 0; i < FingerSlots; ++i) {
        const InputState::Finger& f = in.fingers[i];
        if (!f.down && f.landings == 0 && f.lifts == 0)
            return i;
    }
    return -1;
}

// A window point inside the band of controls (SetControlBand)? Only real events of a window
// with the band come here.
bool OnControlBand(float pointX, float pointY) {
    const float ppp = PixelsPerPoint();
    const PixelRect band = CurrentPictureLayout().band;
    const float x = pointX * ppp, y = pointY * ppp;
    return band.w > 0 && band.h > 0 && x >= static_cast<float>(band.x) &&
           y >= static_cast<float>(band.y) && x < static_cast<float>(band.x + band.w) &&
           y < static_cast<float>(band.y + band.h);
}

void AddControlPress(int x, int y) {
    if (in.controlCount < InputState::kControlPresses) {
        in.controlX[in.controlCount] = x;
        in.controlY[in.controlCount] = y;
        ++in.controlCount;
    }
}

// A finger on the band: its landing is a press of the controls, and it stays theirs until
// lifted. True when the event was the band's.
bool ControlFinger(const SDL_Event& e, float pointX, float pointY) {
    for (int i = 0; i < in.controlFingers; ++i) {
        if (in.controlFinger[i] == e.tfinger.fingerId) {
            if (e.type == SDL_FINGERUP)
                in.controlFinger[i] = in.controlFinger[--in.controlFingers];
            return true;
        }
    }
    if (e.type != SDL_FINGERDOWN || !OnControlBand(pointX, pointY) ||
        in.controlFingers >= FingerSlots)
        return false;
    in.controlFinger[in.controlFingers++] = e.tfinger.fingerId;
    AddControlPress(static_cast<int>(pointX), static_cast<int>(pointY));
    return true;
}

void HandleFinger(const SDL_Event& e) {
    const bool landing = e.type == SDL_FINGERDOWN;
    // Also a landing on the band: whoever touches the screen reads touch's help from now on.
    in.touchDevice = in.touchDevice || landing;
    const bool mapped = MapsPointerItself() && FromRealWindow(e);
    float pointX = 0.0f, pointY = 0.0f;
    if (mapped) {
        int winW = 0, winH = 0;
        if (SDL_Window* window = MediaWindow())
            SDL_GetWindowSize(window, &winW, &winH);
        pointX = e.tfinger.x * static_cast<float>(winW);
        pointY = e.tfinger.y * static_cast<float>(winH);
        if (ControlFinger(e, pointX, pointY))
            return;
    }
    const int slot = FingerSlot(e.tfinger.fingerId, landing);
    if (slot < 0)
        return;
    InputState::Finger& f = in.fingers[slot];
    if (mapped) {
        // Without SDL's logical size the finger is normalised over the whole window.
        f.x = static_cast<int>(std::lround(pointX));
        f.y = static_cast<int>(std::lround(pointY));
        WindowPointToLogical(f.x, f.y);
    } else {
        // The renderer leaves a finger's position normalised over the logical picture.
        f.x = static_cast<int>(std::lround(e.tfinger.x * static_cast<float>(LogicalWidth())));
        f.y = static_cast<int>(std::lround(e.tfinger.y * static_cast<float>(LogicalHeight())));
    }
    f.id = e.tfinger.fingerId;
    const int action = landing ? 1 : e.type == SDL_FINGERMOTION ? 2 : 0;
    if (landing) {
        f.down = true;
        ++f.landings;
    } else if (action == 0) {
        f.down = false;
        ++f.lifts;
    }
    tellSinks(
        [&](InputSink& s) { s.Finger(static_cast<int>(e.tfinger.fingerId), action, f.x, f.y); });
}

void Handle(const SDL_Event& e) {
    if (scriptedOnly && FromRealWindow(e))
        return;
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        // The desktop's usual full-screen keys belong to the window, not to the game.
        if (IsFullScreenShortcut(e.key.keysym.sym, e.key.keysym.mod)) {
            if (e.type == SDL_KEYDOWN && e.key.repeat == 0)
                SetFullScreen(!IsFullScreen());
            return;
        }
        const int vk = VirtualKeyFromSdl(e.key.keysym.sym, e.key.keysym.scancode);
        if (vk <= 0 || vk >= kKeyCount)
            return;
        // Auto-repeat changes nothing that a replay needs.
        if (e.key.repeat == 0)
            tellSinks([&](InputSink& s) { s.Key(vk, e.type == SDL_KEYDOWN); });
        if (e.type == SDL_KEYDOWN) {
            const int control = static_cast<int>(Key::Control);
            if (in.keyDown[control] && vk != control && e.key.repeat == 0 && !in.keyDown[vk])
                ++in.controlChordHits[vk];
            Press(in.keyDown[vk], in.keyHits[vk], e.key.repeat != 0);
        } else
            in.keyDown[vk] = false;
        return;
    }
    case SDL_FINGERDOWN:
    case SDL_FINGERUP:
    case SDL_FINGERMOTION:
        HandleFinger(e);
        return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        // A touch is read as fingers; SDL's mouse made from it would act a second time.
        if (e.button.which == SDL_TOUCH_MOUSEID)
            return;
        const int b = ButtonFromSdl(e.button.button);
        if (b == 0)
            return;
        // A press on the band of controls is theirs, and so is its release.
        if (MapsPointerItself() && FromRealWindow(e)) {
            if (e.type == SDL_MOUSEBUTTONDOWN &&
                OnControlBand(static_cast<float>(e.button.x), static_cast<float>(e.button.y))) {
                in.controlHeld[b] = true;
                if (b == 1)
                    AddControlPress(e.button.x, e.button.y);
                return;
            }
            if (e.type == SDL_MOUSEBUTTONUP && in.controlHeld[b]) {
                in.controlHeld[b] = false;
                return;
            }
        }
        tellSinks([&](InputSink& s) { s.Button(b, e.type == SDL_MOUSEBUTTONDOWN); });
        // The pointer's place as the motion events before this one left it: a replay, which
        // feeds the same events in the same order, finds the same place.
        if (e.type == SDL_MOUSEBUTTONDOWN) {
            Press(in.buttonDown[b], in.buttonHits[b], false);
            in.pressX[b] = in.mouseX;
            in.pressY[b] = in.mouseY;
        } else {
            in.buttonDown[b] = false;
            in.releaseX[b] = in.mouseX;
            in.releaseY[b] = in.mouseY;
        }
        return;
    }
    case SDL_MOUSEMOTION:
        if (e.motion.which == SDL_TOUCH_MOUSEID)
            return;
        in.mouseX = e.motion.x;
        in.mouseY = e.motion.y;
        if (MapsPointerItself() && FromRealWindow(e))
            WindowPointToLogical(in.mouseX, in.mouseY);
        tellSinks([&](InputSink& s) { s.Mouse(in.mouseX, in.mouseY); });
        return;
    case SDL_MOUSEWHEEL: {
        // Systems set to "natural" scrolling report the wheel turned the other way; the game
        // takes the turn of the hand, as the user sees it.
        const int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        if (notches == 0)
            return; // a sideways turn
        in.wheel += notches;
        tellSinks([&](InputSink& s) { s.Wheel(notches); });
        return;
    }
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            // Keys released while another program had the focus never reach us.
            FlushInput();
            tellSinks(
                [&](InputSink& s) { s.Focus(e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED); });
            break;
        case SDL_WINDOWEVENT_CLOSE:
            in.closeRequested = true;
            tellSinks([&](InputSink& s) { s.Close(); });
            break;
        default:
            break;
        }
        return;
    case SDL_QUIT:
        in.closeRequested = true;
        tellSinks([&](InputSink& s) { s.Close(); });
        return;
    case SDL_DROPFILE:
        // The last one dropped counts; SDL hands over the path's memory.
        if (e.drop.file != nullptr) {
            droppedFile = e.drop.file;
            SDL_free(e.drop.file);
        }
        return;
    default:
        return;
    }
}

int Hits(int* hits, int index, int count) {
    if (index < 0 || index >= count)
        return 0;
    const int n = hits[index];
    hits[index] = 0;
    return n;
}
} // namespace

bool TakeControlPress(int& x, int& y) {
    PollForQuery();
    if (in.controlCount == 0)
        return false;
    x = in.controlX[0];
    y = in.controlY[0];
    --in.controlCount;
    for (int i = 0; i < in.controlCount; ++i) {
        in.controlX[i] = in.controlX[i + 1];
        in.controlY[i] = in.controlY[i + 1];
    }
    return true;
}

void PollEvents() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0)
        return;
    SDL_Event e;
    while (SDL_PollEvent(&e))
        Handle(e);
}

std::string TakeDroppedFile() {
    PollForQuery();
    std::string path;
    path.swap(droppedFile);
    return path;
}

int KeyHits(int key) {
    PollForQuery();
    return Hits(in.keyHits, key, kKeyCount);
}

int KeyHitsWithControl(int key) {
    PollForQuery();
    return Hits(in.controlChordHits, key, kKeyCount);
}

int KeyDown(int key) {
    PollForQuery();
    return key >= 0 && key < kKeyCount && in.keyDown[key] ? 1 : 0;
}

int MouseHits(int button) {
    PollForQuery();
    return Hits(in.buttonHits, button, kButtonCount);
}

int MouseDown(int button) {
    PollForQuery();
    return button >= 0 && button < kButtonCount && in.buttonDown[button] ? 1 : 0;
}

bool InputHeld() {
    const auto isDown = [](bool down) { return down; };
    return std::any_of(std::begin(in.keyDown), std::end(in.keyDown), isDown) ||
           std::any_of(std::begin(in.buttonDown), std::end(in.buttonDown), isDown) ||
           std::any_of(std::begin(in.fingers), std::end(in.fingers),
                       [](const InputState::Finger& f) { return f.down; });
}

int MouseX() {
    PollForQuery();
    return in.mouseX;
}

int MouseY() {
    PollForQuery();
    return in.mouseY;
}

void MousePressPoint(int button, int& x, int& y) {
    PollForQuery();
    const bool valid = button >= 0 && button < kButtonCount;
    x = valid ? in.pressX[button] : 0;
    y = valid ? in.pressY[button] : 0;
}

void MouseReleasePoint(int button, int& x, int& y) {
    PollForQuery();
    const bool valid = button >= 0 && button < kButtonCount;
    x = valid ? in.releaseX[button] : 0;
    y = valid ? in.releaseY[button] : 0;
}

int MouseWheel() {
    PollForQuery();
    const int notches = in.wheel;
    in.wheel = 0;
    return notches;
}

int FingerLandings(int slot) {
    PollForQuery();
    if (slot < 0 || slot >= FingerSlots)
        return 0;
    const int n = in.fingers[slot].landings;
    in.fingers[slot].landings = 0;
    return n;
}

int FingerLifts(int slot) {
    PollForQuery();
    if (slot < 0 || slot >= FingerSlots)
        return 0;
    const int n = in.fingers[slot].lifts;
    in.fingers[slot].lifts = 0;
    return n;
}

int FingerDown(int slot) {
    PollForQuery();
    return slot >= 0 && slot < FingerSlots && in.fingers[slot].down ? 1 : 0;
}

int FingerX(int slot) {
    PollForQuery();
    return slot >= 0 && slot < FingerSlots ? in.fingers[slot].x : 0;
}

int FingerY(int slot) {
    PollForQuery();
    return slot >= 0 && slot < FingerSlots ? in.fingers[slot].y : 0;
}

void DropKeyHits() {
    // Pending events first: a press that came in since the last query belongs to this frame's
    // keyboard too.
    PollForQuery();
    std::fill(std::begin(in.keyHits), std::end(in.keyHits), 0);
    std::fill(std::begin(in.controlChordHits), std::end(in.controlChordHits), 0);
}

void DropKeyHitsBut(Key kept) {
    const int keptHits = KeyHits(kept);
    const int keptChordHits = KeyHitsWithControl(kept);
    DropKeyHits();
    const int k = static_cast<int>(kept);
    if (k >= 0 && k < kKeyCount) {
        in.keyHits[k] = keptHits;
        in.controlChordHits[k] = keptChordHits;
    }
}

void FlushInput() {
    std::fill(std::begin(in.keyDown), std::end(in.keyDown), false);
    std::fill(std::begin(in.keyHits), std::end(in.keyHits), 0);
    std::fill(std::begin(in.controlChordHits), std::end(in.controlChordHits), 0);
    std::fill(std::begin(in.buttonDown), std::end(in.buttonDown), false);
    std::fill(std::begin(in.buttonHits), std::end(in.buttonHits), 0);
    in.wheel = 0;
    in.controlCount = 0;
    std::fill(std::begin(in.controlHeld), std::end(in.controlHeld), false);
    // Fingers on the glass stay there, but nothing pending of them is kept.
    for (InputState::Finger& f : in.fingers) {
        f.down = false;
        f.landings = 0;
        f.lifts = 0;
    }
}

void ResetInput() {
    if (SDL_WasInit(SDL_INIT_EVENTS) != 0)
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    in = InputState{};
}

bool TouchDevice() {
    // No poll: drawing reads it, and a frame's events belong to its input.
    return in.touchDevice;
}

void SetTouchDevice(bool touch) {
    in.touchDevice = touch;
}

int CloseRequested() {
    PollEvents();
    return TakeCloseRequest() ? 1 : 0;
}

bool TakeCloseRequest() {
    const bool requested = in.closeRequested;
    in.closeRequested = false;
    return requested;
}

void SetInputRecorder(InputSink* r) {
    sinks[0] = r;
    told = {};
}

void SetInputRing(InputSink* ring) {
    sinks[1] = ring;
    told = {};
}

void TellInputWindow(bool again) {
    Told now;
    InputWindow(now.width, now.height, now.pixelsPerPoint);
    if (now.width <= 0 || now.height <= 0 ||
        (!again && now.width == told.width && now.height == told.height &&
         now.pixelsPerPoint == told.pixelsPerPoint)) {
        return;
    }
    told = now;
    tellSinks([&](InputSink& s) { s.Window(now.width, now.height, now.pixelsPerPoint); });
}

void SetScriptedInputOnly(bool only) {
    scriptedOnly = only;
}

void HoldInput(bool hold) {
    held = hold;
}
