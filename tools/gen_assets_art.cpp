#include "tools/gen_assets_art.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kSamples = 4; // sprites are drawn at 4x and averaged down

struct P2 {
    double x, y;
};

// Deterministic value in [0, 1) for integer coordinates.
double Hash(int a, int b, int seed) {
    std::uint32_t h = static_cast<std::uint32_t>(a) * 374761393u +
                      static_cast<std::uint32_t>(b) * 668265263u +
                      static_cast<std::uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / 16777216.0;
}

double Len(double x, double y) {
    return std::sqrt(x * x + y * y);
}

// Signed distance to a simple polygon: negative inside.
double PolygonDistance(const std::vector<P2>& v, P2 p) {
    double d = (p.x - v[0].x) * (p.x - v[0].x) + (p.y - v[0].y) * (p.y - v[0].y);
    double s = 1.0;
    for (std::size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
        const double ex = v[j].x - v[i].x, ey = v[j].y - v[i].y;
        const double wx = p.x - v[i].x, wy = p.y - v[i].y;
        const double t = std::clamp((wx * ex + wy * ey) / (ex * ex + ey * ey), 0.0, 1.0);
        const double bx = wx - ex * t, by = wy - ey * t;
        d = std::min(d, bx * bx + by * by);
        const bool c1 = p.y >= v[i].y, c2 = p.y<v[j].y, c3 = ex * wy> ey * wx;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) {
            s = -s;
        }
    }
    return s * std::sqrt(d);
}

// Distance to an ellipse's outline, approximated by scaling: negative inside.
double EllipseDistance(double dx, double dy, double rx, double ry) {
    const double k = Len(dx / rx, dy / ry);
    return (k - 1.0) * std::min(rx, ry);
}

// Coverage of a shape from its signed distance, antialiased over about one
// sample (the shaders are sampled at a quarter pixel).
double Fill(double d) {
    return Clamp01(0.5 - d * 4.0);
}

// Where segment a0-a1 crosses segment b0-b1 (their lines' intersection).
P2 Crossing(P2 a0, P2 a1, P2 b0, P2 b1) {
    const double dax = a1.x - a0.x, day = a1.y - a0.y, dbx = b1.x - b0.x, dby = b1.y - b0.y;
    const double t = ((b0.x - a0.x) * dby - (b0.y - a0.y) * dbx) / (dax * dby - day * dbx);
    return {a0.x + dax * t, a0.y + day * t};
}

// The star body collides as an inner pentagon plus five corner triangles; the
// picture is their union, a ten-point star. The top triangle's base sits a
// little lower and wider than the pentagon's top edge, so the two concave
// corners beside the top point are where its sides cross the side triangles.
std::vector<P2> StarOutline(double scale) {
    const P2 top{0, -15.2}, right{15.2, -3.2}, left{-15.2, -3.2};
    const P2 upperRight = Crossing(top, {5.6, -4.8}, {4.8, -5.6}, right);
    const P2 upperLeft = Crossing(top, {-5.6, -4.8}, {-4.8, -5.6}, left);
    const std::vector<P2> v = {top,       upperRight,   right,       {8.0, 4.0}, {9.6, 14.4},
                               {0, 10.4}, {-9.6, 14.4}, {-8.0, 4.0}, left,       upperLeft};
    std::vector<P2> out;
    for (const P2& p : v) {
        out.push_back({p.x * scale, p.y * scale});
    }
    return out;
}

// A smiling mouth: an arc of a circle below the eyes.
double SmileDistance(double x, double y, double cx, double cy, double r, double halfWidth,
                     double from, double to) {
    const double a = std::atan2(y - cy, x - cx);
    const double dr = std::abs(Len(x - cx, y - cy) - r) - halfWidth;
    if (a >= from && a <= to) {
        return dr;
    }
    const double ax = cx + r * std::cos(from), ay = cy + r * std::sin(from);
    const double bx = cx + r * std::cos(to), by = cy + r * std::sin(to);
    return std::min(Len(x - ax, y - ay), Len(x - bx, y - by)) - halfWidth;
}

