#include "media/graphics/ImageCover.hpp"

#include <algorithm>
#include <limits>

namespace {

// One side of a band's trapezoid: the line x = at + slope * (y - top) that stays on the outer
// side of every row's edge over the row's whole height (edge[row] for y in [row, row + 1]).
// `left`: the outer side is smaller x. A slanting line that would leave the frame [0, limit]
// falls back to the straight one through the outermost edge.
void FitSide(const std::vector<float>& edge, int first, int last, bool left, float limit,
             float& atTop, float& atBottom) {
    const float top = static_cast<float>(first), bottom = static_cast<float>(last + 1);
    const float slope =
        last > first
            ? (edge[static_cast<std::size_t>(last)] - edge[static_cast<std::size_t>(first)]) /
                  static_cast<float>(last - first)
            : 0.0f;
    float at = edge[static_cast<std::size_t>(first)];
    float outermost = at;
    for (int row = first; row <= last; ++row) {
        const float e = edge[static_cast<std::size_t>(row)];
        if (e < 0.0f)
            continue; // an empty row inside the band
        outermost = left ? std::min(outermost, e) : std::max(outermost, e);
        for (const float y : {static_cast<float>(row), static_cast<float>(row + 1)}) {
            const float x = at + slope * (y - top);
            if (left && x > e)
                at -= x - e;
            if (!left && x < e)
                at += e - x;
        }
    }
    atTop = at;
    atBottom = at + slope * (bottom - top);
    if (atTop < 0.0f || atBottom < 0.0f || atTop > limit || atBottom > limit)
        atTop = atBottom = outermost;
}

} // namespace

ImageCover::ImageCover(const std::uint8_t* rgba, int w, int h, int pitch) : w_(w), h_(h) {
    if (w <= 0 || h <= 0)
        return;
    // Per row, the left and right edges (pixels) of the texels a filtered sample may read
    // something from: each non-transparent texel with the texel around it. -1: none.
    std::vector<float> left(static_cast<std::size_t>(h), -1.0f),
        right(static_cast<std::size_t>(h), -1.0f);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = rgba + static_cast<std::ptrdiff_t>(y) * pitch;
        int first = -1, last = -1;
        for (int x = 0; x < w; ++x) {
            if (row[x * 4 + 3] != 0) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
        if (first < 0)
            continue;
        const float l = static_cast<float>(std::max(first - 1, 0));
        const float r = static_cast<float>(std::min(last + 2, w));
        for (int g = std::max(y - 1, 0); g <= std::min(y + 1, h - 1); ++g) {
            auto& gl = left[static_cast<std::size_t>(g)];
            auto& gr = right[static_cast<std::size_t>(g)];
            gl = gl < 0.0f ? l : std::min(gl, l);
            gr = gr < 0.0f ? r : std::max(gr, r);
        }
    }
    for (int top = 0; top < h; top += kBandRows) {
        const int end = std::min(top + kBandRows, h);
        int first = -1, last = -1;
        for (int y = top; y < end; ++y) {
            if (left[static_cast<std::size_t>(y)] >= 0.0f) {
                if (first < 0)
                    first = y;
                last = y;
            }
        }
        if (first < 0)
            continue;
        Piece p;
        p.top = static_cast<float>(first);
        p.bottom = static_cast<float>(last + 1);
        FitSide(left, first, last, true, static_cast<float>(w), p.topLeft, p.bottomLeft);
        FitSide(right, first, last, false, static_cast<float>(w), p.topRight, p.bottomRight);
        pieces_.push_back(p);
    }
}

float ImageCover::Area() const {
    float area = 0.0f;
    for (const Piece& p : pieces_)
        area +=
            ((p.topRight - p.topLeft) + (p.bottomRight - p.bottomLeft)) * 0.5f * (p.bottom - p.top);
    return area;
}

bool ImageCover::Worthwhile() const {
    // A tenth of the frame or more left out.
    return Area() <= 0.9f * FrameArea();
}
