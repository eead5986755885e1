#include "media/graphics/DrawBatch.hpp"

#include <SDL.h>

#include <array>

namespace {
DrawBatchWatcher watcher = nullptr;
} // namespace

void SetDrawBatchWatcher(DrawBatchWatcher w) {
    watcher = w;
}

struct DrawBatch::Storage {
    std::array<SDL_Vertex, kMaxQuads * 4> vertices;
    std::array<int, kMaxQuads * 6> indices;
};

DrawBatch::DrawBatch() : storage_(std::make_unique<Storage>()) {
    // Every quad is two triangles over its corners in drawing order, split along the diagonal
    // from its first corner to its third, as the single-quad geometry draws them.
    for (int q = 0; q < kMaxQuads; ++q) {
        int* i = storage_->indices.data() + q * 6;
        const int base = q * 4;
        i[0] = base;
        i[1] = base + 1;
        i[2] = base + 2;
        i[3] = base;
        i[4] = base + 2;
        i[5] = base + 3;
    }
}

DrawBatch::~DrawBatch() = default;

bool DrawBatch::Accepts(SDL_Renderer* renderer, SDL_Texture* texture, int blendMode) const {
    return quads_ == 0 || (renderer == renderer_ && texture == texture_ &&
                           blendMode == blendMode_ && quads_ < kMaxQuads);
}

void DrawBatch::Add(SDL_Renderer* renderer, SDL_Texture* texture, int blendMode,
                    const SDL_Vertex* quad) {
    if (quads_ == 0) {
        renderer_ = renderer;
        texture_ = texture;
        blendMode_ = blendMode;
    }
    SDL_Vertex* v = storage_->vertices.data() + quads_ * 4;
    for (int k = 0; k < 4; ++k)
        v[k] = quad[k];
    ++quads_;
}

bool DrawBatch::Flush() {
    if (quads_ == 0)
        return false;
    // Untextured quads take the renderer's own blend mode.
    if (texture_)
        SDL_SetTextureBlendMode(texture_, static_cast<SDL_BlendMode>(blendMode_));
    else
        SDL_SetRenderDrawBlendMode(renderer_, static_cast<SDL_BlendMode>(blendMode_));
    SDL_RenderGeometry(renderer_, texture_, storage_->vertices.data(), quads_ * 4,
                       storage_->indices.data(), quads_ * 6);
    if (watcher)
        watcher(texture_, blendMode_, storage_->vertices.data(), quads_);
    quads_ = 0;
    return true;
}

void DrawBatch::Discard() {
    quads_ = 0;
}
