#include "tools/gen_assets_icon.hpp"

#include "tools/gen_assets_art.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSamples = 4;

// The level's colours: sky, grass and earth of the tile sheets.
const Rgba kSkyTop = Opaque(116, 178, 236);
const Rgba kSky = Opaque(156, 206, 246);
const Rgba kGrass = Opaque(86, 176, 58);
const Rgba kGrassLight = Opaque(148, 218, 92);
const Rgba kEarth = Opaque(150, 98, 58);
const Rgba kEarthDark = Opaque(112, 70, 40);

// A 32 x 32 sprite shader placed with its centre at (cx, cy) of the unit square, `diameter`
// wide (as a fraction of the icon).
struct Placed {
    Shader shader;
    double cx, cy, diameter;
};

Rgba SampleSprite(const Placed& p, double u, double v) {
    const double k = 32.0 / p.diameter;
    const double sx = (u - p.cx) * k + 16.0, sy = (v - p.cy) * k + 16.0;
    if (sx < 0 || sy < 0 || sx >= 32 || sy >= 32)
        return Rgba{};
    return p.shader(sx, sy);
}

// Signed distance to a rounded square covering the unit square less a margin: negative inside.
double TileDistance(double u, double v) {
    constexpr double kMargin = 0.03, kRadius = 0.16;
    const double half = 0.5 - kMargin - kRadius;
    const double dx = std::max(std::abs(u - 0.5) - half, 0.0);
    const double dy = std::max(std::abs(v - 0.5) - half, 0.0);
    return std::sqrt(dx * dx + dy * dy) - kRadius;
}

} // namespace

Picture DrawIcon(int size) {
    const Placed star{StarShader(), 0.70, 0.30, 0.40};
    const Placed red{BallShader(false), 0.76, 0.70, 0.30};
    const Placed blue{BallShader(true), 0.40, 0.54, 0.56};
    const double px = 1.0 / size;
    Picture pic(size, size);
    Render(pic, 0, 0, size, size, kSamples, [&](double x, double y) {
        const double u = x * px, v = y * px;
        const double tile = TileDistance(u, v);
        if (tile > px)
            return Rgba{};
        // Sky fading down to the horizon, then a grass-topped hill of earth.
        Rgba c = Mix(kSkyTop, kSky, std::clamp(v / 0.7, 0.0, 1.0));
        const double ground = 0.80 - 0.05 * std::sin(u * 5.0);
        if (v > ground) {
            const double depth = v - ground;
            c = depth < 0.045 ? Mix(kGrassLight, kGrass, depth / 0.045)
                              : Mix(kEarth, kEarthDark, std::min((depth - 0.045) / 0.2, 1.0));
        }
        c = Over(SampleSprite(star, u, v), c);
        c = Over(SampleSprite(red, u, v), c);
        c = Over(SampleSprite(blue, u, v), c);
        // A dark rim keeps the tile visible on light and dark panels alike.
        c = Mix(c, kEarthDark, std::clamp(1.0 - (-tile - 0.012) / px, 0.0, 1.0) * 0.8);
        c.a = std::clamp(0.5 - tile / px, 0.0, 1.0);
        return c;
    });
    return pic;
}
