#include "media/window/VSync.hpp"

#include "media/base/Clock.hpp"
#include "media/window/Device.hpp"

#include <SDL.h>

#include <cstdlib>

void SetVSync(int on) {
    Device& device = TheDevice();
    if (device.vsync == on || !device.renderer)
        return;
    SDL_RenderSetVSync(device.renderer, on);
    device.vsync = on;
}

bool PresentsKeepRate(int msPerFrame) {
    SetVSync(1);
    const int start = TimeMs();
    int inARow = 0;
    int last = start;
    for (int i = 0; i < 240 && TimeBetween(start, TimeMs()) < 1000; ++i) {
        SDL_RenderPresent(TheDevice().renderer);
        const int now = TimeMs();
        inARow = std::abs(TimeBetween(last, now) - msPerFrame) <= 1 ? inARow + 1 : 0;
        last = now;
        if (inARow >= 3)
            return true;
    }
    SetVSync(0);
    return false;
}
