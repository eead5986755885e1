#include "media/window/Direct3DAdapter.hpp"

// Linux and the browser draw through OpenGL, never Direct3D.
std::string Direct3DAdapter::Description(SDL_Renderer*) {
    return {};
}