// Two eyes (white, pupil, glint) centred at (±ex, ey), relative to the picture centre.
Rgba Eyes(double x, double y, double ex, double ey, double size, Rgba base) {
    Rgba c = base;
    for (int side = -1; side <= 1; side += 2) {
        const double dx = x - side * ex, dy = y - ey;
        c = Over(WithAlpha(Opaque(255, 255, 255), Fill(EllipseDistance(dx, dy, size * 0.8, size))),
                 c);
        c = Over(
            WithAlpha(Opaque(25, 20, 30), Fill(EllipseDistance(dx + 0.15 * side, dy - size * 0.25,
                                                               size * 0.5, size * 0.62))),
            c);
        c = Over(WithAlpha(Opaque(255, 255, 255),
                           Fill(Len(dx + 0.3 * size, dy + 0.05 * size) - size * 0.2)),
                 c);
    }
    return c;
}

Picture Sprite(int w, int h, const Shader& shader) {
    Picture pic(w, h);
    Render(pic, 0, 0, w, h, kSamples, shader);
    return pic;
}

} // namespace

Shader BallShader(bool blue) {
    const Rgba body = blue ? Opaque(55, 120, 230) : Opaque(222, 44, 48);
    const Rgba dark = blue ? Opaque(22, 52, 128) : Opaque(118, 18, 24);
    const Rgba white = Opaque(248, 246, 240);
    return [=](double px, double py) {
        const double x = px - 16, y = py - 16, r = Len(x, y);
        const double edge = r - 15.0;
        if (edge > 0.5) {
            return Rgba{};
        }
        // Coloured cap above a gently curved seam, white below.
        const double seam = y - (3.2 + 0.012 * x * x);
        Rgba c = Mix(body, white, Clamp01(seam * 4.0 + 0.5));
        c = Mix(c, dark, Clamp01(1.0 - std::abs(seam) * 2.2) * 0.85);
        // A soft darkening towards the rim gives the disc some roundness.
        c = Mix(c, dark, SmoothStep(10.5, 15.0, r) * 0.35);
        c = Eyes(x, y, 4.6, -3.6, 3.0, c);
        if (blue) {
            c = Over(WithAlpha(dark, Fill(EllipseDistance(x, y - 7.8, 2.0, 1.6))), c);
        } else {
            c = Over(
                WithAlpha(dark, Fill(SmileDistance(x, y, 0, 4.6, 4.6, 0.65, 0.45, kPi - 0.45))), c);
        }
        // Outline.
        c = Mix(c, dark, Fill(-(edge + 1.0)));
        c.a = Fill(edge);
        return c;
    };
}

Picture DrawBall(bool blue) {
    return Sprite(32, 32, BallShader(blue));
}

Picture DrawReflectBall() {
    return Sprite(32, 32, [](double px, double py) {
        const double x = px - 16, y = py - 16, r = Len(x, y);
        const double inside = Fill(r - 15.0);
        if (inside <= 0) {
            return Rgba{};
        }
        const double v = y / 15.0;
        // Light falls from the top: a white sheen above, shade below and at the rim.
        Rgba c = WithAlpha(Opaque(0, 0, 20), 0.5 * SmoothStep(-0.1, 1.0, v));
        c = Over(WithAlpha(Opaque(0, 0, 20), 0.22 * SmoothStep(0.72, 1.0, r / 15.0)), c);
        c = Over(WithAlpha(Opaque(255, 255, 255), 0.42 * SmoothStep(0.2, -0.95, v)), c);
        const double spot = EllipseDistance(x + 5.0, y + 7.0, 3.8, 2.6);
        c = Over(WithAlpha(Opaque(255, 255, 255), 0.75 * SmoothStep(1.2, -1.0, spot)), c);
        c.a *= inside;
        return c;
    });
}

