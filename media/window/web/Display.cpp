#include "media/window/Display.hpp"

#include <SDL.h>
#include <emscripten/html5_webgl.h>

bool OpenDisplay(std::string& error) {
    // A page always has its canvas, and SDL's build for the browser has that one display.
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0 || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        // The 2D renderer never tests depth: without a depth buffer the browser has one
        // buffer less to keep and clear for every frame it composites.
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
        return true;
    }
    error = std::string("cannot draw in the page (") + SDL_GetError() + ")";
    return false;
}

bool DrawingBufferSize(int& width, int& height) {
    // The browser makes the WebGL drawing buffer smaller than the canvas past its limit (about
    // 8192 pixels a side), and says how large it made it.
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_get_current_context();
    int w = 0, h = 0;
    if (context <= 0 ||
        emscripten_webgl_get_drawing_buffer_size(context, &w, &h) != EMSCRIPTEN_RESULT_SUCCESS ||
        w <= 0 || h <= 0)
        return false;
    width = w;
    height = h;
    return true;
}
