#pragma once

#include "media/audio/TSound.hpp"
#include "media/graphics/TImage.hpp"

#include <memory>

// Registers the eleven files compiled into the program ("data\\img\\ball.png", ...) with the
// embedded-file registry, each with its exact size; registering again changes nothing.
void RegisterResources();
// Loads the eight shared images (default flags) and then the sound (flags 0) from the registry;
// call after RegisterResources and after the handle mode for new images has been chosen.
void LoadSharedAssets();

extern std::shared_ptr<TImage> blueBallImage, ballImage, reflectBallImage, cubeImage, starImage,
    brightStarImage, linkImage, anchorImage;
extern std::shared_ptr<TSound> metalDropSound;
