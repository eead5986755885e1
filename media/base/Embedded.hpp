#pragma once
#include <cstddef>
#include <optional>
#include <string_view>

// Registry of the files compiled into the program, opened as "incbin::<name>".

struct EmbeddedBytes {
    const unsigned char* data; // non-owning; the registered bytes live for the whole run
    std::size_t size;
};

// Adds a file under `name` (compared exactly, case included). Returns 1 when added, 0 when the
// name is already registered (the first registration is kept). `data` must outlive the program.
int RegisterEmbedded(std::string_view name, const unsigned char* data, std::size_t size);
// Bytes registered under the name after the "incbin::" prefix; nullopt for other urls or names.
std::optional<EmbeddedBytes> OpenEmbedded(std::string_view url);
// Forgets every registration (tests).
void ClearEmbeddedRegistry();
