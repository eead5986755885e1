#include "media/window/PictureLayout.hpp"

#include <algorithm>
#include <cmath>

namespace {

// SDL_RenderSetLogicalSize's letterboxing (SDL 2.26, no integer scaling), so that a picture
// placed here lands where SDL puts it and the golden windows stay as they are.
PictureLayout Letterbox(int w, int h, int lw, int lh) {
    PictureLayout l;
    const float want = static_cast<float>(lw) / static_cast<float>(lh);
    const float real = static_cast<float>(w) / static_cast<float>(h);
    if (std::fabs(want - real) < 0.0001f) {
        l.scale = static_cast<float>(w) / static_cast<float>(lw);
        l.picture = {0, 0, w, h};
    } else if (want > real) {
        l.scale = static_cast<float>(w) / static_cast<float>(lw);
        const int ph = static_cast<int>(std::floor(static_cast<float>(lh) * l.scale));
        l.picture = {0, (h - ph) / 2, w, ph};
    } else {
        l.scale = static_cast<float>(h) / static_cast<float>(lh);
        const int pw = static_cast<int>(std::floor(static_cast<float>(lw) * l.scale));
        l.picture = {(w - pw) / 2, 0, pw, h};
    }
    return l;
}

// The band's thickness when its items are laid along a side `length` pixels long.
int BandThickness(int length, int items, int pitch) {
    const int perLine = std::max(1, (length - pitch / 8) / pitch);
    const int lines = (items + perLine - 1) / perLine;
    return lines * pitch + pitch / 8;
}

} // namespace

PictureLayout PictureLayout::Fit(int outW, int outH, int lw, int lh, int bandItems, int pitch) {
    if (outW <= 0 || outH <= 0 || lw <= 0 || lh <= 0)
        return PictureLayout{};
    if (bandItems <= 0 || pitch <= 0)
        return Letterbox(outW, outH, lw, lh);
    const int right = BandThickness(outH, bandItems, pitch);
    const int below = BandThickness(outW, bandItems, pitch);
    const auto fit = [&](int w, int h) {
        return std::min(static_cast<float>(w) / static_cast<float>(lw),
                        static_cast<float>(h) / static_cast<float>(lh));
    };
    const float scaleRight = fit(outW - right, outH);
    const float scaleBelow = fit(outW, outH - below);
    PictureLayout l;
    l.bandBelow = scaleBelow > scaleRight;
    l.scale = std::max(0.0f, std::max(scaleRight, scaleBelow));
    const int pw = static_cast<int>(std::floor(static_cast<float>(lw) * l.scale));
    const int ph = static_cast<int>(std::floor(static_cast<float>(lh) * l.scale));
    // The picture and the band are centred together: the band takes the letterbox's room first.
    if (l.bandBelow) {
        const int top = std::max(0, (outH - ph - below) / 2);
        l.picture = {(outW - pw) / 2, top, pw, ph};
        l.band = {0, top + ph, outW, below};
    } else {
        const int left = std::max(0, (outW - pw - right) / 2);
        l.picture = {left, (outH - ph) / 2, pw, ph};
        l.band = {left + pw, 0, right, outH};
    }
    return l;
}

void PictureLayout::ToLogical(int outX, int outY, int& x, int& y) const {
    const float s = scale > 0.0f ? scale : 1.0f;
    x = static_cast<int>(std::floor(static_cast<float>(outX - picture.x) / s));
    y = static_cast<int>(std::floor(static_cast<float>(outY - picture.y) / s));
}
