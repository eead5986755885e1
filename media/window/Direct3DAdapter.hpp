#pragma once

#include <string>

struct SDL_Renderer;

// The graphics adapter a Direct3D renderer draws with, as Windows describes it ("NVIDIA GeForce
// RTX 3060", or "Microsoft Basic Render Driver" where only the CPU draws).
class Direct3DAdapter {
  public:
    // The description of renderer's adapter (non-owning; any renderer); "" when renderer is not
    // a Direct3D one or the platform has no Direct3D (media/windows/Direct3DAdapter.cpp is
    // Windows' side).
    static std::string Description(SDL_Renderer* renderer);
};
