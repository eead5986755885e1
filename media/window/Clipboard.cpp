#include "media/window/Clipboard.hpp"

#include <SDL.h>

bool Clipboard::SetText(const std::string& text) {
    // SDL reaches the clipboard through the video subsystem's window system connection.
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return false;
    }
    return SDL_SetClipboardText(text.c_str()) == 0;
}
