#include "bodies/ClearAllBodies.hpp"

#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "bodies/TTentacle.hpp"

void ClearAllBodies() {
    // Chains first: their end joints may hold stars or other bodies released below.
    TChain::ClearAll();
    TBall::ClearAll();
    TCube::ClearAll();
    TStar::ClearAll();
    TSquid::ClearAll();
    TTentacle::ClearAll();
}
