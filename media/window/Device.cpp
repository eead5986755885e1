#include "media/window/Device.hpp"

#include <SDL.h>

#include <algorithm>

Device& TheDevice() {
    static Device device;
    return device;
}

void Device::OutputSize(int& w, int& h) const {
    w = h = 0;
    if (surface) {
        w = surface->w;
        h = surface->h;
    } else if (renderer) {
        w = outW;
        h = outH;
    }
}

float Device::PixelsPerPoint() const {
    if (!window || outW <= 0)
        return 1.0f;
    int winW = 0, winH = 0;
    SDL_GetWindowSize(window, &winW, &winH);
    if (winW <= 0)
        return 1.0f;
    return std::max(1.0f, static_cast<float>(outW) / static_cast<float>(winW));
}
