#pragma once

// The drawing limit: one frame's SDL drawing calls, recorded as the media layer issues them
// and replayed from a flat array straight into the same SDL renderer, with the same textures,
// places, rotations, colour and blend settings, and no drawing state, lists or physics.
//
// The benchmark executable is linked with -Wl,--wrap for SDL's render calls (BareDraw.cpp), so
// every call the game makes passes through a recorder first; it also counts the calls per
// kind, which tells where a frame's drawing time goes (draws, state changes, uploads).

#include <cstdint>
#include <string>
#include <vector>

struct SDL_Renderer;

// Per-kind counts of SDL render calls made by the game since the last ResetSdlCallCounts.
struct SdlCallCounts {
    std::uint64_t copies = 0, geometry = 0, lines = 0, rects = 0, points = 0, clears = 0,
                  presents = 0, textureMods = 0, drawColor = 0, blendModes = 0, uploads = 0,
                  textureCreations = 0, viewportChanges = 0, other = 0;
    std::uint64_t Draws() const { return copies + geometry + lines + rects + points; }
};
const SdlCallCounts& SdlCalls();
void ResetSdlCallCounts();
std::string DescribeSdlCalls(const SdlCallCounts& counts, int frames);

class BareDraw {
  public:
    // Starts recording the game's SDL drawing calls (the previous recording is dropped).
    void StartRecording();
    // Stops recording; returns the number of recorded operations.
    int StopRecording();
    // Replays the recorded frame on the renderer it was recorded from; false if nothing was
    // recorded.
    bool Replay();
    int Operations() const;
    // The renderer of the last recording (nullptr before one).
    SDL_Renderer* Renderer() const;
    // Reads the renderer's whole back buffer (RGBA); empty when it cannot be read.
    std::vector<std::uint32_t> ReadBack() const;
    // True when the recording contained calls the replay does not reproduce.
    bool Incomplete() const;
};
