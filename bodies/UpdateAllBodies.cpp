#include "bodies/UpdateAllBodies.hpp"

#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "bodies/TTentacle.hpp"

void UpdateAllBodies() {
    TChain::UpdateAll();
    TBall::UpdateAll();
    TCube::UpdateAll();
    TStar::UpdateAll();
    TSquid::UpdateAll();
    TTentacle::UpdateAll();
}
