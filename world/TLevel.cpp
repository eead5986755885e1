#include "world/TLevel.hpp"

#include <cmath>

#include "media/Graphics.hpp"

namespace {

// Truncation toward zero that saturates instead of overflowing for targets far off the map.
int TruncateTarget(float v) {
    if (std::isnan(v)) {
        return 0;
    }
    if (v >= 2147483520.0f) { // largest float below 2^31
        return 2147483520;
    }
    if (v <= -2147483648.0f) {
        return -2147483647 - 1;
    }
    return static_cast<int>(v);
}

} // namespace

TLevel::~TLevel() = default;

void TLevel::Init(int steps) {
    _steps = steps;
    // One frame of 1/60 s split into equal sub-steps, in single precision. A step count that is
    // not positive gets no duration rather than an infinite one.
    _dt = steps > 0 ? 0.016666668f / static_cast<float>(steps) : 0.0f;
}

void TLevel::Load(int lvl) {
    _lvl = lvl;
    if (lvl != 0) {
        // No other level has content.
        return;
    }

    _BGTileSet = std::make_shared<TTileSet>();
    _BGTileSet->Init("BACK1", 40, 24, 0, 28, BGSequences);
    _BGLayer = std::make_shared<TLayer>();
    _BGLayer->Init(_BGTileSet, BGMapData, 18, 19);
    _BGLayer->SetBoundMap(BGBoundMap);
    // The sky pattern repeats sideways and its bottom row extends down the screen; the row
    // offset lifts the pattern by 20 pixels.
    _BGLayer->ShiftY = 20;
    _BGLayer->HorzRepPat = 1;
    _BGLayer->VertRepPat = 2;

    _FGTileSet = std::make_shared<TTileSet>();
    _FGTileSet->Init("L1", 24, 24, 0, 19, FGSequences);
    _FGLayer = std::make_shared<TLayer>();
    _FGLayer->Init(_FGTileSet, FGMapData, 84, 32);
    _FGLayer->SetBoundMap(FGBoundMap);

    CPSpace& space = *_FGLayer->spaceMap;
    space.SetGravity(Vec2(0.0f, 600.0f));
    // Resizing the static hash after the segments exist re-indexes them once.
    space.ResizeStaticHash(10.0f, 2000);
    space.ResizeActiveHash(10.0f, 2000);
    space.SetIterations(10);
    // Border-crossing kinds ignore the thick border segments.
    for (int type : {1, 2, 3, 4, 7}) {
        space.AddCollisionPairFunc(type, TLayer::kBorderCollisionType, nullptr);
    }

    _maxScrollH = _FGLayer->maxLevelH - GraphicsHeight();
    _maxScrollW = _FGLayer->maxLevelW - GraphicsWidth();
}

void TLevel::update(int /*steps*/, CPVect target) {
    if (!_FGLayer) {
        return;
    }
    TLayer& fg = *_FGLayer;
    fg.ScrollY = TruncateTarget(target.GetY());
    fg.ScrollX = TruncateTarget(target.GetX());

    for (int i = 0; i < _steps; ++i) {
        fg.spaceMap->DoStep(_dt);
    }
    limitScroll();
}

void TLevel::Follow(CPVect target) {
    if (!_FGLayer) {
        return;
    }
    _FGLayer->ScrollY = TruncateTarget(target.GetY());
    _FGLayer->ScrollX = TruncateTarget(target.GetX());
    limitScroll();
}

void TLevel::limitScroll() {
    TLayer& fg = *_FGLayer;
    // The lower limit goes last so that a map smaller than the screen scrolls to 0.
    if (fg.ScrollX > _maxScrollW) {
        fg.ScrollX = _maxScrollW;
    }
    if (fg.ScrollY > _maxScrollH) {
        fg.ScrollY = _maxScrollH;
    }
    if (fg.ScrollX < 0) {
        fg.ScrollX = 0;
    }
    if (fg.ScrollY < 0) {
        fg.ScrollY = 0;
    }

    if (_BGLayer) {
        // Parallax at a third of the speed; vertically the background takes the negated scroll.
        _BGLayer->ScrollTo(fg.ScrollX / 3, (-fg.ScrollY) / 3);
    }
}

void TLevel::Draw() {
    if (_BGLayer) {
        // The foreground is drawn next, over the same viewport: what its opaque cells hide of
        // the background need not be drawn.
        _BGLayer->CoveredBy = _FGLayer.get();
        _BGLayer->Draw();
        _BGLayer->CoveredBy = nullptr;
    }
    if (_FGLayer) {
        _FGLayer->Draw();
    }
}
