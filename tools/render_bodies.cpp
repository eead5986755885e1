// Renders a scene with every kind of body into a PNG after some simulated frames, without a
// window: a quick way to look at how the bodies draw.
//   render_bodies [out.png] [frames]

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bodies/ClearAllBodies.hpp"
#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "bodies/TTentacle.hpp"
#include "bodies/UpdateAllBodies.hpp"
#include "data/LevelData.hpp"
#include "data/Resources.hpp"
#include "media/Graphics.hpp"
#include "media/base/Clock.hpp"
#include "media/graphics/TImage.hpp"
#include "physics/CPVect.hpp"
#include "world/TLevel.hpp"

int main(int argc, char** argv) {
    const std::string out = argc > 1 ? argv[1] : "bodies.png";
    const int frames = argc > 2 ? std::atoi(argv[2]) : 90;

    ManualClock clock(0);
    SetClock(&clock);
    RegisterResources();
    InitMedia();
    InitPhysics();
    SetAutoCenterHandle(true);
    LoadSharedAssets();
    CreateLevelData();
    StartPhysics();
    SetGraphicsTarget(GraphicsTarget::Offscreen);
    if (!OpenGraphics(1024, 768, 0, 60, 0)) {
        std::fprintf(stderr, "render_bodies: %s\n", GraphicsError());
        return 1;
    }
    ResetShapeIds();
    auto level = std::make_shared<TLevel>();
    level->Init(3);
    level->Load(0);
    auto fg = level->_FGLayer;

    auto player = TSquid::Create();
    player->Init(fg, Vec2(450.0f, 300.0f), 14, 12.0f, 0.85f, 100, 0.0f, 0.1f);
    auto squid = TSquid::Create();
    squid->Init(fg, Vec2(850.0f, 150.0f), 6, 15.0f, 0.85f, 100, 0.0f, 0.1f);
    for (int i = 0; i < 4; ++i) {
        TBall::Create()->Init(
            fg,
            Vec2(150.0f + 40.0f * static_cast<float>(i), 300.0f - 30.0f * static_cast<float>(i)),
            15.0f, 0.38f, 100, 0.0f, 0.075f);
        TCube::Create()->Init(
            fg,
            Vec2(330.0f + 36.0f * static_cast<float>(i), 250.0f - 20.0f * static_cast<float>(i)),
            15.0f, 0.5f, 100, 0.0f, 0.1f);
    }
    std::shared_ptr<TStar> star;
    for (int i = 0; i < 3; ++i) {
        star = TStar::Create();
        star->Init(fg, Vec2(600.0f + 40.0f * static_cast<float>(i), 200.0f), 1, 0.25f, 100, 0.0f,
                   0.05f);
    }
    TChain::Create()->Init(fg, Vec2(800.0f, 60.0f), 1, nullptr, nullptr, 18, 2.0f, 7.0f, 1.0f, 100,
                           0.0f, 0.05f);
    TChain::Create()->Init(fg, Vec2(480.0f, 80.0f), 2, nullptr, nullptr, 18, 2.0f, 7.0f, 1.0f, 100,
                           0.0f, 0.05f);
    TChain::Create()->Init(fg, Vec2(950.0f, 120.0f), 1, nullptr, star->_body, 10, 2.0f, 7.0f, 1.0f,
                           100, 0.0f, 0.05f);

    for (int f = 0; f < frames; ++f) {
        clock.Advance(16);
        Cls();
        const CPVect pp = player->_body->GetPosition();
        level->update(3, Vec2(pp.x - 640.0f, pp.y - 480.0f));
        level->Draw();
        UpdateAllBodies();
    }
    const bool ok = SaveBackBufferPng(out);
    std::printf("%s: %s (%d frames; balls %d, cubes %d, stars %d, squids %d, chains %d)\n",
                ok ? "wrote" : "could not write", out.c_str(), frames, TBall::Count(),
                TCube::Count(), TStar::Count(), TSquid::Count(), TChain::Count());
    ClearAllBodies();
    CloseGraphics();
    SetClock(nullptr);
    return ok ? 0 : 1;
}
