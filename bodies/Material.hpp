#pragma once

#include <cstdint>

// What a drawn body is made of. The numbers are stored in scene files: never renumber; a new
// material is appended with the next number.
enum class Material { Wood = 0, Metal = 1, Rubber = 2, Ice = 3, Stone = 4 };

inline constexpr int kMaterialCount = 5;

// An RGB colour, 0..255 per channel.
struct MaterialColour {
    std::uint8_t r, g, b;
};

// One material's physics and look.
struct MaterialRow {
    const char* name;       // lower case, as scene files and the interface write it ("wood")
    float density;          // mass per square pixel
    float friction;         // the physics library's friction coefficient
    float elasticity;       // bounce, 0 (none) .. 1
    MaterialColour fill;    // inside
    MaterialColour outline; // edge, darker than fill
    float alpha;            // fill opacity 0..1 (ice lets the level show through)
    MaterialColour stripe;  // grain or sheen lines across the body
    float stripeGap;        // pixels between those lines; 0 for none
    float stripeTurn;       // their direction in the body, degrees from its x axis
};

// The row of a material; a number outside the enum gives Wood's. Static storage.
const MaterialRow& MaterialInfo(Material material);
// The next material in number order, wrapping after the last (what M cycles through).
Material NextMaterial(Material material);
// The material named `name` (as MaterialRow::name); false when there is none.
bool MaterialFromName(const char* name, Material& material);
