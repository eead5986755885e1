#include "media/ScriptedInput.hpp"

#include <SDL.h>

namespace {
// The SDL key a virtual-key code comes from (the inverse of VirtualKeyFromSdl).
void SdlKeyFor(int vk, SDL_Keycode& sym, SDL_Scancode& scancode) {
    sym = SDLK_UNKNOWN;
    scancode = SDL_SCANCODE_UNKNOWN;
    if (vk >= 'A' && vk <= 'Z') {
        sym = SDLK_a + (vk - 'A');
        scancode = static_cast<SDL_Scancode>(SDL_SCANCODE_A + (vk - 'A'));
    } else if (vk >= '1' && vk <= '9') {
        sym = SDLK_1 + (vk - '1');
        scancode = static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (vk - '1'));
    } else if (vk == '0') {
        sym = SDLK_0;
        scancode = SDL_SCANCODE_0;
    } else if (vk >= 97 && vk <= 105) {
        sym = SDLK_KP_1 + (vk - 97);
        scancode = static_cast<SDL_Scancode>(SDL_SCANCODE_KP_1 + (vk - 97));
    } else if (vk == 96) {
        sym = SDLK_KP_0;
        scancode = SDL_SCANCODE_KP_0;
    } else if (vk >= 112 && vk <= 123) {
        sym = SDLK_F1 + (vk - 112);
        scancode = static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + (vk - 112));
    } else {
        struct Pair {
            int vk;
            SDL_Keycode sym;
            SDL_Scancode scancode;
        };
        static constexpr Pair kPairs[] = {
            {27, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE}, {37, SDLK_LEFT, SDL_SCANCODE_LEFT},
            {38, SDLK_UP, SDL_SCANCODE_UP},         {39, SDLK_RIGHT, SDL_SCANCODE_RIGHT},
            {40, SDLK_DOWN, SDL_SCANCODE_DOWN},     {8, SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE},
            {9, SDLK_TAB, SDL_SCANCODE_TAB},        {13, SDLK_RETURN, SDL_SCANCODE_RETURN},
            {16, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT}, {17, SDLK_LCTRL, SDL_SCANCODE_LCTRL},
            {18, SDLK_LALT, SDL_SCANCODE_LALT},     {32, SDLK_SPACE, SDL_SCANCODE_SPACE},
            {33, SDLK_PAGEUP, SDL_SCANCODE_PAGEUP}, {34, SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN},
            {35, SDLK_END, SDL_SCANCODE_END},       {36, SDLK_HOME, SDL_SCANCODE_HOME},
            {45, SDLK_INSERT, SDL_SCANCODE_INSERT}, {46, SDLK_DELETE, SDL_SCANCODE_DELETE},
        };
        for (const Pair& p : kPairs)
            if (p.vk == vk) {
                sym = p.sym;
                scancode = p.scancode;
            }
    }
}

void Push(SDL_Event& e) {
    e.common.timestamp = SDL_GetTicks();
    SDL_PushEvent(&e);
}
} // namespace

void PushKey(int vk, bool down, bool repeat) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat ? 1 : 0;
    SdlKeyFor(vk, e.key.keysym.sym, e.key.keysym.scancode);
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
    // Window id 0: the renderer leaves the position alone, so it arrives in logical pixels.
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
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
