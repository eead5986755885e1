#include "bodies/Material.hpp"

#include <array>
#include <cstring>

namespace {

// Densities sit around a spawned cube's (0.5 over 900 square pixels), so that a drawn box of
// wood weighs about what a cube of its size does and the spawned kinds still push it around.
// The library multiplies the frictions and the elasticities of two touching shapes, so ice is
// slippery and rubber bouncy against anything.
constexpr std::array<MaterialRow, kMaterialCount> kRows{{
    {"wood", 0.0006f, 0.6f, 0.15f, {170, 118, 62}, {92, 56, 24}, 1.0f, {140, 92, 44}, 6.0f, 0.0f},
    {"metal",
     0.0020f,
     0.4f,
     0.05f,
     {126, 140, 164},
     {54, 64, 86},
     1.0f,
     {178, 190, 210},
     14.0f,
     -45.0f},
    {"rubber", 0.0008f, 1.0f, 0.85f, {148, 30, 36}, {62, 8, 12}, 1.0f, {0, 0, 0}, 0.0f, 0.0f},
    {"ice",
     0.0005f,
     0.02f,
     0.05f,
     {196, 240, 250},
     {80, 150, 180},
     0.6f,
     {255, 255, 255},
     18.0f,
     -60.0f},
    {"stone", 0.0014f, 0.8f, 0.0f, {128, 128, 122}, {58, 58, 54}, 1.0f, {0, 0, 0}, 0.0f, 0.0f},
}};

} // namespace

const MaterialRow& MaterialInfo(Material material) {
    const auto i = static_cast<std::size_t>(material);
    return i < kRows.size() ? kRows[i] : kRows[0];
}

Material NextMaterial(Material material) {
    return static_cast<Material>((static_cast<int>(material) + 1) % kMaterialCount);
}

bool MaterialFromName(const char* name, Material& material) {
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (name != nullptr && std::strcmp(kRows[i].name, name) == 0) {
            material = static_cast<Material>(i);
            return true;
        }
    }
    return false;
}
