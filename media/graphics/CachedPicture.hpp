#pragma once

struct SDL_Texture;

// A picture a GPU renderer keeps from frame to frame: drawn into with the usual primitives,
// then copied from a rectangle at a time as part of the batched drawing. For pictures made of
// many small pieces that seldom change (a tile layer): a frame then hands the GPU a few large
// quads instead of a quad per piece, and opaque parts go without blending. Only where drawing
// is batched; the software renderer keeps drawing the pieces themselves. The texture belongs to
// the renderer it was made for and goes with it (a new window, a browser's WebGL context
// given back).
class CachedPicture {
  public:
    CachedPicture() = default;
    ~CachedPicture();
    CachedPicture(const CachedPicture&) = delete;
    CachedPicture& operator=(const CachedPicture&) = delete;

    // True when pictures can be kept now: drawing is batched on a GPU renderer that draws into
    // textures.
    static bool Available();
    // Makes sure the picture is w x h pixels on the current renderer. Returns true when it is
    // ready; `fresh` is then true when it was (re)made and holds nothing yet (transparent).
    // False when it cannot be kept (not Available, larger than the renderer's textures).
    bool Prepare(int w, int h, bool& fresh);
    // From Begin to End, drawing goes into the picture: the viewport covers it and the origin
    // is (0, 0); the rest of the drawing state stays the caller's. Draws waiting for the frame
    // are handed over first. False (nothing changed) when the picture is not ready.
    bool Begin();
    void End(); // back to the frame, with its viewport and origin as before Begin
    // Between Begin and End: makes the rectangle (pixels of the picture) transparent.
    void Clear(int x, int y, int w, int h);
    // Queues the picture's rectangle (sx, sy, w, h) drawn unscaled with its top-left corner at
    // (x, y) plus the origin, in the frame's drawing. `opaque`: its pixels replace the frame's
    // (for rectangles the caller knows to be opaque), else they are blended as the mask mode
    // blends. No-op when the picture is not ready.
    void Draw(int sx, int sy, int w, int h, float x, float y, bool opaque);

  private:
    void Release();
    SDL_Texture* texture_ = nullptr; // owned; destroyed with it or left to a renderer that went
    unsigned generation_ = 0;        // MediaGeneration() the texture belongs to
    int w_ = 0, h_ = 0;
    SDL_Texture* previousTarget_ = nullptr; // non-owning: the frame's target during Begin..End
    float savedOx_ = 0.0f, savedOy_ = 0.0f;
    int savedVx_ = 0, savedVy_ = 0, savedVw_ = 0, savedVh_ = 0;
    bool drawing_ = false;
};
