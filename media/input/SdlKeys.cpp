#include "media/input/SdlKeys.hpp"

#include "media/input/Key.hpp"

#include <SDL.h>

namespace {

constexpr int Code(Key key) {
    return static_cast<int>(key);
}

// Runs of keys whose SDL symbols, scancodes and codes all count up together. A digit's
// scancode runs 1..9, then 0, so 0 has a row of its own below.
struct KeyRun {
    Key first;
    int count;
    SDL_Keycode sym;
    SDL_Scancode scancode;
};
constexpr KeyRun kRuns[] = {
    {Key::A, 26, SDLK_a, SDL_SCANCODE_A},
    {DigitKey(1), 9, SDLK_1, SDL_SCANCODE_1},
    {KeypadKey(1), 9, SDLK_KP_1, SDL_SCANCODE_KP_1},
    {Key::F1, 12, SDLK_F1, SDL_SCANCODE_F1},
};

// Single keys. Where two SDL keys give one code (either Shift, either Enter), the first row is
// the one a scripted press sends.
struct NamedKey {
    Key key;
    SDL_Keycode sym;
    SDL_Scancode scancode;
};
constexpr NamedKey kNamed[] = {
    {Key::Digit0, SDLK_0, SDL_SCANCODE_0},
    {Key::Keypad0, SDLK_KP_0, SDL_SCANCODE_KP_0},
    {Key::Escape, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE},
    {Key::Left, SDLK_LEFT, SDL_SCANCODE_LEFT},
    {Key::Up, SDLK_UP, SDL_SCANCODE_UP},
    {Key::Right, SDLK_RIGHT, SDL_SCANCODE_RIGHT},
    {Key::Down, SDLK_DOWN, SDL_SCANCODE_DOWN},
    {Key::Backspace, SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE},
    {Key::Tab, SDLK_TAB, SDL_SCANCODE_TAB},
    {Key::Enter, SDLK_RETURN, SDL_SCANCODE_RETURN},
    {Key::Enter, SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER},
    {Key::Shift, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT},
    {Key::Shift, SDLK_RSHIFT, SDL_SCANCODE_RSHIFT},
    {Key::Control, SDLK_LCTRL, SDL_SCANCODE_LCTRL},
    {Key::Control, SDLK_RCTRL, SDL_SCANCODE_RCTRL},
    {Key::Alt, SDLK_LALT, SDL_SCANCODE_LALT},
    {Key::Alt, SDLK_RALT, SDL_SCANCODE_RALT},
    {Key::Space, SDLK_SPACE, SDL_SCANCODE_SPACE},
    {Key::PageUp, SDLK_PAGEUP, SDL_SCANCODE_PAGEUP},
    {Key::PageDown, SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN},
    {Key::End, SDLK_END, SDL_SCANCODE_END},
    {Key::Home, SDLK_HOME, SDL_SCANCODE_HOME},
    {Key::Insert, SDLK_INSERT, SDL_SCANCODE_INSERT},
    {Key::Delete, SDLK_DELETE, SDL_SCANCODE_DELETE},
    {Key::BracketLeft, SDLK_LEFTBRACKET, SDL_SCANCODE_LEFTBRACKET},
    {Key::BracketRight, SDLK_RIGHTBRACKET, SDL_SCANCODE_RIGHTBRACKET},
    {Key::Plus, SDLK_EQUALS, SDL_SCANCODE_EQUALS},
    {Key::Plus, SDLK_PLUS, SDL_SCANCODE_EQUALS},
    {Key::Minus, SDLK_MINUS, SDL_SCANCODE_MINUS},
    {Key::KeypadPlus, SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS},
    {Key::KeypadMinus, SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS},
};

} // namespace

int VirtualKeyFromSdl(int sym, int scancode) {
    for (const KeyRun& run : kRuns)
        if (sym >= run.sym && sym < run.sym + run.count)
            return Code(run.first) + (sym - run.sym);
    for (const NamedKey& named : kNamed)
        if (sym == named.sym)
            return Code(named.key);
    // Layouts whose letter keys produce other symbols still have the same physical keys.
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return Code(Key::A) + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return Code(DigitKey(1)) + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0)
        return Code(Key::Digit0);
    // The zoom keys are where a US keyboard has = and -, whatever they print.
    if (scancode == SDL_SCANCODE_EQUALS)
        return Code(Key::Plus);
    if (scancode == SDL_SCANCODE_MINUS)
        return Code(Key::Minus);
    return 0;
}

bool SdlKeyFor(int vk, int& sym, int& scancode) {
    sym = SDLK_UNKNOWN;
    scancode = SDL_SCANCODE_UNKNOWN;
    for (const KeyRun& run : kRuns)
        if (vk >= Code(run.first) && vk < Code(run.first) + run.count) {
            sym = run.sym + (vk - Code(run.first));
            scancode = run.scancode + (vk - Code(run.first));
            return true;
        }
    for (const NamedKey& named : kNamed)
        if (vk == Code(named.key)) {
            sym = named.sym;
            scancode = named.scancode;
            return true;
        }
    return false;
}

bool IsFullScreenShortcut(int sym, int mod) {
    if (sym == SDLK_F11)
        return true;
    return (sym == SDLK_RETURN || sym == SDLK_KP_ENTER) && (mod & KMOD_ALT) != 0;
}
