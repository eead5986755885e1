#pragma once
#include <memory>

struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Vertex;

// Quads waiting to be drawn with one texture and blend mode, handed to the renderer as one
// geometry call. Media internal (media/graphics/Draw). The buffers are sized once; a full batch is
// drawn and started again, so drawing never allocates.
class DrawBatch {
  public:
    static constexpr int kMaxQuads = 4096;

    DrawBatch();
    ~DrawBatch();
    DrawBatch(const DrawBatch&) = delete;
    DrawBatch& operator=(const DrawBatch&) = delete;

    // True when a quad drawn with `texture` (nullptr: untextured) and `blendMode` (an
    // SDL_BlendMode) can join the pending ones; false when those must be flushed first (other
    // texture or mode, full).
    bool Accepts(SDL_Renderer* renderer, SDL_Texture* texture, int blendMode) const;
    // Appends a quad, corners in drawing order around it (top-left, top-right, bottom-right,
    // bottom-left). The caller has checked Accepts or flushed.
    void Add(SDL_Renderer* renderer, SDL_Texture* texture, int blendMode, const SDL_Vertex* quad);
    // Draws the pending quads as one call (the texture gets the batch's blend mode first) and
    // empties the batch. Returns false when nothing was pending.
    bool Flush();
    // Forgets pending quads unseen (their renderer is gone).
    void Discard();
    int Pending() const { return quads_; }

  private:
    SDL_Renderer* renderer_ = nullptr; // non-owning
    SDL_Texture* texture_ = nullptr;   // non-owning
    int blendMode_ = 0;
    int quads_ = 0;
    struct Storage; // kMaxQuads * 4 vertices, kMaxQuads * 6 indices (two triangles a quad)
    std::unique_ptr<Storage> storage_;
};

// The frame's batch, for media's own classes that draw textures of their own (media/graphics/Draw).
// True when drawing is batched now (a GPU renderer, batching on).
bool DrawBatchingActive();
// Queues a textured quad (corners as DrawBatch::Add takes them) with an SDL_BlendMode, after
// what waits; drawing that waits goes first when the quad cannot join it.
void QueueTexturedQuad(SDL_Texture* texture, int blendMode, const SDL_Vertex* quad);

// Shown every batch as it goes to the renderer: its texture (nullptr: untextured; non-owning),
// SDL_BlendMode and quads (4 vertices each, corners as DrawBatch::Add takes them). For the bench,
// which copies a frame's picture to draw it without the game; nullptr (the default) shows none.
using DrawBatchWatcher = void (*)(SDL_Texture* texture, int blendMode, const SDL_Vertex* vertices,
                                  int quads);
void SetDrawBatchWatcher(DrawBatchWatcher watcher);