Picture DrawCube() {
    Picture pic = Sprite(32, 32, [](double px, double py) {
        const double x = px - 16, y = py - 16;
        if (std::abs(x) > 15 || std::abs(y) > 15) {
            return Rgba{};
        }
        const Rgba body = Opaque(52, 112, 222);
        const Rgba dark = Opaque(20, 48, 130);
        const double rim = 15 - std::max(std::abs(x), std::abs(y));
        Rgba c = body;
        // Bevel: lit top and left, shaded bottom and right.
        if (rim < 3.5) {
            const bool lit = (y < 0 && -y >= std::abs(x)) || (x < 0 && -x >= std::abs(y));
            c = lit ? Opaque(118, 168, 248) : Opaque(36, 80, 180);
        }
        if (rim < 1.25) {
            c = dark;
        }
        c = Eyes(x, y, 5.0, -3.4, 3.2, c);
        c = Over(WithAlpha(dark, Fill(SmileDistance(x, y, 0, 3.6, 5.0, 0.7, 0.5, kPi - 0.5))), c);
        return c;
    });
    HardenAlpha(pic);
    return pic;
}

Shader StarShader() {
    const std::vector<P2> outline = StarOutline(1.0);
    return [outline](double px, double py) {
        const P2 p{px - 16, py - 16};
        const double d = PolygonDistance(outline, p);
        if (d > 0.5) {
            return Rgba{};
        }
        // Light from the top left: a bright gold fading to amber.
        const double shade = Clamp01(0.5 + (p.y * 0.8 + p.x * 0.3) / 26.0);
        Rgba c = Mix(Opaque(255, 238, 110), Opaque(242, 168, 24), shade);
        // Bevelled points: each point has a lit and a shaded half either side
        // of the ridge running from the centre to its tip.
        double best = -2.0, side = 0.0;
        for (std::size_t i = 0; i < outline.size(); i += 2) {
            const double len = Len(outline[i].x, outline[i].y);
            const double ux = outline[i].x / len, uy = outline[i].y / len;
            const double along = (p.x * ux + p.y * uy) / std::max(Len(p.x, p.y), 1e-6);
            if (along > best) {
                best = along;
                side = p.x * uy - p.y * ux;
            }
        }
        c = Mix(c, side > 0 ? Opaque(255, 250, 190) : Opaque(214, 132, 10),
                0.3 * SmoothStep(0.0, 0.8, std::abs(side)) * SmoothStep(6.0, 9.0, Len(p.x, p.y)));
        const Rgba line = Opaque(170, 92, 10);
        c = Eyes(p.x, p.y, 2.9, -1.6, 2.1, c);
        c = Over(WithAlpha(line, Fill(SmileDistance(p.x, p.y, 0, 1.6, 3.0, 0.5, 0.5, kPi - 0.5))),
                 c);
        c = Mix(c, line, 1.0 - Fill(d + 1.1));
        c.a = Fill(d);
        return c;
    };
}

Picture DrawStar() {
    return Sprite(32, 32, StarShader());
}

Picture DrawBrightStar() {
    const std::vector<P2> outline = StarOutline(1.75);
    return Sprite(64, 64, [&](double px, double py) {
        const P2 p{px - 32, py - 32};
        const double d = PolygonDistance(outline, p);
        const double r = Len(p.x, p.y);
        // Dense in the star's body, a soft halo beyond its outline, nothing at the border.
        double a = d < 0 ? 0.55 + 0.4 * SmoothStep(-2.0, -14.0, d) : 0.55 * std::exp(-d * d / 30.0);
        a += 0.18 * std::exp(-r * r / 200.0);
        a *= SmoothStep(31.5, 26.0, r);
        const Rgba c = Mix(Opaque(255, 214, 60), Opaque(255, 248, 200), SmoothStep(14.0, 0.0, r));
        return WithAlpha(c, Clamp01(a) * 0.9);
    });
}

