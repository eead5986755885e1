#include "control/SpawnKinds.hpp"

#include "bodies/BodyClass.hpp"
#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "data/Resources.hpp"
#include "media/Graphics.hpp"
#include "media/graphics/TImage.hpp"
#include "physics/CPPolyShape.hpp"
#include "physics/CPShape.hpp"
#include "physics/CPSpace.hpp"
#include "physics/CPSpaceHash.hpp"
#include "world/TLayer.hpp"

std::shared_ptr<CPBody> lastStarBody;

namespace {

constexpr TBall::Params kBall{
    .radius = 15.0f, .mass = 0.38f, .life = 100, .elasticity = 0.0f, .friction = 0.075f};
constexpr TCube::Params kCube{
    .half = 15.0f, .mass = 0.5f, .life = 100, .elasticity = 0.0f, .friction = 0.1f};
// Style 1: the centre pentagon and five corners, so that stars lie on their points.
constexpr TStar::Params kStar{
    .style = 1, .mass = 0.25f, .life = 100, .elasticity = 0.0f, .friction = 0.05f};
constexpr TSquid::Params kSquid{.tentacle = 6,
                                .radius = 15.0f,
                                .mass = 0.85f,
                                .life = 100,
                                .elasticity = 0.0f,
                                .friction = 0.1f};

void spawnChain(const std::shared_ptr<TLayer>& layer, CPVect p, int mode,
                const std::shared_ptr<CPBody>& endAnchor, int n) {
    TChain::Create()->Init(layer, p, SpawnedChain(mode, n), nullptr, endAnchor);
}

// Kind 8's end: the newest star, if a star shape is in the space now. A star found by an
// earlier spawn may have left the level since and had its body freed; the physics library cannot
// join anything to a freed body, so it counts as no star and the chain gets its own fixed anchor
// at that end.
void spawnStarChain(const std::shared_ptr<TLayer>& layer, CPVect p) {
    layer->spaceMap->GetActiveShapes()->ForEach(&FindLastStar, nullptr);
    if (lastStarBody && lastStarBody->IsFreed()) {
        lastStarBody.reset();
    }
    spawnChain(layer, p, 1, lastStarBody, 10);
}

// A toolbar button's picture: `image` at half the button's side. Returns its larger side
// (pixels) for the decorations' scale, 0 when it is not loaded (nothing drawn then).
float buttonPicture(const std::shared_ptr<TImage>& image, float cx, float cy, float side) {
    if (!image) {
        return 0.0f;
    }
    const float big =
        static_cast<float>(image->width > image->height ? image->width : image->height);
    const float s = side * 0.5f / (big > 0.0f ? big : 1.0f);
    SetBlend(Blend::Alpha);
    SetScale(s, s);
    DrawImage(*image, cx, cy, 0);
    return big;
}
// The scale of a decoration on a button whose picture's larger side is `big`.
void decorationScale(float side, float big) {
    const float a = side * 0.3f / (big > 0.0f ? big : 1.0f);
    SetScale(a, a);
}
void endButton() {
    SetScale(1.0f, 1.0f);
    SetBlend(Blend::Mask);
}
// A button showing one picture and nothing else.
template <const std::shared_ptr<TImage>& image> void plainButton(float cx, float cy, float side) {
    if (image) {
        buttonPicture(image, cx, cy, side);
        endButton();
    }
}
template <const std::shared_ptr<TImage>& image> void plainPreview(float x, float y) {
    DrawImage(*image, x, y, 0);
}

// A chain kind's button: links and anchors at points given in fractions of the button's side
// from its centre, so that the kinds tell apart by how their chain lies.
struct ChainDot {
    float dx, dy;
    bool anchor;
};
void chainButton(std::span<const ChainDot> dots, float cx, float cy, float side) {
    if (!linkImage || !anchorImage) {
        return;
    }
    const float big = static_cast<float>(linkImage->width > linkImage->height ? linkImage->width
                                                                              : linkImage->height);
    const float s = side * 0.26f / (big > 0.0f ? big : 1.0f);
    // The chain's line under its links, so that its lie reads at a glance.
    SetColor(150, 150, 160);
    for (std::size_t i = 1; i < dots.size(); ++i) {
        DrawLine(cx + dots[i - 1].dx * side, cy + dots[i - 1].dy * side, cx + dots[i].dx * side,
                 cy + dots[i].dy * side, 1);
    }
    SetColor(255, 255, 255);
    SetBlend(Blend::Alpha);
    SetScale(s, s);
    for (const ChainDot& dot : dots) {
        DrawImage(dot.anchor ? *anchorImage : *linkImage, cx + dot.dx * side, cy + dot.dy * side,
                  0);
    }
    endButton();
}
// Free: a loose wave of links. Fixed at both ends: a bridge sagging between two anchors.
// Fixed at its start: a rope hanging straight down from one.
constexpr ChainDot kFreeChain[] = {
    {-0.3f, 0.1f, false}, {-0.1f, -0.02f, false}, {0.1f, 0.06f, false}, {0.3f, -0.06f, false}};
constexpr ChainDot kBridge[] = {{-0.34f, -0.08f, true},
                                {-0.19f, 0.08f, false},
                                {0.0f, 0.16f, false},
                                {0.19f, 0.08f, false},
                                {0.34f, -0.08f, true}};
constexpr ChainDot kRope[] = {
    {0.05f, -0.3f, true}, {0.05f, -0.12f, false}, {0.05f, 0.06f, false}, {0.05f, 0.24f, false}};

// One row a kind, in key order. A chain's kinds show their anchors: none (5), fixed (6, 7) or a
// star at the end (8).
const SpawnKindRow kRows[] = {
    {SpawnKind::Ball, "ball", 1, true, " Ball  (key 1):", &kBodyClass<TBall>,
     [](const std::shared_ptr<TLayer>& layer, CPVect p) { TBall::Create()->Init(layer, p, kBall); },
     &plainPreview<ballImage>, &plainButton<ballImage>},
    {SpawnKind::Cube, "cube", 2, true, " Cube  (key 2):", &kBodyClass<TCube>,
     [](const std::shared_ptr<TLayer>& layer, CPVect p) { TCube::Create()->Init(layer, p, kCube); },
     &plainPreview<cubeImage>, &plainButton<cubeImage>},
    {SpawnKind::Star, "star", 3, true, " Star  (key 3):", &kBodyClass<TStar>,
     [](const std::shared_ptr<TLayer>& layer, CPVect p) { TStar::Create()->Init(layer, p, kStar); },
     &plainPreview<starImage>, &plainButton<starImage>},
    {SpawnKind::Squid, "squid", 4, true, " Squid (key 4):", &kBodyClass<TSquid>,
     [](const std::shared_ptr<TLayer>& layer, CPVect p) {
         TSquid::Create()->Init(layer, p, kSquid);
     },
     &plainPreview<blueBallImage>, &plainButton<blueBallImage>},
    {SpawnKind::Chain, "chain", 5, true, " Chain (key 5,6,7,8):", &kBodyClass<TChain>,
     [](const std::shared_ptr<TLayer>& layer, CPVect p) { spawnChain(layer, p, 0, nullptr, 18); },
     &plainPreview<linkImage>,
     [](float cx, float cy, float side) { chainButton(kFreeChain, cx, cy, side); }},
    {SpawnKind::FixedChain, "fixed chain", 6, false, nullptr, &kBodyClass<TChain>,
     [](const std::shared_ptr<TLayer>& layer, CPVect p) { spawnChain(layer, p, 1, nullptr, 18); },
     [](float x, float y) {
         DrawImage(*anchorImage, x - 7.0f, y, 0);
         DrawImage(*anchorImage, x + 7.0f, y, 0);
     },
     [](float cx, float cy, float side) { chainButton(kBridge, cx, cy, side); }},
    {SpawnKind::HangingChain, "hanging chain", 7, false, nullptr, &kBodyClass<TChain>,
     [](const std::shared_ptr<TLayer>& layer, CPVect p) { spawnChain(layer, p, 2, nullptr, 18); },
     [](float x, float y) {
         DrawImage(*anchorImage, x - 7.0f, y, 0);
         DrawImage(*linkImage, x + 7.0f, y, 0);
     },
     [](float cx, float cy, float side) { chainButton(kRope, cx, cy, side); }},
    {SpawnKind::StarChain, "star chain", 8, false, nullptr, &kBodyClass<TChain>, &spawnStarChain,
     [](float x, float y) {
         DrawImage(*anchorImage, x - 7.0f, y, 0);
         DrawImage(*linkImage, x + 7.0f, y, 0);
         SetScale(0.6f, 0.6f);
         DrawImage(*starImage, x + 22.0f, y, 0);
         SetScale(1.0f, 1.0f);
     },
     [](float cx, float cy, float side) {
         const float big = buttonPicture(starImage, cx, cy, side);
         if (starImage) {
             decorationScale(side, big);
             DrawImage(*linkImage, cx - side * 0.25f, cy + side * 0.2f, 0);
             endButton();
         }
     }},
};

} // namespace

int FindLastStar(CPShape* shape, void* /*data*/) {
    if (dynamic_cast<CPPolyShape*>(shape) == nullptr) {
        return 0;
    }
    const std::shared_ptr<CPBody> body = shape->GetBody();
    if (!body) {
        return 0;
    }
    auto* owner = static_cast<TObject*>(body->GetData());
    if (dynamic_cast<TStar*>(owner) == nullptr) {
        return 0;
    }
    // Whichever star's shape was met, the newest listed star is the one taken.
    if (TStar::liveList && TStar::liveList->Count() > 0) {
        lastStarBody = TStar::liveList->Last()->_body;
    }
    return 0;
}

TChain::Params SpawnedChain(int mode, int n) {
    return {.mode = mode,
            .n = n,
            .gap = 2.0f,
            .radius = 7.0f,
            .mass = 1.0f,
            .life = 100,
            .elasticity = 0.0f,
            .friction = 0.05f};
}

std::span<const SpawnKindRow> SpawnKinds() {
    return kRows;
}

const SpawnKindRow* FindSpawnKind(int kind) {
    for (const SpawnKindRow& row : kRows) {
        if (static_cast<int>(row.kind) == kind) {
            return &row;
        }
    }
    return nullptr;
}
