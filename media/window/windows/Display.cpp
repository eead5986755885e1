#include "media/window/Display.hpp"

#include <SDL.h>

// Windows always has a desktop to draw on: SDL's Windows video driver either starts or says why.
bool OpenDisplay(std::string& error) {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0 || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        return true;
    }
    error = std::string("cannot open the Windows desktop (") + SDL_GetError() + ")";
    return false;
}

bool DrawingBufferSize(int&, int&) {
    return false; // a desktop window's back buffer is its output's size
}
