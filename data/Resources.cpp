#include "data/Resources.hpp"

#include "media/base/Embedded.hpp"

#include <cstddef>

// The file contents, compiled in by cmake/Embed.cmake (one generated source per file).
#define DAZOZI_EMBEDDED(id)                                                                        \
    extern const unsigned char embedded_##id[];                                                    \
    extern const std::size_t embedded_##id##_size;
DAZOZI_EMBEDDED(anchor_png)
DAZOZI_EMBEDDED(BACK1TileSet_png)
DAZOZI_EMBEDDED(ball_png)
DAZOZI_EMBEDDED(blueBall_png)
DAZOZI_EMBEDDED(brightStar_png)
DAZOZI_EMBEDDED(cube_png)
DAZOZI_EMBEDDED(L1TileSet_png)
DAZOZI_EMBEDDED(link_png)
DAZOZI_EMBEDDED(reflectBall_png)
DAZOZI_EMBEDDED(star_png)
DAZOZI_EMBEDDED(metal_drop_1_wav)
#undef DAZOZI_EMBEDDED

std::shared_ptr<TImage> blueBallImage, ballImage, reflectBallImage, cubeImage, starImage,
    brightStarImage, linkImage, anchorImage;
std::shared_ptr<TSound> metalDropSound;

void RegisterResources() {
    // Names keep the backslashes of the paths the program has always used.
    RegisterEmbedded("data\\img\\anchor.png", embedded_anchor_png, embedded_anchor_png_size);
    RegisterEmbedded("data\\img\\BACK1TileSet.png", embedded_BACK1TileSet_png,
                     embedded_BACK1TileSet_png_size);
    RegisterEmbedded("data\\img\\ball.png", embedded_ball_png, embedded_ball_png_size);
    RegisterEmbedded("data\\img\\blueBall.png", embedded_blueBall_png, embedded_blueBall_png_size);
    RegisterEmbedded("data\\img\\brightStar.png", embedded_brightStar_png,
                     embedded_brightStar_png_size);
    RegisterEmbedded("data\\img\\cube.png", embedded_cube_png, embedded_cube_png_size);
    RegisterEmbedded("data\\img\\L1TileSet.png", embedded_L1TileSet_png,
                     embedded_L1TileSet_png_size);
    RegisterEmbedded("data\\img\\link.png", embedded_link_png, embedded_link_png_size);
    RegisterEmbedded("data\\img\\reflectBall.png", embedded_reflectBall_png,
                     embedded_reflectBall_png_size);
    RegisterEmbedded("data\\img\\star.png", embedded_star_png, embedded_star_png_size);
    RegisterEmbedded("data\\snd\\metal_drop_1.wav", embedded_metal_drop_1_wav,
                     embedded_metal_drop_1_wav_size);
}

void LoadSharedAssets() {
    blueBallImage = LoadImage("incbin::data\\img\\blueBall.png", -1);
    ballImage = LoadImage("incbin::data\\img\\ball.png", -1);
    reflectBallImage = LoadImage("incbin::data\\img\\reflectBall.png", -1);
    cubeImage = LoadImage("incbin::data\\img\\cube.png", -1);
    starImage = LoadImage("incbin::data\\img\\star.png", -1);
    brightStarImage = LoadImage("incbin::data\\img\\brightStar.png", -1);
    linkImage = LoadImage("incbin::data\\img\\link.png", -1);
    anchorImage = LoadImage("incbin::data\\img\\anchor.png", -1);
    metalDropSound = LoadSound("incbin::data\\snd\\metal_drop_1.wav", 0);
}
