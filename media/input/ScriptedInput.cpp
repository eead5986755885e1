#include "media/input/ScriptedInput.hpp"

#include "media/input/SdlKeys.hpp"
#include "media/window/Window.hpp"

#include <SDL.h>

namespace {
void Push(SDL_Event& e) {
    e.common.timestamp = SDL_GetTicks();
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        e.key.windowID = kScriptedWindowId;
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        e.button.windowID = kScriptedWindowId;
        break;
    case SDL_MOUSEMOTION:
        e.motion.windowID = kScriptedWindowId;
        break;
    case SDL_MOUSEWHEEL:
        e.wheel.windowID = kScriptedWindowId;
        break;
    case SDL_FINGERDOWN:
    case SDL_FINGERUP:
    case SDL_FINGERMOTION:
        e.tfinger.windowID = kScriptedWindowId;
        break;
    case SDL_WINDOWEVENT:
        e.window.windowID = kScriptedWindowId;
        break;
    default:
        break;
    }
    SDL_PushEvent(&e);
}
} // namespace

void PushKey(int vk, bool down, bool repeat) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat ? 1 : 0;
    int sym = 0, scancode = 0;
    SdlKeyFor(vk, sym, scancode);
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
    Push(e);
}

void PushMouseButton(int button, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.button = button == 1   ? SDL_BUTTON_LEFT
                      : button == 2 ? SDL_BUTTON_RIGHT
                                    : SDL_BUTTON_MIDDLE;
    e.button.clicks = 1;
    Push(e);
}

void PushMouseMove(int x, int y) {
    // No window has the scripted id: the renderer leaves the position alone, so it arrives in
    // logical pixels.
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    Push(e);
}

void PushMouseWheel(int notches) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = notches;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    Push(e);
}

void PushFinger(int id, int action, int x, int y) {
    // The scripted window id and a position normalised over the logical picture, as the renderer
    // leaves a real finger's position.
    SDL_Event e{};
    e.type = action == 1 ? SDL_FINGERDOWN : action == 2 ? SDL_FINGERMOTION : SDL_FINGERUP;
    e.tfinger.fingerId = id;
    e.tfinger.x = static_cast<float>(x) / static_cast<float>(LogicalWidth());
    e.tfinger.y = static_cast<float>(y) / static_cast<float>(LogicalHeight());
    e.tfinger.pressure = action == 0 ? 0.0f : 1.0f;
    Push(e);
}

void PushFocus(bool gained) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    Push(e);
}

void PushCloseRequest() {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    Push(e);
}
