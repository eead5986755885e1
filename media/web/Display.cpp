#include "media/Display.hpp"

#include <SDL.h>

bool OpenDisplay(std::string& error) {
    // A page always has its canvas, and SDL's build for the browser has that one display.
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0 || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0)
        return true;
    error = std::string("cannot draw in the page (") + SDL_GetError() + ")";
    return false;
}