Picture DrawLink() {
    return Sprite(16, 12, [](double px, double py) {
        const double x = px - 8, y = py - 6;
        // A tube of radius 2.1 around an ellipse: an oval ring.
        const double k = Len(x / 5.5, y / 3.55);
        const double across = (k - 1.0) * 3.9; // roughly pixels from the tube's centre line
        const double tube = std::abs(across) - 2.05;
        if (tube > 0.5) {
            return Rgba{};
        }
        const double n = Clamp01(1.0 - (across / 2.05) * (across / 2.05));
        const double lit = Clamp01(0.45 + 0.5 * (-y / 5.6) * (across > 0 ? 1.0 : -0.6));
        Rgba c = Mix(Opaque(92, 96, 106), Opaque(214, 218, 226), lit * 0.7 + n * 0.3);
        c = Mix(c, Opaque(250, 252, 255), SmoothStep(0.55, 0.95, lit * n) * 0.8);
        c = Mix(c, Opaque(52, 54, 62), 1.0 - Fill(tube + 0.8));
        c.a = Fill(tube);
        return c;
    });
}

Picture DrawAnchor() {
    return Sprite(14, 14, [](double px, double py) {
        const double x = px - 7, y = py - 7, r = Len(x, y);
        const double edge = r - 6.6;
        if (edge > 0.5) {
            return Rgba{};
        }
        Rgba c = Mix(Opaque(78, 84, 96), Opaque(44, 48, 58), Clamp01(0.5 + (x + y) / 14.0));
        // A raised cap with a bright rim at its upper left.
        const double cap = r - 3.9;
        c = Over(
            WithAlpha(Mix(Opaque(120, 128, 142), Opaque(62, 66, 78), Clamp01(0.5 + (x + y) / 9.0)),
                      Fill(cap)),
            c);
        c = Over(WithAlpha(Opaque(190, 198, 212),
                           Fill(std::abs(cap + 0.3) - 0.35) * Clamp01(-(x + y) / 5.0)),
                 c);
        // The socket of the pin.
        c = Over(WithAlpha(Opaque(18, 20, 26), Fill(r - 1.4)), c);
        c = Mix(c, Opaque(24, 26, 32), 1.0 - Fill(edge + 0.9));
        c.a = Fill(edge);
        return c;
    });
}

std::vector<std::int16_t> SynthesiseClink() {
    constexpr int kRate = 44100;
    constexpr int kCount = 26460; // 0.6 s
    struct Partial {
        double freq, amp, decay;
    };
    // Inharmonic partials of a small struck piece of metal, and a softer
    // second strike as it bounces.
    const Partial partials[] = {{1480.0, 1.00, 0.110},
                                {3987.0, 0.55, 0.060},
                                {6210.0, 0.32, 0.040},
                                {8750.0, 0.18, 0.028},
                                {2331.0, 0.30, 0.090}};
    std::vector<double> wave(kCount, 0.0);
    auto strike = [&](double start, double gain, double detune) {
        for (int i = 0; i < kCount; ++i) {
            const double t = i / static_cast<double>(kRate) - start;
            if (t < 0) {
                continue;
            }
            const double attack = Clamp01(t / 0.0015);
            double s = 0;
            for (const Partial& p : partials) {
                s += p.amp * std::exp(-t / p.decay) * std::sin(2 * kPi * p.freq * detune * t);
            }
            // A short click of noise at the moment of impact.
            s += 0.35 * std::exp(-t / 0.003) * (Hash(i, 7, 11) * 2 - 1);
            wave[static_cast<std::size_t>(i)] += gain * attack * s;
        }
    };
    strike(0.0, 1.0, 1.0);
    strike(0.115, 0.45, 1.004);
    strike(0.19, 0.18, 0.997);
    double peak = 0;
    for (double v : wave) {
        peak = std::max(peak, std::abs(v));
    }
    std::vector<std::int16_t> out(kCount);
    for (int i = 0; i < kCount; ++i) {
        const double fade = SmoothStep(kCount, kCount - 2000, i); // ends in silence
        out[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
            std::lround(wave[static_cast<std::size_t>(i)] / peak * 0.8 * 32767.0 * fade));
    }
    return out;
}

