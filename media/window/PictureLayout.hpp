#pragma once

// Where the program's picture goes in a window of another size: kept whole and in proportion,
// as large as fits, centred, beside an optional band the program keeps for its own controls
// (the toolbar). All sizes are in the window's output pixels.
struct PixelRect {
    int x = 0, y = 0, w = 0, h = 0;
};

class PictureLayout {
  public:
    PixelRect picture;      // where the logical picture is shown
    PixelRect band;         // the band beside it (w or h 0 without one)
    bool bandBelow = false; // below the picture (a tall window) rather than at its right
    float scale = 1.0f;     // output pixels per logical pixel

    // Without a band (bandItems 0): SDL's own letterboxing of a logical size, to the pixel.
    // With one: bandItems squares of item output pixels (a pitch apart) in as many rows or
    // columns as the window's width or height needs, at the right of the picture or below it,
    // whichever leaves the picture larger; the picture shrinks only when the window has no room
    // to spare beside it. Sizes <= 0 give an empty layout.
    static PictureLayout Fit(int outW, int outH, int logicalW, int logicalH, int bandItems = 0,
                             int pitch = 0);
    // Maps an output pixel to the logical picture (fractions truncated toward minus infinity);
    // points outside the picture map outside the logical rectangle.
    void ToLogical(int outX, int outY, int& x, int& y) const;
};
