#include "media/window/RendererChoice.hpp"

#include "media/window/Direct3DAdapter.hpp"

#include <SDL.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

constexpr unsigned kGlRenderer = 0x1F01; // GL_RENDERER

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string NameOf(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (renderer == nullptr || SDL_GetRendererInfo(renderer, &info) != 0 || info.name == nullptr)
        return "";
    return info.name;
}

// The renderer string of the GL context SDL just made current for an OpenGL or OpenGL ES
// renderer; "" for the other back ends.
std::string GlRendererString(const std::string& sdlName) {
    if (sdlName.rfind("opengl", 0) != 0 || SDL_GL_GetCurrentContext() == nullptr)
        return "";
    using GetString = const unsigned char*(SDLCALL*)(unsigned);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (getString == nullptr)
        return "";
    const unsigned char* text = getString(kGlRenderer);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

SDL_Renderer* SoftwareRenderer(SDL_Window* window) {
    // SDL would otherwise show the software renderer's pixels through a GL texture, on the very
    // rasteriser we are avoiding; X11 and Wayland can take the pixels directly. An environment
    // setting of the same hint still wins.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

} // namespace

RendererPreference ParseRendererPreference(const char* value) {
    if (value == nullptr || value[0] == '\0')
        return RendererPreference::Auto;
    const std::string v = Lower(value);
    if (v == "software")
        return RendererPreference::Software;
    if (v == "accelerated")
        return RendererPreference::Accelerated;
    return RendererPreference::Invalid;
}

RendererPreference RendererPreferenceFromEnvironment() {
    return ParseRendererPreference(std::getenv("DAZOZI_RENDERER"));
}

std::string InvalidRendererMessage() {
    const char* value = std::getenv("DAZOZI_RENDERER");
    return std::string("DAZOZI_RENDERER is '") + (value ? value : "") +
           "'; use 'software' or 'accelerated'";
}

bool IsSoftwareRasteriser(std::string_view glRenderer) {
    const std::string s = Lower(glRenderer);
    // The last two: Windows' own adapter where no GPU driver is installed (a machine or VM
    // without a GPU), which Direct3D draws through on the CPU (WARP).
    for (const char* word : {"llvmpipe", "softpipe", "swrast", "software rasterizer",
                             "microsoft basic render driver", "microsoft basic display adapter"}) {
        if (s.find(word) != std::string::npos)
            return true;
    }
    return false;
}

RendererChoice CreateWindowRenderer(SDL_Window* window, RendererPreference preference) {
    RendererChoice choice;
    if (preference != RendererPreference::Software) {
        choice.renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
        choice.name = NameOf(choice.renderer);
        choice.glRenderer = GlRendererString(choice.name);
        if (choice.glRenderer.empty())
            choice.glRenderer = Direct3DAdapter::Description(choice.renderer);
        // Mesa on the CPU draws this picture at more than twice the CPU time of SDL's own
        // software renderer, and holds fewer bodies at 60 frames per second.
        const bool cpuRasteriser = IsSoftwareRasteriser(choice.glRenderer);
        if (choice.renderer != nullptr &&
            !(preference == RendererPreference::Auto && cpuRasteriser))
            return choice;
        if (choice.renderer != nullptr)
            SDL_DestroyRenderer(choice.renderer);
        choice.renderer = nullptr;
    }
    choice.renderer = SoftwareRenderer(window);
    choice.name = NameOf(choice.renderer);
    return choice;
}