// ---------------------------------------------------------------------------
// Background sheet: sky, three ranges of pastel hills, two cloud frames.

namespace {

// The hills are bands along the tile diagonals: a rising slope climbs one
// cell (24 px) per cell to the right (40 px), a falling slope descends the
// same way. A tile on band k of a slope lies k cells below the slope's
// outline, so neighbouring tiles continue each other's depth exactly.
enum Range { kBack, kMiddle, kFront, kRanges };
struct Claim {
    Range range;
    int dir; // +1 rising slope, -1 falling slope, 0 fill
    int band;
};

double ClaimDepth(const Claim& c, double x, double y) {
    if (c.dir == 0) {
        return 1000.0;
    }
    if (c.dir > 0) {
        return y + 24.0 * (c.band - 1) + 0.6 * x;
    }
    return y + 24.0 * c.band - 0.6 * x;
}

std::vector<Claim> BackgroundClaims(int tile) {
    // Which slopes cross each tile. Found by fitting every tile against all of
    // its neighbours in the background map (minimising the edges where the two
    // sides disagree), so the outlines run on from cell to cell. Band -1 tiles
    // lie just above an outline and catch only the tip of its stroke.
    switch (tile) {
    case 2:
        return {{kMiddle, 1, -1}};
    case 3:
        return {{kMiddle, -1, -1}};
    case 4:
        return {{kBack, 1, 0}};
    case 5:
        return {{kBack, -1, 0}};
    case 6:
        return {{kBack, 1, 0}, {kMiddle, 1, 0}};
    case 7:
        return {{kBack, -1, 0}, {kMiddle, -1, 0}};
    case 8:
        return {{kBack, 1, 1}};
    case 9:
        return {{kBack, -1, 1}};
    case 10:
        return {{kBack, 0, 0}, {kMiddle, 1, 1}};
    case 11:
        return {{kBack, 0, 0}, {kMiddle, -1, 1}};
    case 12:
        return {{kBack, 1, 2}};
    case 13:
        return {{kBack, -1, 2}};
    case 14:
        return {{kBack, -1, 1}, {kMiddle, 1, 0}};
    case 15:
        return {{kBack, 1, 1}, {kMiddle, -1, 0}};
    case 16:
        return {{kMiddle, 0, 0}};
    case 17:
        return {{kBack, 1, 2}};
    case 18:
        return {{kMiddle, 0, 0}, {kFront, -1, -1}};
    case 19:
        return {{kMiddle, 1, 1}, {kFront, 1, 0}};
    case 20:
        return {{kMiddle, 0, 0}, {kFront, -1, 0}};
    case 21:
        return {{kMiddle, 0, 0}, {kFront, 1, -1}};
    case 22:
        return {{kBack, 0, 0}, {kFront, 1, 1}};
    case 23:
        return {{kBack, 0, 0}, {kFront, -1, 1}};
    case 24:
        return {{kMiddle, 0, 0}, {kFront, 1, 0}};
    case 25:
        return {{kFront, 0, 0}};
    default:
        return {};
    }
}

const Rgba kSky = Opaque(156, 206, 246);

struct RangeColours {
    Rgba line, light, fill;
};
const RangeColours kRangeColours[kRanges] = {
    {Opaque(132, 160, 204), Opaque(206, 218, 244), Opaque(188, 204, 236)}, // far: lavender
    {Opaque(110, 180, 140), Opaque(200, 238, 200), Opaque(178, 224, 184)}, // middle: mint
    {Opaque(84, 150, 88), Opaque(156, 208, 138), Opaque(134, 192, 120)},   // near: meadow green
};

// Half the width of the stroke drawn along each outline, in pixels of depth.
constexpr double kStroke = 1.1;

Rgba HillColour(Range range, double depth) {
    const RangeColours& rc = kRangeColours[range];
    if (depth < kStroke) {
        return rc.line;
    }
    return Mix(rc.light, rc.fill, SmoothStep(kStroke, 14.0, depth));
}

Rgba BackgroundTile(int tile, double x, double y) {
    Rgba c = kSky;
    const std::vector<Claim> claims = BackgroundClaims(tile);
    for (int r = 0; r < kRanges; ++r) {
        double depth = -1e9;
        for (const Claim& cl : claims) {
            if (cl.range == r) {
                depth = std::max(depth, ClaimDepth(cl, x, y));
            }
        }
        if (depth >= -kStroke) {
            c = HillColour(static_cast<Range>(r), depth);
        }
    }
    if (tile == 25) {
        // The deepest fill fills the lower screen: a few faint tufts keep the
        // meadow from looking like a flat wall of paint.
        const P2 tufts[] = {{8.5, 6.5}, {27.5, 10.5}, {16.5, 19.5}};
        for (const P2& t : tufts) {
            const double dx = x - t.x, dy = y - t.y;
            if (dy < 0 && dy > -2.6 && std::abs(std::abs(dx) - (-dy) * 0.55) < 0.45) {
                c = Mix(c, Opaque(96, 160, 92), 0.35);
            }
        }
    }
    return c;
}

// A puffy cloud on the sky; the second frame breathes a little.
Rgba CloudTile(int frame, double x, double y) {
    struct Puff {
        double x, y, r;
    };
    const double f = frame == 0 ? 0.0 : 1.0;
    const Puff puffs[] = {{9.0 - 0.5 * f, 15.0, 5.5 + 0.8 * f},
                          {16.5, 11.0 + 0.8 * f, 7.0 - 0.6 * f},
                          {25.0 + 0.5 * f, 10.5 - 0.6 * f, 6.5 + 0.4 * f},
                          {31.5 + 0.5 * f, 14.5, 5.2 - 0.4 * f},
                          {20.0, 16.0, 5.5}};
    double d = 1e9;
    for (const Puff& p : puffs) {
        d = std::min(d, Len(x - p.x, y - p.y) - p.r);
    }
    d = std::max(d, y - 19.5); // flat underside
    if (d > 0) {
        return kSky;
    }
    const Rgba shade = Opaque(214, 228, 244);
    const Rgba white = Opaque(255, 255, 255);
    Rgba c = Mix(white, shade, SmoothStep(12.0, 19.5, y));
    if (d > -1.0) {
        c = Mix(c, Opaque(198, 216, 238), 0.8);
    }
    return c;
}

} // namespace

