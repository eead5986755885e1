#pragma once
#include <cstdint>
#include <vector>

struct SDL_Texture;

// Shared textures that many small pictures are packed into, so that quads of different images
// (a ball and its reflection, tiles of both layers, a tentacle's lines and its balls) use one
// texture and go to a GPU renderer as one call. Media internal (media/graphics/TImage,
// media/graphics/Draw). Pages belong to the renderer of the generation they were made for; a new
// renderer starts with none. Space is handed out left to right in shelves and never given back.
class TextureSheet {
  public:
    static constexpr int kPageSize = 1024; // pixels a side; a power of two keeps uv exact

    // A place on a page: the texture and the top-left pixel of the w x h area handed out.
    struct Place {
        SDL_Texture* texture = nullptr; // non-owning; the renderer frees it
        int x = 0, y = 0;
    };

    explicit TextureSheet(bool filtered) : filtered_(filtered) {}
    TextureSheet(const TextureSheet&) = delete;
    TextureSheet& operator=(const TextureSheet&) = delete;

    // Reserves a w x h area (pixels) on a page of the current renderer, opening a page when
    // none has room. false when nothing is open, the area is larger than a page or the page
    // cannot be made.
    bool Reserve(int w, int h, Place& out);
    // Uploads RGBA pixels (rows `pitch` bytes apart) into a reserved area.
    static void Upload(const Place& place, int w, int h, const std::uint8_t* pixels, int pitch);
    // A 4 x 4 opaque white area on the current renderer's first page; its centre samples as
    // white with any filter. false when it cannot be made. `u`, `v`: the centre's coordinates.
    bool White(SDL_Texture*& texture, float& u, float& v);
    int Pages() const { return static_cast<int>(pages_.size()); } // of the current renderer

    // The sheet of filtered (bilinear) or of nearest-sampled pictures.
    static TextureSheet& Shared(bool filtered);

  private:
    struct Page {
        SDL_Texture* texture = nullptr; // non-owning
        int shelfY = 0, shelfH = 0, x = 0;
    };
    void ForgetOldPages();
    bool filtered_;
    unsigned generation_ = 0; // MediaGeneration() the pages were made for
    std::vector<Page> pages_;
    Place white_;
    bool haveWhite_ = false;
};
