#include "media/base/Embedded.hpp"

#include <functional>
#include <map>
#include <string>

namespace {
constexpr std::string_view kPrefix = "incbin::";

// Looked up only while loading, so an ordered map with heterogeneous lookup is plenty.
std::map<std::string, EmbeddedBytes, std::less<>>& Registry() {
    static std::map<std::string, EmbeddedBytes, std::less<>> registry;
    return registry;
}
} // namespace

int RegisterEmbedded(std::string_view name, const unsigned char* data, std::size_t size) {
    auto [it, added] = Registry().try_emplace(std::string(name), EmbeddedBytes{data, size});
    return added ? 1 : 0;
}

std::optional<EmbeddedBytes> OpenEmbedded(std::string_view url) {
    if (url.substr(0, kPrefix.size()) != kPrefix)
        return std::nullopt;
    auto& registry = Registry();
    auto it = registry.find(url.substr(kPrefix.size()));
    if (it == registry.end())
        return std::nullopt;
    return it->second;
}

void ClearEmbeddedRegistry() {
    Registry().clear();
}
