#pragma once
#include <cstdint>
#include <vector>

// Where drawing a picture with blending (alpha, light or mask mode) can change what is under it:
// its texels that are not fully transparent, grown by the texel that bilinear filtering reaches
// beyond them, as a few trapezoids in bands of rows. Outside them every sample reads only
// transparent texels and adds nothing, so a GPU renderer may draw the pieces in place of the whole
// frame and fill fewer pixels (a star's glow covers about four fifths of its square). Media
// internal (media/graphics/TImage, media/graphics/Draw). Not for solid or shade mode, where
// transparent texels change the picture too.
class ImageCover {
  public:
    static constexpr int kBandRows = 8; // rows of a band: few pieces, a close fit

    // A trapezoid with horizontal top and bottom edges, in frame pixels (x right, y down, from
    // the frame's top-left corner); left and right edges may slant.
    struct Piece {
        float top = 0.0f, bottom = 0.0f;
        float topLeft = 0.0f, topRight = 0.0f, bottomLeft = 0.0f, bottomRight = 0.0f;
    };

    // rgba: w x h pixels, four bytes each (alpha last), rows `pitch` bytes apart. Non-owning,
    // read only during the call.
    ImageCover(const std::uint8_t* rgba, int w, int h, int pitch);

    const std::vector<Piece>& Pieces() const { return pieces_; } // none: nothing to draw
    float Area() const;                                          // square pixels the pieces cover
    float FrameArea() const { return static_cast<float>(w_) * static_cast<float>(h_); }
    // True when drawing the pieces pays: they leave out a good part of the frame (a quad for a
    // piece costs little; a rasterised pixel more).
    bool Worthwhile() const;

  private:
    int w_, h_;
    std::vector<Piece> pieces_;
};