Picture DrawBackgroundSheet() {
    Picture sheet(240, 120);
    for (int frame = 0; frame < 28; ++frame) {
        const int tile = frame + 1;
        const int ox = (frame % 6) * 40, oy = (frame / 6) * 24;
        Render(sheet, ox, oy, 40, 24, kSamples, [&](double x, double y) {
            if (tile >= 26) {
                return CloudTile(tile - 26, x, y);
            }
            return BackgroundTile(tile, x, y);
        });
    }
    HardenAlpha(sheet);
    return sheet;
}

// ---------------------------------------------------------------------------
// Foreground sheet: brick block, grassy earth with its walls, two bush frames.

namespace {

const Rgba kEarth = Opaque(150, 98, 58);
const Rgba kEarthDark = Opaque(112, 70, 40);
const Rgba kEarthLight = Opaque(184, 132, 84);
const Rgba kGrass = Opaque(86, 176, 58);
const Rgba kGrassLight = Opaque(148, 218, 92);
const Rgba kGrassDark = Opaque(50, 120, 40);

// Small pebbles and specks inside a tile, kept clear of the edges so that
// any two earth tiles sit side by side without a seam.
Rgba EarthTexture(int seed, double x, double y, int stones) {
    Rgba c = kEarth;
    for (int i = 0; i < 7; ++i) {
        const double sx = 3.0 + Hash(seed, i, 1) * 18.0, sy = 3.0 + Hash(seed, i, 2) * 18.0;
        const double rr = 0.7 + Hash(seed, i, 3) * 0.7;
        if (Len(x - sx, y - sy) < rr) {
            c = (i % 3 == 0) ? kEarthLight : kEarthDark;
        }
    }
    for (int i = 0; i < stones; ++i) {
        const double sx = 6.0 + Hash(seed, i, 4) * 12.0, sy = 6.0 + Hash(seed, i, 5) * 12.0;
        const double rx = 2.4 + Hash(seed, i, 6) * 1.6, ry = 1.7 + Hash(seed, i, 7) * 0.9;
        const double d = EllipseDistance(x - sx, y - sy, rx, ry);
        if (d < 0) {
            c = d > -0.7 ? Opaque(96, 88, 84)
                         : Mix(Opaque(168, 160, 150), Opaque(128, 120, 114),
                               Clamp01((y - sy) / ry * 0.5 + 0.5));
        }
    }
    return c;
}

// Grass along the top of a tile: tufts above, a wavy fringe hanging into the
// earth. Both follow functions that repeat every 12 px, so neighbours join.
double GrassTop(double x, int variant) {
    const double u = x / 12.0;
    const double tuft = std::abs(std::sin(kPi * (u * 2.0 + 0.25 * variant)));
    return 2.6 - 2.0 * std::pow(tuft, 6.0);
}
double GrassBottom(double x) {
    return 7.5 + 1.4 * std::sin(2 * kPi * x / 12.0);
}

// Colour of grass (or transparency above it) at a point of a surface tile; no
// value (alpha < 0) where the point lies in the earth below the grass.
Rgba GrassAt(double x, double y, int variant) {
    const double top = GrassTop(x, variant);
    if (y < top) {
        return {};
    }
    const double bottom = GrassBottom(x);
    if (y > bottom) {
        return {0, 0, 0, -1};
    }
    if (y < top + 1.3) {
        return kGrassLight;
    }
    if (y > bottom - 1.2) {
        return kGrassDark;
    }
    return kGrass;
}

// A wall: the earth's side facing the pit, a dark rim with a lighter ridge.
// `edgeDist` is the distance to the wall's face.
Rgba WallShade(Rgba c, double edgeDist) {
    if (edgeDist < 1.5) {
        return Opaque(86, 52, 30);
    }
    if (edgeDist < 3.0) {
        return Opaque(124, 80, 46);
    }
    if (edgeDist < 4.2) {
        return Mix(c, kEarthDark, 0.5);
    }
    return c;
}

Rgba BrickBlock(double x, double y) {
    // One solid block of bricks with a bevelled frame.
    const double m = std::min(std::min(x, y), std::min(24 - x, 24 - y));
    if (m < 1.2) {
        return Opaque(92, 40, 24);
    }
    if (m < 2.6) {
        return (x < 24 - y) ? Opaque(238, 150, 100) : Opaque(148, 66, 38);
    }
    const double row = std::floor((y - 2.6) / 6.2);
    const double ly = (y - 2.6) - row * 6.2;
    const double off = std::fmod(row, 2.0) == 0 ? 0.0 : 4.6;
    const double lx = std::fmod(x - 2.6 + off + 18.4, 9.2);
    if (ly > 5.1 || lx > 8.1) {
        return Opaque(226, 196, 160); // mortar
    }
    Rgba brick = Opaque(200, 92, 54);
    if (ly < 1.1) {
        brick = Opaque(226, 124, 80);
    }
    return brick;
}

// A two-cell bush standing on the bottom of its cells, in one of two frames.
Rgba BushAt(int frame, double x, double y) {
    struct Leaf {
        double x, y, r;
    };
    const double s = frame == 0 ? 0.0 : 1.0;
    const Leaf leaves[] = {{9.0, 18.0, 6.5},
                           {17.0 + 0.5 * s, 12.0, 7.5},
                           {26.0 + s, 9.0 + 0.5 * s, 8.0},
                           {35.0 + 0.7 * s, 12.5, 7.0},
                           {41.5, 18.5, 5.5},
                           {24.0, 18.0, 7.0}};
    double d = 1e9;
    int nearest = 0;
    for (int i = 0; i < 6; ++i) {
        const double di = Len(x - leaves[i].x, y - leaves[i].y) - leaves[i].r;
        if (di < d) {
            d = di;
            nearest = i;
        }
    }
    d = std::max(d, y - 24.0);
    if (d > 0) {
        return {};
    }
    if (d > -1.1) {
        return Opaque(30, 86, 34);
    }
    const Leaf& l = leaves[nearest];
    const double lx = (x - l.x) / l.r, ly = (y - l.y) / l.r;
    Rgba c = Mix(Opaque(72, 150, 58), Opaque(44, 112, 44), Clamp01(0.5 + ly * 0.6));
    if (Len(lx + 0.35, ly + 0.4) < 0.32) {
        c = Opaque(128, 196, 90);
    }
    // Berries that swap places between the frames, so the bush twinkles.
    const P2 berries[2][3] = {{{14, 15}, {30, 13}, {38, 18}}, {{20, 17}, {28, 16}, {36, 14}}};
    for (const P2& b : berries[frame]) {
        if (Len(x - b.x, y - b.y) < 1.5) {
            c = Opaque(226, 58, 72);
        }
    }
    return c;
}

Rgba ForegroundTile(int tile, double x, double y) {
    switch (tile) {
    case 1:
        return BrickBlock(x, y);
    case 2:
    case 3: {
        const Rgba g = GrassAt(x, y, tile - 2);
        return g.a >= 0 ? g : EarthTexture(tile, x, y, 0);
    }
    case 4:
    case 5: {
        // Outer corners: the grass rounds over the edge into the wall below.
        const double ex = tile == 4 ? 24.0 - x : x; // distance to the wall face
        if (ex < 4.0 && y < 5.0 && Len(4.0 - ex, 5.0 - y) > 4.2) {
            return {};
        }
        const Rgba g = GrassAt(x, y, 0);
        if (g.a == 0) {
            return {};
        }
        if (g.a > 0) {
            return ex < 1.6 ? kGrassDark : g;
        }
        return WallShade(EarthTexture(tile, x, y, 0), ex);
    }
    case 11:
        return WallShade(EarthTexture(11, x, y, 0), 24.0 - x);
    case 12:
    case 15:
        return WallShade(EarthTexture(tile, x, y, tile == 15 ? 1 : 0), x);
    case 13:
    case 14: {
        // Inner corners: the wall coming down from above ends where the grass
        // surface beside it begins, with a small lip of grass against it.
        const double ex = tile == 13 ? x : 24.0 - x; // distance to the wall face
        const Rgba earth = EarthTexture(tile, x, y, 0);
        const Rgba g = GrassAt(x, y, 0);
        if (g.a > 0 && ex < 3.0) {
            return g;
        }
        return Mix(WallShade(earth, ex), earth, SmoothStep(6.0, 10.0, y));
    }
    case 6:
    case 7:
        return EarthTexture(tile, x, y, 0);
    case 8:
    case 9:
    case 10:
        return EarthTexture(tile, x, y, tile == 9 ? 2 : 1);
    case 16:
    case 17:
        return BushAt(tile - 16, x, y);
    case 18:
    case 19:
        return BushAt(tile - 18, x + 24.0, y);
    default:
        return {};
    }
}

} // namespace

Picture DrawForegroundSheet() {
    Picture sheet(240, 48);
    for (int frame = 0; frame < 19; ++frame) {
        const int tile = frame + 1;
        const int ox = (frame % 10) * 24, oy = (frame / 10) * 24;
        Render(sheet, ox, oy, 24, 24, kSamples,
               [&](double x, double y) { return ForegroundTile(tile, x, y); });
    }
    HardenAlpha(sheet);
    return sheet;
}
