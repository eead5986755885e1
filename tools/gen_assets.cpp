// Draws the program's pictures and synthesises its sound into a directory
// tree like data/ (img/*.png, snd/*.wav, and the desktop icon in icons/). The output depends only
// on this code, so a test can regenerate it and compare it with the committed files.
//
//   gen_assets <out-dir>
//   gen_assets --render <img-dir> <out.png> <scroll-x> [draw-count]
//       composes the level from the tile sheets as the program shows it, for
//       looking at the art in place, and prints the seams between tiles.

#include "data/LevelData.hpp"
#include "tools/gen_assets_art.hpp"
#include "tools/gen_assets_icon.hpp"
#include "tools/gen_assets_image.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

bool WriteAll(const std::filesystem::path& out) {
    std::filesystem::create_directories(out / "img");
    std::filesystem::create_directories(out / "snd");
    const std::filesystem::path img = out / "img";
    bool ok = true;
    ok &= WritePngRgba((img / "anchor.png").string(), DrawAnchor());
    ok &= WritePngRgba((img / "BACK1TileSet.png").string(), DrawBackgroundSheet());
    ok &= WritePngRgba((img / "ball.png").string(), DrawBall(false));
    ok &= WritePngRgba((img / "blueBall.png").string(), DrawBall(true));
    ok &= WritePngRgba((img / "brightStar.png").string(), DrawBrightStar());
    ok &= WritePngPalette((img / "cube.png").string(), DrawCube());
    ok &= WritePngRgba((img / "L1TileSet.png").string(), DrawForegroundSheet());
    ok &= WritePngRgba((img / "link.png").string(), DrawLink());
    ok &= WritePngRgba((img / "reflectBall.png").string(), DrawReflectBall());
    ok &= WritePngRgba((img / "star.png").string(), DrawStar());
    ok &= WriteWavMono16((out / "snd" / "metal_drop_1.wav").string(), SynthesiseClink(), 44100);
    // The desktop icon in the sizes the icon theme installs.
    std::filesystem::create_directories(out / "icons");
    for (int size : {48, 128, 256, 512}) {
        const std::string name = "dazozi-redov-" + std::to_string(size) + ".png";
        ok &= WritePngRgba((out / "icons" / name).string(), DrawIcon(size));
    }
    return ok;
}

int SequenceTile(const IntGrid& seqs, int value, int time) {
    const std::vector<int>& s = seqs[static_cast<std::size_t>(-value - 1)]; // value < 0
    int total = 0;
    for (std::size_t i = 0; i + 2 < s.size(); i += 3) {
        total += s[i + 1];
    }
    int t = time % total;
    std::size_t i = 0;
    while (t >= s[i + 1]) {
        t -= s[i + 1];
        i += 3;
    }
    return s[i];
}

const std::uint8_t* TilePixel(const Picture& sheet, int tileW, int tileH, int tile, int x, int y) {
    const int frame = tile - 1, cols = sheet.width / tileW;
    return sheet.At((frame % cols) * tileW + x, (frame / cols) * tileH + y);
}

// Mean colour difference across every tile boundary of a map, listed per
// pair of tile values when it stands out.
void ReportSeams(const char* name, const Picture& sheet, int tw, int th, const IntGrid& map,
                 bool wrap, const IntGrid& seqs) {
    auto resolve = [&](int v) { return v < 0 ? SequenceTile(seqs, v, 0) : v; };
    auto diff = [](const std::uint8_t* a, const std::uint8_t* b) {
        if (a[3] == 0 || b[3] == 0) {
            return 0.0;
        }
        return (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2])) / 3.0;
    };
    const std::size_t rows = map.size(), cols = map[0].size();
    for (std::size_t r = 0; r < rows; ++r) {
        for (std::size_t c = 0; c < cols; ++c) {
            const int a = resolve(map[r][c]);
            if (a <= 0) {
                continue;
            }
            if (c + 1 < cols || wrap) {
                const int b = resolve(map[r][(c + 1) % cols]);
                if (b > 0) {
                    double sum = 0;
                    for (int y = 0; y < th; ++y) {
                        sum += diff(TilePixel(sheet, tw, th, a, tw - 1, y),
                                    TilePixel(sheet, tw, th, b, 0, y));
                    }
                    if (sum / th > 4) {
                        std::printf("%s seam %2d|%-2d at row %zu col %zu: %.1f\n", name, a, b, r, c,
                                    sum / th);
                    }
                }
            }
            if (r + 1 < rows) {
                const int b = resolve(map[r + 1][c]);
                if (b > 0) {
                    double sum = 0;
                    for (int x = 0; x < tw; ++x) {
                        sum += diff(TilePixel(sheet, tw, th, a, x, th - 1),
                                    TilePixel(sheet, tw, th, b, x, 0));
                    }
                    if (sum / tw > 4) {
                        std::printf("%s seam %2d/%-2d at row %zu col %zu: %.1f\n", name, a, b, r, c,
                                    sum / tw);
                    }
                }
            }
        }
    }
}

int RenderLevel(const std::filesystem::path& img, const std::string& out, int scrollX, int time) {
    Picture back, front;
    if (!ReadPng((img / "BACK1TileSet.png").string(), back) ||
        !ReadPng((img / "L1TileSet.png").string(), front)) {
        std::fprintf(stderr, "cannot read the tile sheets in %s\n", img.string().c_str());
        return 1;
    }
    CreateLevelData();
    ReportSeams("background", back, 40, 24, BGMapData, true, BGSequences);
    ReportSeams("foreground", front, 24, 24, FGMapData, false, FGSequences);
    Picture screen(1024, 768);
    const int bgX = scrollX / 3, bgY = 20; // a third of the scroll; row 0 starts 20 px up
    for (int sy = 0; sy < 768; ++sy) {
        for (int sx = 0; sx < 1024; ++sx) {
            std::uint8_t* p = screen.At(sx, sy);
            const int wx = sx + bgX, wy = sy + bgY;
            const int col = ((wx / 40) % 18 + 18) % 18;
            const int row = std::min(wy / 24, 18);
            int v = BGMapData[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
            if (v < 0) {
                v = SequenceTile(BGSequences, v, time);
            }
            const std::uint8_t* b = TilePixel(back, 40, 24, v, wx % 40, wy % 24);
            if (b[3] >= 128) {
                std::copy(b, b + 4, p);
            }
            const int fx = sx + scrollX;
            if (fx < 2016) {
                int f =
                    FGMapData[static_cast<std::size_t>(sy / 24)][static_cast<std::size_t>(fx / 24)];
                if (f < 0) {
                    f = SequenceTile(FGSequences, f, time);
                }
                if (f > 0) {
                    const std::uint8_t* q = TilePixel(front, 24, 24, f, fx % 24, sy % 24);
                    if (q[3] >= 128) {
                        std::copy(q, q + 4, p);
                    }
                }
            }
            p[3] = 255;
        }
    }
    return WritePngRgba(out, screen) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 5 && std::string(argv[1]) == "--render") {
        return RenderLevel(argv[2], argv[3], std::atoi(argv[4]),
                           argc >= 6 ? std::atoi(argv[5]) : 0);
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <out-dir> | --render <img-dir> <out.png> <scroll-x> [t]\n",
                     argv[0]);
        return 2;
    }
    if (!WriteAll(argv[1])) {
        std::fprintf(stderr, "could not write the assets into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
