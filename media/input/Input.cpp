#include "media/input/Input.hpp"

#include "media/Window.hpp"
#include "media/input/InputRecorder.hpp"
#include "media/input/Key.hpp"
#include "media/input/ScriptedInput.hpp"
#include "media/input/SdlKeys.hpp"

#include <SDL.h>

#include <algorithm>
#include <iterator>

namespace {
constexpr int kKeyCount = KeyCodeCount;
constexpr int kButtonCount = 4; // 1 left, 2 right, 3 middle

struct InputState {
    bool keyDown[kKeyCount] = {};
    int keyHits[kKeyCount] = {};
    bool buttonDown[kButtonCount] = {};
    int buttonHits[kButtonCount] = {};
    int mouseX = 0, mouseY = 0;
    bool closeRequested = false;
};
InputState in;
InputRecorder* recorder = nullptr; // non-owning
bool scriptedOnly = false;
bool held = false;

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
        if (recorder && e.key.repeat == 0)
            recorder->Key(vk, e.type == SDL_KEYDOWN);
        if (e.type == SDL_KEYDOWN)
            Press(in.keyDown[vk], in.keyHits[vk], e.key.repeat != 0);
        else
            in.keyDown[vk] = false;
        return;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const int b = ButtonFromSdl(e.button.button);
        if (b == 0)
            return;
        if (recorder)
            recorder->Button(b, e.type == SDL_MOUSEBUTTONDOWN);
        if (e.type == SDL_MOUSEBUTTONDOWN)
            Press(in.buttonDown[b], in.buttonHits[b], false);
        else
            in.buttonDown[b] = false;
        return;
    }
    case SDL_MOUSEMOTION:
        in.mouseX = e.motion.x;
        in.mouseY = e.motion.y;
        if (recorder)
            recorder->Mouse(in.mouseX, in.mouseY);
        return;
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            // Keys released while another program had the focus never reach us.
            FlushInput();
            if (recorder)
                recorder->Focus(e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED);
            break;
        case SDL_WINDOWEVENT_CLOSE:
            in.closeRequested = true;
            if (recorder)
                recorder->Close();
            break;
        default:
            break;
        }
        return;
    case SDL_QUIT:
        in.closeRequested = true;
        if (recorder)
            recorder->Close();
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

void PollEvents() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0)
        return;
    SDL_Event e;
    while (SDL_PollEvent(&e))
        Handle(e);
}

int KeyHits(int key) {
    PollForQuery();
    return Hits(in.keyHits, key, kKeyCount);
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

int MouseX() {
    PollForQuery();
    return in.mouseX;
}

int MouseY() {
    PollForQuery();
    return in.mouseY;
}

void FlushInput() {
    std::fill(std::begin(in.keyDown), std::end(in.keyDown), false);
    std::fill(std::begin(in.keyHits), std::end(in.keyHits), 0);
    std::fill(std::begin(in.buttonDown), std::end(in.buttonDown), false);
    std::fill(std::begin(in.buttonHits), std::end(in.buttonHits), 0);
}

void ResetInput() {
    if (SDL_WasInit(SDL_INIT_EVENTS) != 0)
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    in = InputState{};
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

void SetInputRecorder(InputRecorder* r) {
    recorder = r;
}

void SetScriptedInputOnly(bool only) {
    scriptedOnly = only;
}

void HoldInput(bool hold) {
    held = hold;
}
