#include "bench/web/BarePicture.hpp"

#include "media/graphics/DrawBatch.hpp"
#include "media/window/Window.hpp"

#include <GLES2/gl2.h>
#include <SDL.h>
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

struct Batch {
    SDL_Texture* texture; // non-owning
    int blend;            // SDL_BlendMode
    int firstQuad, quads;
};
std::vector<Batch> batches;
std::vector<SDL_Vertex> vertices;

void Watch(SDL_Texture* texture, int blend, const SDL_Vertex* v, int quads) {
    batches.push_back({texture, blend, static_cast<int>(vertices.size() / 4), quads});
    vertices.insert(vertices.end(), v, v + quads * 4);
}

// The texture's pixels as WebGL holds them (rows from texture row 0), through a framebuffer of
// our own; the renderer's framebuffer is bound again afterwards.
std::vector<std::uint8_t> ReadBack(SDL_Texture* texture, int w, int h) {
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    SDL_GL_BindTexture(texture, nullptr, nullptr);
    GLint id = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &id);
    SDL_GL_UnbindTexture(texture);
    GLuint fb = 0;
    glGenFramebuffers(1, &fb);
    glBindFramebuffer(GL_FRAMEBUFFER, fb);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                           static_cast<GLuint>(id), 0);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    glDeleteFramebuffers(1, &fb);
    return pixels;
}

} // namespace

bool BarePicture::Capture(void (*frame)()) {
    batches.clear();
    vertices.clear();
    SetDrawBatchWatcher(&Watch);
    frame();
    SetDrawBatchWatcher(nullptr);
    if (batches.empty())
        return false;
    SDL_RenderFlush(MediaRenderer()); // what the renderer queued reaches WebGL
    std::vector<SDL_Texture*> textures;
    for (const Batch& b : batches) {
        if (b.texture && std::find(textures.begin(), textures.end(), b.texture) == textures.end())
            textures.push_back(b.texture);
    }
    // clang-format off
    EM_ASM({ Module.barePicture = ({textures: [], batches: [], vertices: null}); });
    for (SDL_Texture* t : textures) {
        Uint32 format = 0;
        int w = 0, h = 0;
        SDL_QueryTexture(t, &format, nullptr, &w, &h);
        SDL_ScaleMode scale = SDL_ScaleModeNearest;
        SDL_GetTextureScaleMode(t, &scale);
        const std::vector<std::uint8_t> pixels = ReadBack(t, w, h);
        EM_ASM({
            Module.barePicture.textures.push({w: $0, h: $1, linear: $2 != 0, swapRedBlue: $3 != 0,
                                              pixels: HEAPU8.slice($4, $4 + $0 * $1 * 4)});
        }, w, h, scale != SDL_ScaleModeNearest ? 1 : 0,
           format == SDL_PIXELFORMAT_ARGB8888 ? 1 : 0, pixels.data());
    }
    for (const Batch& b : batches) {
        const int index = b.texture
            ? static_cast<int>(std::find(textures.begin(), textures.end(), b.texture) -
                               textures.begin())
            : -1;
        EM_ASM({ Module.barePicture.batches.push({texture: $0, blend: $1, firstQuad: $2,
                                                  quads: $3}); },
               index, b.blend, b.firstQuad, b.quads);
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(vertices.data());
    EM_ASM({ Module.barePicture.vertices = HEAPU8.slice($0, $0 + $1); }, bytes,
           static_cast<int>(vertices.size() * sizeof(SDL_Vertex)));
    // clang-format on
    return true;
}
