// Renders level 0 headlessly at a few scroll positions and saves each frame as a PNG, so the
// tile world can be looked at without a display:
//   render_level [output-directory]   (default: the current directory)
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "data/LevelData.hpp"
#include "data/Resources.hpp"
#include "media/Graphics.hpp"
#include "media/graphics/Png.hpp"
#include "media/graphics/TImage.hpp"
#include "physics/CPVect.hpp"
#include "world/TLevel.hpp"

namespace {

// Saves the back-buffer rectangle (x, y, w, h) enlarged `zoom` times (nearest pixel), so that
// seams and one-pixel misalignments between tiles are easy to see.
bool SaveZoomedPng(const std::string& path, int x, int y, int w, int h, int zoom) {
    const int zw = w * zoom;
    const int zh = h * zoom;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(zw) * static_cast<std::size_t>(zh) * 4);
    for (int py = 0; py < zh; ++py) {
        for (int px = 0; px < zw; ++px) {
            const std::uint32_t c = ReadPixel(x + px / zoom, y + py / zoom);
            std::uint8_t* p = &rgba[static_cast<std::size_t>(py * zw + px) * 4];
            p[0] = static_cast<std::uint8_t>(c >> 24);
            p[1] = static_cast<std::uint8_t>(c >> 16);
            p[2] = static_cast<std::uint8_t>(c >> 8);
            p[3] = 255;
        }
    }
    const std::vector<std::uint8_t> png = EncodePng(rgba.data(), zw, zh);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return !png.empty() && out.good();
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";

    RegisterResources();
    InitMedia();
    InitPhysics();
    SetAutoCenterHandle(true);
    CreateLevelData();
    SetGraphicsTarget(GraphicsTarget::Offscreen);
    if (!OpenGraphics(1024, 768, 0, 60, 0)) {
        std::fprintf(stderr, "render_level: %s\n", GraphicsError());
        return 1;
    }

    TLevel level;
    level.Init(3);
    level.Load(0);

    // Camera targets as the main loop would pass them; the level limits them itself.
    struct Shot {
        const char* name;
        float x, y;
    };
    const Shot shots[] = {{"scroll0", 0.0f, 0.0f},
                          {"scroll100", 100.0f, 0.0f},
                          {"scroll500", 500.0f, 0.0f},
                          {"scrollmax", 5000.0f, 0.0f}};
    int failures = 0;
    for (const Shot& shot : shots) {
        level.update(3, Vec2(shot.x, shot.y));
        Cls();
        level.Draw();
        const std::string path = dir + "/level_" + shot.name + ".png";
        if (!SaveBackBufferPng(path)) {
            std::fprintf(stderr, "render_level: could not write %s\n", path.c_str());
            ++failures;
            continue;
        }
        // A close-up of ground, hill edge and blocks in the lower left quarter.
        const std::string zoomPath = dir + "/level_" + shot.name + "_zoom.png";
        if (!SaveZoomedPng(zoomPath, 128, 480, 256, 192, 4)) {
            std::fprintf(stderr, "render_level: could not write %s\n", zoomPath.c_str());
            ++failures;
        }
        std::printf("%s: foreground scroll (%d, %d), background scroll (%d, %d)\n", path.c_str(),
                    level._FGLayer->ScrollX, level._FGLayer->ScrollY, level._BGLayer->ScrollX,
                    level._BGLayer->ScrollY);
    }
    CloseGraphics();
    return failures == 0 ? 0 : 1;
}
