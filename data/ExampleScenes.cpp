#include "data/ExampleScenes.hpp"

#include <array>
#include <cstddef>

// The scene files of data/scenes, compiled in by cmake/Embed.cmake (one generated source each).
#define DAZOZI_EMBEDDED(id)                                                                        \
    extern const unsigned char embedded_##id[];                                                    \
    extern const std::size_t embedded_##id##_size;
DAZOZI_EMBEDDED(bridge_json)
DAZOZI_EMBEDDED(dominoes_json)
DAZOZI_EMBEDDED(aquarium_json)
DAZOZI_EMBEDDED(ball_pit_json)
DAZOZI_EMBEDDED(ramps_json)
DAZOZI_EMBEDDED(swings_json)
DAZOZI_EMBEDDED(car_json)
DAZOZI_EMBEDDED(catapult_json)
DAZOZI_EMBEDDED(cradle_json)
DAZOZI_EMBEDDED(windmill_json)
DAZOZI_EMBEDDED(rope_bridge_json)
DAZOZI_EMBEDDED(seesaw_json)
#undef DAZOZI_EMBEDDED

namespace {

std::string_view text(const unsigned char* bytes, std::size_t size) {
    return {reinterpret_cast<const char*>(bytes), size};
}

} // namespace

std::span<const ExampleScene> ExampleScenes() {
    // Made on first use rather than at static initialisation: the arrays' sizes live in other
    // translation units.
    static const std::array<ExampleScene, 12> scenes = {{
        {"Chain bridge", text(embedded_bridge_json, embedded_bridge_json_size)},
        {"Dominoes", text(embedded_dominoes_json, embedded_dominoes_json_size)},
        {"Squid aquarium", text(embedded_aquarium_json, embedded_aquarium_json_size)},
        {"Ball pit", text(embedded_ball_pit_json, embedded_ball_pit_json_size)},
        {"Ramp course", text(embedded_ramps_json, embedded_ramps_json_size)},
        {"Swings", text(embedded_swings_json, embedded_swings_json_size)},
        // The machines, built with the joint tools.
        {"Car", text(embedded_car_json, embedded_car_json_size)},
        {"Catapult", text(embedded_catapult_json, embedded_catapult_json_size)},
        {"Newton's cradle", text(embedded_cradle_json, embedded_cradle_json_size)},
        {"Windmill", text(embedded_windmill_json, embedded_windmill_json_size)},
        {"Rope bridge", text(embedded_rope_bridge_json, embedded_rope_bridge_json_size)},
        {"Seesaw", text(embedded_seesaw_json, embedded_seesaw_json_size)},
    }};
    return scenes;
}
