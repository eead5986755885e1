#pragma once

#include "media/input/Key.hpp"

#include <cstdint>

// Feeds input through SDL's real event queue, as the platform would (tests, headless runner).
// The events are processed by the next input query. Requires InitMedia().

// The window id the pushed events carry: no window has it, so a replay tells them from the
// platform's (which carry their window's id, or 0 when no window has the focus).
constexpr std::uint32_t kScriptedWindowId = 0xFFFFFFFFu;

void PushKey(int vk, bool down, bool repeat = false); // vk: a Key's code
inline void PushKey(Key key, bool down, bool repeat = false) {
    PushKey(static_cast<int>(key), down, repeat);
}
void PushMouseButton(int button, bool down); // 1 left, 2 right, 3 middle
void PushMouseMove(int x, int y);            // in the program's logical pixels
void PushMouseWheel(int notches);            // away from the user > 0
void PushFocus(bool gained);                 // keyboard focus gained or lost
void PushCloseRequest();                     // the window's close button
// A finger id lands (action 1), moves (2) or lifts (0) at (x, y) in the program's logical pixels.
void PushFinger(int id, int action, int x, int y);
