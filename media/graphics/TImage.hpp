#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "media/graphics/ImageCover.hpp"

struct SDL_Texture;

// Decoded pixels of one frame: RGBA, one byte per channel in that order, rows `pitch` bytes apart.
struct TPixmap {
    std::vector<std::uint8_t> pixels;
    int width = 0, height = 0, pitch = 0;
};

// A picture with one or more frames of equal size and a drawing handle.
// Frame textures are made on the first draw for the open window and reused after that.
class TImage {
  public:
    TImage() = default;
    TImage(const TImage&) = delete;
    TImage& operator=(const TImage&) = delete;
    ~TImage();

    int width = 0, height = 0; // size of one frame in pixels
    int flags = 0;             // 1 masked, 2 filtered
    int mask_r = 0, mask_g = 0, mask_b = 0;
    float handle_x = 0.0f, handle_y = 0.0f; // point of the frame that lands on the draw position
    std::vector<TPixmap> pixmaps;           // one per frame

    int FrameCount() const { return static_cast<int>(pixmaps.size()); }

    // Drawing support (media internals): the frame's texture for the current window, made on
    // first use; the mask-mode copy whose alpha is cut at `threshold` (0..1).
    SDL_Texture* FrameTexture(int frame);
    SDL_Texture* MaskTexture(int frame, float threshold);
    // Every frame on a page of the shared sheet (media/graphics/TextureSheet) beside other images,
    // for drawing many frames and images in one call on a GPU renderer: the plain pictures
    // (threshold < 0) or the mask-mode copies cut at `threshold`. `uv` gets the frame's
    // texture coordinates (left, top, right, bottom). nullptr when it does not fit. `nearest`:
    // from the nearest-sampled sheet whatever the image's flags, for frames drawn unrotated,
    // unscaled and on whole pixels, where filtering reads each texel at its centre anyway.
    SDL_Texture* AtlasTexture(int frame, float threshold, float uv[4], bool nearest = false);

    // How the frame covers its rectangle in mask mode cut at `threshold` (0..1): kNothing when
    // no pixel passes, kOpaque when every pixel does, else kSome. Worked out once per threshold.
    enum Coverage { kNothing = 0, kSome = 1, kOpaque = 2 };
    Coverage MaskCoverage(int frame, float threshold);
    // True when the frame is opaque in mask mode cut at `threshold` and every pixel has one
    // colour, which r, g, b get (0..255).
    bool SolidColor(int frame, float threshold, int& r, int& g, int& b);

    // Where the frame, drawn blended, can change the picture (media/graphics/ImageCover): worked
    // out from its pixels on first use and kept. frame in [0, FrameCount).
    const ImageCover& Cover(int frame);

  private:
    std::vector<std::unique_ptr<ImageCover>> covers_; // per frame; null until asked for
    std::vector<signed char> coverage_;               // per frame; -1 not worked out
    std::vector<std::uint32_t> solid_; // per frame: 0x1RRGGBB when of one opaque colour, else 0
    float coverageThreshold_ = -1.0f;
    struct FrameCache {
        SDL_Texture* texture = nullptr;
        SDL_Texture* mask = nullptr;
        float maskThreshold = -1.0f;
        unsigned seq = 0; // window generation the textures belong to
    };
    struct Atlas {
        SDL_Texture* texture = nullptr; // the sheet's page (non-owning)
        int x = 0, y = 0;               // top-left of the frames' grid on the page
        float threshold = -2.0f;        // what its pixels were cut at; -1 plain
        bool failed = false;            // no room for it
        int columns = 0;
        unsigned seq = 0;
    };
    std::vector<FrameCache> cache_;
    Atlas atlas_[4]; // plain, mask; then both from the nearest-sampled sheet
    bool MakeAtlas(Atlas& a, float threshold, bool filtered);
    FrameCache& Cache(int frame);
};

// Loads an embedded picture ("incbin::name") as one frame; flags -1 = 3 (masked, filtered).
// nullptr when the resource is missing or cannot be decoded.
std::shared_ptr<TImage> LoadImage(std::string_view url, int flags = -1);
// Cuts `count` cells of cellW x cellH from the picture starting at cell `first` (left to right,
// then top to bottom). nullptr if missing, undecodable or the picture has too few cells.
std::shared_ptr<TImage> LoadAnimImage(std::string_view url, int cellW, int cellH, int first,
                                      int count, int flags = -1);
// Called before an image's textures change or go, while drawing may still wait to use them
// (media/graphics/Draw sets it to hand such drawing over first). nullptr: nothing to call.
void SetBeforeTextureChange(void (*hook)());
void SetAutoCenterHandle(bool on); // while on, images loaded get their handle at the frame centre
bool GetAutoCenterHandle();
void SetImageHandle(TImage& image, float x, float y);
int ImageWidth(const TImage& image);  // frame width in pixels
int ImageHeight(const TImage& image); // frame height in pixels
