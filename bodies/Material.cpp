#include "bodies/Material.hpp"

#include <array>
#include <cstring>

namespace {

// Densities sit around a spawned cube's (0.5 over 900 square pixels), so that a drawn box of
// wood weighs about what a cube of its size does and the spawned kinds still push it around.
// The library multiplies the frictions and the elasticities of two touching shapes, so ice is
// slippery and rubber bouncy against anything.
constexpr std::array<MaterialRow, kMaterialCount> kRows{{
    {"wood", 0.0006f, 0.6f, 0.15f, {164, 116, 64}, {96, 60, 28}, 1.0f},
    {"metal", 0.0020f, 0.4f, 0.05f, {128, 142, 164}, {62, 72, 92}, 1.0f},
    {"rubber", 0.0008f, 1.0f, 0.85f, {150, 36, 40}, {70, 12, 16}, 1.0f},
    {"ice", 0.0005f, 0.02f, 0.05f, {190, 236, 248}, {88, 150, 176}, 0.7f},
    {"stone", 0.0014f, 0.8f, 0.0f, {132, 132, 126}, {64, 64, 60}, 1.0f},
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
