#pragma once

#include <span>

#include "bodies/BodyClass.hpp"

// Every body class, in the game's fixed order: balls, cubes, stars, squids, tentacles, chains.
// The body hash and the tools walk it in this order; the frame's pass takes the classes drawn
// beneath first (BodyClass::drawnBeneath), the others after them in this order.
std::span<const BodyClass* const> BodyClasses();
