#pragma once

// The game's picture of one frame, copied as the renderer got it, for bench/web/bare.js to draw
// with WebGL alone (the bare page beside the page): every batch's quads (SDL_Vertex: position in
// logical pixels, colour, texture coordinates), blend mode and texture, and each texture's pixels
// read back from WebGL. Web build only; batching must be on (a GPU renderer).
class BarePicture {
  public:
    // Runs `frame` (one whole frame, presented) with every batch watched, then hands the copy to
    // the page as Module.barePicture (see bare.js). False when no batch was seen.
    static bool Capture(void (*frame)());
};
