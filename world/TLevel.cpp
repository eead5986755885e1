#include "world/TLevel.hpp"

#include <algorithm>
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
    applyZoom();
}

float TLevel::ZoomOfStep(int step) {
    step = std::clamp(step, kMinZoomStep, kMaxZoomStep);
    // Whole octaves are exact powers of two; zoom 1 is exactly 1.
    return static_cast<float>(std::exp2(static_cast<double>(step) / 4.0));
}

void TLevel::applyZoom() {
    if (_FGLayer) {
        _FGLayer->Zoom = ZoomOfStep(zoomStep_);
    }
    if (_BGLayer) {
        // The far background changes size less than the foreground, as things further away
        // do: the cube root, as its scroll is a third of the foreground's.
        _BGLayer->Zoom =
            zoomStep_ == 0
                ? 1.0f
                : static_cast<float>(std::cbrt(static_cast<double>(ZoomOfStep(zoomStep_))));
    }
}

void TLevel::scrollToTarget(CPVect target) {
    TLayer& fg = *_FGLayer;
    if (!following_) {
        return;
    }
    if (fg.Zoom == 1.0f) {
        fg.ScrollY = TruncateTarget(target.GetY());
        fg.ScrollX = TruncateTarget(target.GetX());
        return;
    }
    const auto w = static_cast<float>(GraphicsWidth());
    const auto h = static_cast<float>(GraphicsHeight());
    fg.ScrollX = TruncateTarget(target.GetX() + w / 2.0f - w / (2.0f * fg.Zoom));
    fg.ScrollY = TruncateTarget(target.GetY() + h / 2.0f - h / (2.0f * fg.Zoom));
}

void TLevel::ZoomAt(int steps, double x, double y) {
    if (!_FGLayer) {
        return;
    }
    PlaceAt(zoomStep_ + steps, _FGLayer->WorldAt(x, y), x, y);
}

void TLevel::PlaceAt(int step, CPVect world, double x, double y) {
    if (!_FGLayer) {
        return;
    }
    TLayer& fg = *_FGLayer;
    zoomStep_ = std::clamp(step, kMinZoomStep, kMaxZoomStep);
    applyZoom();
    const double z = static_cast<double>(fg.Zoom);
    fg.ScrollX = TruncateTarget(static_cast<float>(std::floor(world.GetX() - x / z + 0.5)));
    fg.ScrollY = TruncateTarget(static_cast<float>(std::floor(world.GetY() - y / z + 0.5)));
    // Kept where the pointer put it: following would move the point away from the pointer.
    following_ = false;
    limitScroll();
}

void TLevel::PanTo(int x, int y) {
    if (!_FGLayer) {
        return;
    }
    following_ = false;
    _FGLayer->ScrollX = x;
    _FGLayer->ScrollY = y;
    limitScroll();
}

void TLevel::FollowAgain() {
    following_ = true;
}

void TLevel::SetCamera(int step, int scrollX, int scrollY, bool following) {
    zoomStep_ = std::clamp(step, kMinZoomStep, kMaxZoomStep);
    applyZoom();
    following_ = following;
    if (_FGLayer) {
        _FGLayer->ScrollX = scrollX;
        _FGLayer->ScrollY = scrollY;
        limitScroll();
    }
}

void TLevel::update(int /*steps*/, CPVect target) {
    if (!_FGLayer) {
        return;
    }
    TLayer& fg = *_FGLayer;
    scrollToTarget(target);

    for (int i = 0; i < _steps; ++i) {
        fg.spaceMap->DoStep(_dt);
    }
    limitScroll();
}

void TLevel::Follow(CPVect target) {
    if (!_FGLayer) {
        return;
    }
    scrollToTarget(target);
    limitScroll();
}

void TLevel::limitScroll() {
    TLayer& fg = *_FGLayer;
    if (fg.Zoom != 1.0f) {
        limitZoomedScroll();
        return;
    }
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

void TLevel::limitZoomedScroll() {
    TLayer& fg = *_FGLayer;
    const double z = static_cast<double>(fg.Zoom);
    const auto w = static_cast<double>(GraphicsWidth());
    const auto h = static_cast<double>(GraphicsHeight());
    // The world span in view; a level narrower than it is centred in the view.
    auto limit = [](int& scroll, double levelSize, double span) {
        const double most = levelSize - span;
        if (most < 0.0) {
            scroll = static_cast<int>(std::floor(most / 2.0 + 0.5));
        } else {
            scroll = std::clamp(scroll, 0, static_cast<int>(std::floor(most)));
        }
    };
    limit(fg.ScrollX, static_cast<double>(fg.maxLevelW), w / z);
    limit(fg.ScrollY, static_cast<double>(fg.maxLevelH), h / z);
    if (_BGLayer) {
        // The background's centre moves a third as far as the foreground's from where it is at
        // zoom 1, and it is zoomed by its own (damped) zoom around that centre.
        const double zb = static_cast<double>(_BGLayer->Zoom);
        const double cx = static_cast<double>(fg.ScrollX) + w / (2.0 * z);
        const double cy = static_cast<double>(fg.ScrollY) + h / (2.0 * z);
        const double bx = (cx - w / 2.0) / 3.0 + w / 2.0;
        const double by = -(cy - h / 2.0) / 3.0 + h / 2.0;
        _BGLayer->ScrollTo(static_cast<int>(std::floor(bx - w / (2.0 * zb) + 0.5)),
                           static_cast<int>(std::floor(by - h / (2.0 * zb) + 0.5)));
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
