#pragma once

#include <span>
#include <string_view>

// An example scene compiled into the program: its name in the scene menu and its scene file's
// text (JSON).
struct ExampleScene {
    std::string_view name;
    std::string_view text;
};

// The example scenes in the menu's order; the views stay valid for the whole run.
std::span<const ExampleScene> ExampleScenes();
