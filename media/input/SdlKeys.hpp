#pragma once

// SDL's keys and the program's key codes (media/input/Key.hpp), both ways, from one table.

// The code of the key SDL reports (its symbol, else its physical place for layouts whose
// letter and digit keys give other symbols); 0 when the key has no code here.
int VirtualKeyFromSdl(int sdlKeycode, int sdlScancode);
// The SDL symbol and scancode a scripted press of `vk` sends: one VirtualKeyFromSdl maps back
// to vk. False (both left unknown) when no key gives that code.
bool SdlKeyFor(int vk, int& sdlKeycode, int& sdlScancode);
// F11, or Enter with Alt held: toggles full screen, whatever else is held; the game never sees it.
bool IsFullScreenShortcut(int sdlKeycode, int sdlModifiers);
