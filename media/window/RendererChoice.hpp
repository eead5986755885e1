#pragma once
// Which SDL renderer draws into a window. On machines without a GPU the "accelerated" renderer
// is OpenGL rasterised on the CPU by Mesa, which costs more CPU than SDL's own software
// renderer for this program's 2D picture; the choice below avoids it.

#include <string>
#include <string_view>

struct SDL_Renderer;
struct SDL_Window;

// What the user asked for in DAZOZI_RENDERER: unset or empty = Auto.
enum class RendererPreference { Auto, Software, Accelerated, Invalid };

// Parses a DAZOZI_RENDERER value ("software", "accelerated"; nullptr or "" = Auto).
RendererPreference ParseRendererPreference(const char* value);
// The preference from the environment variable DAZOZI_RENDERER.
RendererPreference RendererPreferenceFromEnvironment();
// What is wrong with DAZOZI_RENDERER when its preference is Invalid, in one line without the
// program's name ("DAZOZI_RENDERER is 'x'; use 'software' or 'accelerated'").
std::string InvalidRendererMessage();

// True when an OpenGL renderer string names a CPU rasteriser (Mesa's llvmpipe, softpipe,
// swrast / "Software Rasterizer"), or a Direct3D adapter description names Windows' own one for
// machines without a GPU driver ("Microsoft Basic Render Driver" or "... Display Adapter"); a
// real GPU's string gives false.
bool IsSoftwareRasteriser(std::string_view glRenderer);

// The renderer that SDL made and why (for tests, tools and the benchmark).
struct RendererChoice {
    SDL_Renderer* renderer =
        nullptr;      // owned by the caller (SDL_DestroyRenderer); nullptr on failure
    std::string name; // SDL's name of the renderer: "software", "opengl", ...
    // GL_RENDERER of the accelerated one tried (on Windows, Direct3D's adapter description
    // where the renderer is Direct3D), "" if none.
    std::string glRenderer;
};

// Makes the renderer for `window` (non-owning): Software -> SDL's software renderer;
// Accelerated -> the accelerated one (software when there is none); Auto -> the accelerated one
// unless it turns out to be a CPU rasteriser. On failure renderer is nullptr (see SDL_GetError).
RendererChoice CreateWindowRenderer(SDL_Window* window, RendererPreference preference);
