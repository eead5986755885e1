// The overlay's shape count for the program's level. Kept apart from Overlay.cpp so that code
// using only the overlay's counters links without the program-wide level.
#include <memory>

#include "app/Overlay.hpp"
#include "physics/CPSpace.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

extern std::shared_ptr<TLevel> level; // the program's level (app/Game)

void CountActiveShapes() {
    CountActiveShapes(*level->_FGLayer->spaceMap);
}
