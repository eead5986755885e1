#include "control/TEditor.hpp"

#include <algorithm>
#include <string_view>
#include <utility>

#include "control/TSandbox.hpp"
#include "data/LevelData.hpp"
#include "media/Graphics.hpp"
#include "media/graphics/TImage.hpp"
#include "media/input/Input.hpp"
#include "physics/CPSpace.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"
#include "world/TTileSet.hpp"

namespace {

constexpr int kLeft = static_cast<int>(MouseButton::Left);
constexpr int kRight = static_cast<int>(MouseButton::Right);

// Plain tiles by number, then the animated ones (negative values), each by bound value; the
// empty tile comes first.
int tileOrder(int tile) {
    return tile >= 0 ? tile : 100000 - tile;
}

// The edges a bound value makes solid, drawn over a palette entry's picture in the debug view's
// segment colour, so that two kinds with the same picture tell apart.
void drawEdges(int bound, float x, float y, float side) {
    const int code = bound % 256;
    if (!TLayer::MakesSegments(code)) {
        return;
    }
    const float x1 = x + side - 1.0f;
    const float y1 = y + side - 1.0f;
    SetColor(0, 255, 75);
    if (code == -127) {
        DrawLine(x, y, x1, y1, 1);
    } else if (code == -128) {
        DrawLine(x, y1, x1, y, 1);
    } else {
        if (code & 1) {
            DrawLine(x, y, x1, y, 1);
        }
        if (code & 2) {
            DrawLine(x, y, x, y1, 1);
        }
        if (code & 4) {
            DrawLine(x, y1, x1, y1, 1);
        }
        if (code & 8) {
            DrawLine(x1, y, x1, y1, 1);
        }
    }
}

void outline(float x, float y, float w, float h) {
    DrawLine(x, y, x + w, y, 1);
    DrawLine(x + w, y, x + w, y + h, 1);
    DrawLine(x + w, y + h, x, y + h, 1);
    DrawLine(x, y + h, x, y, 1);
}

} // namespace

void TEditor::init(std::shared_ptr<TLevel> editedLevel, TControl* spawner) {
    level_ = std::move(editedLevel);
    active = false;
    tool = Tool::Paint;
    bodies_.init(spawner);
    bodies_.onStep = [this](std::vector<TBodySteps::Change> changes) {
        PushBodyStep(std::move(changes));
    };
    build_.init(level_, &bodies_);
    joints_.init(level_, &bodies_);
    selection_.init(level_, &bodies_);
    history_.clear();
    done_ = 0;
    stroke_.clear();
    strokeButton_ = 0;
    fingerStroke_ = false;
    flashes_ = {};
    ctrlWasDown_ = false;
    shiftWasDown_ = false;

    palette_.clear();
    palette_.push_back({0, 0});
    for (std::size_t r = 0; r < FGMapData.size() && r < FGBoundMap.size(); ++r) {
        for (std::size_t c = 0; c < FGMapData[r].size() && c < FGBoundMap[r].size(); ++c) {
            const CellKind kind{FGMapData[r][c], FGBoundMap[r][c]};
            if (std::find(palette_.begin(), palette_.end(), kind) == palette_.end()) {
                palette_.push_back(kind);
            }
        }
    }
    std::sort(palette_.begin() + 1, palette_.end(), [](const CellKind& a, const CellKind& b) {
        return tileOrder(a.tile) != tileOrder(b.tile) ? tileOrder(a.tile) < tileOrder(b.tile)
                                                      : a.bound < b.bound;
    });
    chosen = palette_.size() > 1 ? 1 : 0;

    const TLayer* layer = level_ ? level_->_FGLayer.get() : nullptr;
    loadedTiles_ = layer ? layer->MapData : IntGrid{};
    loadedBounds_ = layer ? layer->BoundMap : IntGrid{};
}

PaletteLayout TEditor::PaletteNow(int width, int height) const {
    return PaletteLayout::For(width, height, static_cast<int>(palette_.size()), TouchDevice(),
                              paletteFirst_, chosen);
}

int TEditor::paletteHit(int x, int y) const {
    if (!active || palette_.empty()) {
        return PaletteLayout::kNone;
    }
    // Input comes before this frame's overlay, laid out as the last one was: the press lands on
    // what the user saw. A replay lays it out for the window it was recorded in, so that it
    // chooses what the user chose there at any window size (the pointer's logical pixels alone
    // would land elsewhere on a palette drawn in window points).
    const OverlayFrame overlay = InputOverlay();
    const PaletteLayout layout = PaletteNow(overlay.width, overlay.height);
    const float ox = static_cast<float>(x) * overlay.scale;
    const float oy = static_cast<float>(y) * overlay.scale;
    const int hit = layout.EntryAt(ox, oy);
    if (hit == PaletteLayout::kNone && layout.panel.Contains(ox, oy)) {
        return kOnPanel;
    }
    return hit;
}

int TEditor::PaletteEntryAt(int x, int y) const {
    const int hit = paletteHit(x, y);
    return hit >= 0 ? hit : -1;
}

bool TEditor::takePalettePress(int x, int y) {
    const int hit = paletteHit(x, y);
    if (hit >= 0) {
        chosen = hit;
    } else if (hit == PaletteLayout::kEarlier || hit == PaletteLayout::kLater) {
        // The arrows show a row's worth further and choose its first entry, which keeps the
        // chosen entry in view as the wheel does.
        const OverlayFrame overlay = InputOverlay();
        paletteFirst_ =
            PaletteNow(overlay.width, overlay.height).Scrolled(hit == PaletteLayout::kLater);
        chosen = paletteFirst_;
    }
    return hit != PaletteLayout::kNone;
}

void TEditor::ClearHistory() {
    history_.clear();
    done_ = 0;
    stroke_.clear();
    strokeButton_ = 0;
    fingerStroke_ = false;
}

void TEditor::PushSceneStep(std::string replaced, SceneSwap swap) {
    endStroke();
    swap_ = swap;
    Step step;
    step.scene = true;
    step.other = std::move(replaced);
    pushStep(std::move(step));
}

unsigned long long TEditor::StateId() const {
    return done_ > 0 ? history_[static_cast<std::size_t>(done_ - 1)].id : 0;
}

void TEditor::CancelStroke() {
    if (fingerTool_) {
        fingerTool_ = false;
        build_.Cancel();
        joints_.Cancel();
        selection_.EndDrag();
    }
    fingerStroke_ = false;
    if (strokeButton_ == 0) {
        return;
    }
    strokeButton_ = 0;
    if (!stroke_.empty() && !apply(stroke_, true)) {
        pushHistory(std::move(stroke_));
    }
    stroke_.clear();
}

void TEditor::Leave() {
    endStroke();
    selection_.EndDrag();
    build_.Cancel();
    joints_.Cancel();
    active = false;
}

JointKind TEditor::JointKindOf(Tool t) {
    switch (t) {
    case Tool::Motor:
        return JointKind::Motor;
    case Tool::Spring:
        return JointKind::Spring;
    case Tool::Rope:
        return JointKind::Rope;
    case Tool::Weld:
        return JointKind::Weld;
    default:
        return JointKind::Hinge;
    }
}

void TEditor::ChooseTool(Tool next) {
    endStroke();
    fingerTool_ = false;
    selection_.EndDrag();
    build_.Cancel();
    joints_.Cancel();
    tool = next;
    if (IsJointTool(next)) {
        joints_.begin(JointKindOf(next));
        return;
    }
    switch (next) {
    case Tool::Box:
        build_.begin(OutlineGesture::Tool::Box);
        break;
    case Tool::Circle:
        build_.begin(OutlineGesture::Tool::Circle);
        break;
    case Tool::Polygon:
        build_.begin(OutlineGesture::Tool::Polygon);
        break;
    default:
        break;
    }
}

bool TEditor::DropToolWork() {
    return build_.Cancel() || joints_.Cancel() || selection_.Drop();
}

void TEditor::PushBodyStep(std::vector<TBodySteps::Change> changes) {
    endStroke();
    Step step;
    step.bodies = std::move(changes);
    pushStep(std::move(step));
}

void TEditor::FingerPaint(int x, int y, bool landed, bool down) {
    if (!active || !level_ || !level_->_FGLayer) {
        return;
    }
    const TLayer& layer = *level_->_FGLayer;
    if (tool != Tool::Paint && (landed || fingerTool_)) {
        // One finger draws or selects as the left button does: it lands, moves and lifts.
        if (landed && PaletteEntryAt(x, y) >= 0) {
            chosen = PaletteEntryAt(x, y);
            ChooseTool(Tool::Paint);
            return;
        }
        // Elsewhere on the palette's panel (its arrows, its title) a finger draws nothing.
        if (landed && takePalettePress(x, y)) {
            return;
        }
        ToolInput in;
        in.advances = advances_;
        in.pointer = in.pressPoint = in.releasePoint = layer.WorldAt(x, y);
        in.pressed = landed;
        in.held = down;
        in.released = !down;
        in.shift = KeyDown(Key::Shift) != 0;
        fingerTool_ = down;
        if (tool == Tool::Select) {
            selection_.update(in);
        } else if (IsJointTool(tool)) {
            joints_.update(in);
        } else {
            build_.update(in);
        }
        return;
    }
    const CPVect world = layer.WorldAt(x, y);
    const double wx = static_cast<double>(world.x);
    const double wy = static_cast<double>(world.y);
    if (landed) {
        endStroke();
        if (takePalettePress(x, y)) {
            return;
        }
        beginStroke(kLeft, wx, wy);
        fingerStroke_ = true;
    } else if (fingerStroke_ && strokeButton_ != 0) {
        paintAlong(wx, wy);
    }
    if (!down && fingerStroke_) {
        endStroke();
    }
}

int TEditor::FlashingCells() const {
    return static_cast<int>(std::count_if(flashes_.begin(), flashes_.end(),
                                          [](const Flash& f) { return f.frames > 0; }));
}

void TEditor::updateControls(bool grabbing, bool advances) {
    // Every key and the wheel are read in every frame, also outside edit mode, so that none keeps
    // a stale press for later. Like P, two taps of E in one slow frame leave things as they were.
    const bool toggle = KeyHits(Key::E) % 2 != 0;
    const int tabs = KeyHits(Key::Tab);
    const int wheel = MouseWheel();
    const int zHits = KeyHits(Key::Z);
    const int yHits = KeyHits(Key::Y);
    const int homeHits = KeyHits(Key::Home);
    // The tools' keys are read in every frame, so that a press outside edit mode is not taken
    // later. Ctrl+C, Ctrl+V and Ctrl+D are the selection's, and no tool, nor the debug view.
    const int copies = KeyHitsWithControl(LetterKey('C'));
    const int pastes = KeyHitsWithControl(LetterKey('V'));
    const int duplicates = KeyHitsWithControl(Key::D);
    const int boxHits = KeyHits(LetterKey('B'));
    const int circleHits = KeyHits(LetterKey('C')) - copies;
    const int polygonHits = KeyHits(LetterKey('V')) - pastes;
    const int selectHits = KeyHits(LetterKey('Q'));
    const int paintHits = KeyHits(Key::Insert);
    // The joint tools, in the order of Tool's values from Hinge on.
    const int jointHits[] = {KeyHits(LetterKey('J')), 0, KeyHits(LetterKey('K')),
                             KeyHits(LetterKey('U')), KeyHits(LetterKey('W'))};
    if (duplicates > 0) {
        KeyHits(Key::D);
    }
    ToolInput tin;
    tin.advances = advances;
    tin.copy = copies > 0;
    tin.paste = pastes > 0;
    tin.duplicate = duplicates > 0;
    tin.deletes = KeyHits(Key::Delete);
    tin.enter = KeyHits(Key::Enter) != 0;
    tin.material = KeyHits(LetterKey('M')) % 2 != 0;
    tin.fix = KeyHits(LetterKey('X')) % 2 != 0;
    tin.turns = KeyHits(Key::BracketRight) - KeyHits(Key::BracketLeft);
    sceneSwapped = false;
    // A modifier counts as held when it is, when it was at the last frame, or when it was pressed
    // in between: the keys of a quick Ctrl+Z may arrive all in one frame or split over two
    // (Ctrl in one, Z and the release of Ctrl in the next), and either way it is an undo.
    const bool ctrlDown = KeyDown(Key::Control) != 0;
    const bool shiftDown = KeyDown(Key::Shift) != 0;
    const bool ctrlHit = KeyHits(Key::Control) != 0;
    const bool shiftHit = KeyHits(Key::Shift) != 0;
    const bool ctrl = ctrlDown || ctrlWasDown_ || ctrlHit;
    const bool shift = shiftDown || shiftWasDown_ || shiftHit;
    ctrlWasDown_ = ctrlDown;
    shiftWasDown_ = shiftDown;
    ctrlPressed = ctrl;
    // O is Ctrl+O's too (the game's, read after this), and Z and Y are undo's and redo's: with
    // Control they are left to those.
    const int motorHits = ctrl ? 0 : KeyHits(LetterKey('O'));
    tin.jointKeys.speed = ctrl ? 0 : zHits;
    tin.jointKeys.reverse = KeyHits(Key::A);
    tin.jointKeys.power = KeyHits(LetterKey('I'));
    tin.jointKeys.stiffness = ctrl || shift ? 0 : yHits;
    tin.jointKeys.damping = !ctrl && shift ? yHits : 0;
    tin.jointKeys.breaking = KeyHits(Key::End);

    for (Flash& f : flashes_) {
        if (f.frames > 0) {
            --f.frames;
        }
    }
    build_.tick();
    joints_.tick();
    if (toggle) {
        if (active) {
            Leave();
        } else {
            active = true;
        }
    }
    // Undo and redo walk the one history in edit mode and out of it: opened scenes are steps
    // in it as strokes are.
    if (ctrl) {
        for (int i = 0; i < zHits; ++i) {
            if (shift) {
                Redo();
            } else {
                Undo();
            }
        }
        for (int i = 0; i < yHits; ++i) {
            Redo();
        }
    }
    if (!active || !level_ || !level_->_FGLayer) {
        return;
    }

    if (boxHits > 0 || circleHits > 0 || polygonHits > 0 || selectHits > 0) {
        ChooseTool(selectHits > 0    ? Tool::Select
                   : polygonHits > 0 ? Tool::Polygon
                   : circleHits > 0  ? Tool::Circle
                                     : Tool::Box);
    }
    for (int i = 0; i < static_cast<int>(std::size(jointHits)); ++i) {
        const int hits = i == 1 ? motorHits : jointHits[i];
        if (hits > 0) {
            ChooseTool(static_cast<Tool>(static_cast<int>(Tool::Hinge) + i));
        }
    }
    if (paintHits > 0) {
        ChooseTool(Tool::Paint);
    }
    // The joint keys change a selected joint (Select's), else the next joint's settings.
    if (!(tool == Tool::Select && selection_.SelectedJoint())) {
        joints_.next = TJointTools::Adjusted(joints_.next, tin.jointKeys);
    }
    // M and X change a selected drawn body (Select's), else what the next one is made of.
    TBodySteps::Found changed;
    if (!(tool == Tool::Select && selection_.Selected(changed) &&
          changed.kind == SceneFormat::Kind::Drawn)) {
        if (tin.material) {
            build_.material = NextMaterial(build_.material);
        }
        if (tin.fix) {
            build_.fixed = !build_.fixed;
        }
    }
    // With a body selected the wheel turns it (away from the user: clockwise); else the wheel
    // turned towards the user walks the palette forward, like Tab, and paints again.
    TBodySteps::Found selected;
    const bool turning = tool == Tool::Select && selection_.Selected(selected);
    if (turning) {
        tin.turns += wheel;
    }
    const int step = (shift ? -tabs : tabs) - (turning ? 0 : wheel);
    if (step != 0 && !palette_.empty()) {
        chosen = PositiveModulo(chosen + step, static_cast<int>(palette_.size()));
        ChooseTool(Tool::Paint);
    }
    if (homeHits > 0) {
        Revert();
    }

    // The buttons' hits are read every frame so that a press is never taken for a later one.
    const bool leftPressed = MouseHits(MouseButton::Left) != 0;
    const bool rightPressed = MouseHits(MouseButton::Right) != 0;
    const TLayer& layer = *level_->_FGLayer;
    auto world = [&](int x, int y, double& wx, double& wy) {
        const CPVect p = layer.WorldAt(x, y);
        wx = p.x;
        wy = p.y;
    };
    double wx = 0.0;
    double wy = 0.0;

    advances_ = advances;
    if (tool != Tool::Paint && fingerTool_) {
        return; // a finger draws with the tool (FingerPaint)
    }
    if (tool != Tool::Paint) {
        // The left button is the tool's; a press on the palette chooses a kind to paint.
        int px = 0;
        int py = 0;
        MousePressPoint(kLeft, px, py);
        const bool onPalette = leftPressed && PaletteEntryAt(px, py) >= 0;
        const bool toolPress = leftPressed && !onPalette && !TSandbox::ShiftHeld() && !grabbing;
        tin.pressed = toolPress;
        tin.pressPoint = layer.WorldAt(px, py);
        tin.held = MouseDown(kLeft) != 0;
        tin.released = !tin.held;
        int rx = MouseX();
        int ry = MouseY();
        tin.pointer = layer.WorldAt(rx, ry);
        MouseReleasePoint(kLeft, rx, ry);
        tin.releasePoint = tin.held ? tin.pointer : layer.WorldAt(rx, ry);
        tin.shift = shiftDown;
        if (tool == Tool::Select) {
            selection_.update(tin);
        } else if (IsJointTool(tool)) {
            joints_.update(tin);
        } else {
            build_.update(tin);
        }
        if (onPalette) {
            chosen = PaletteEntryAt(px, py);
            ChooseTool(Tool::Paint);
            return;
        }
        // The right button still erases cells.
        if (strokeButton_ == 0 && !fingerStroke_ && rightPressed) {
            MousePressPoint(kRight, px, py);
            world(px, py, wx, wy);
            beginStroke(kRight, wx, wy);
        }
        if (strokeButton_ == 0 || fingerStroke_) {
            return;
        }
    }

    if (strokeButton_ == 0 && !fingerStroke_) {
        // A stroke starts where the button went down, not where the pointer is by the time the
        // frame reads it: a quick drag loses nothing of its beginning.
        const int button = leftPressed && !TSandbox::ShiftHeld() && !grabbing ? kLeft
                           : rightPressed                                     ? kRight
                                                                              : 0;
        if (button != 0) {
            int px = 0;
            int py = 0;
            MousePressPoint(button, px, py);
            world(px, py, wx, wy);
            // The panel's title and keys' line paint the cell under them as they always have
            // (recordings replay alike); a finger there does nothing (TEditor::FingerPaint).
            const int hit = paletteHit(px, py);
            if (hit == PaletteLayout::kNone || hit == kOnPanel) {
                beginStroke(button, wx, wy);
            } else if (button == kLeft) {
                takePalettePress(px, py);
            }
        }
    }
    if (strokeButton_ != 0 && !fingerStroke_) {
        // And it ends where the button came up, wherever the pointer went after.
        const bool held = MouseDown(strokeButton_) != 0;
        int x = MouseX();
        int y = MouseY();
        if (!held) {
            MouseReleasePoint(strokeButton_, x, y);
        }
        world(x, y, wx, wy);
        paintAlong(wx, wy);
        if (!held) {
            endStroke();
        }
    }
}

TEditor::CellKind TEditor::strokeKind() const {
    if (strokeButton_ == kRight || palette_.empty()) {
        return {0, 0};
    }
    return palette_[static_cast<std::size_t>(chosen)];
}

void TEditor::beginStroke(int button, double x, double y) {
    strokeButton_ = button;
    stroke_.clear();
    lastX_ = x;
    lastY_ = y;
    const TLayer& layer = *level_->_FGLayer;
    ForEachCellOnSegment(x, y, x, y, layer.TileSet->TileW, layer.TileSet->TileH,
                         [&](int c, int r) { paintCell(c, r, strokeKind()); });
}

void TEditor::paintAlong(double x, double y) {
    const TLayer& layer = *level_->_FGLayer;
    const CellKind kind = strokeKind();
    // The cell the stroke reached last frame is visited again: one refused then (a body stood
    // there) may be free now.
    ForEachCellOnSegment(lastX_, lastY_, x, y, layer.TileSet->TileW, layer.TileSet->TileH,
                         [&](int c, int r) { paintCell(c, r, kind); });
    lastX_ = x;
    lastY_ = y;
}

void TEditor::endStroke() {
    fingerStroke_ = false;
    if (strokeButton_ == 0) {
        return;
    }
    strokeButton_ = 0;
    if (!stroke_.empty()) {
        pushHistory(std::move(stroke_));
        stroke_.clear();
    }
}

bool TEditor::bodyInCell(int column, int row) const {
    TLayer& layer = *level_->_FGLayer;
    const float w = static_cast<float>(layer.TileSet->TileW);
    const float h = static_cast<float>(layer.TileSet->TileH);
    // One pixel in from each side: a body resting on the cell's top, sunk a fraction of a pixel
    // into it as resting bodies are, does not keep the cell from being painted.
    const float x0 = static_cast<float>(column) * w;
    const float y0 = static_cast<float>(row) * h;
    return layer.spaceMap->MovableShapeInBox(Vec2(x0 + 1.0f, y0 + 1.0f),
                                             Vec2(x0 + w - 1.0f, y0 + h - 1.0f));
}

bool TEditor::paintCell(int column, int row, const CellKind& kind) {
    TLayer& layer = *level_->_FGLayer;
    if (column < 0 || row < 0 || column >= layer.MapW || row >= layer.MapH) {
        return false;
    }
    const CellKind before{GridCell(layer.MapData, row, column),
                          GridCell(layer.BoundMap, row, column)};
    if (before == kind) {
        return false;
    }
    // Zero-thickness segments do not push a body out: solid edges never go where a body is.
    if (TLayer::MakesSegments(kind.bound) && bodyInCell(column, row)) {
        flash(column, row);
        return false;
    }
    layer.SetCell(column, row, kind.tile, kind.bound);
    stroke_.push_back({column, row, before, kind});
    return true;
}

bool TEditor::apply(const std::vector<CellChange>& changes, bool undoing) {
    TLayer& layer = *level_->_FGLayer;
    bool blocked = false;
    for (const CellChange& change : changes) {
        const CellKind& target = undoing ? change.before : change.after;
        if (TLayer::MakesSegments(target.bound) && bodyInCell(change.column, change.row)) {
            flash(change.column, change.row);
            blocked = true;
        }
    }
    if (blocked) {
        return false;
    }
    // A stroke holds each cell once, but the order is kept anyway so that undoing gives back
    // exactly what was there.
    if (undoing) {
        for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
            layer.SetCell(it->column, it->row, it->before.tile, it->before.bound);
        }
    } else {
        for (const CellChange& change : changes) {
            layer.SetCell(change.column, change.row, change.after.tile, change.after.bound);
        }
    }
    return true;
}

bool TEditor::take(Step& step, bool undoing) {
    if (!step.bodies.empty()) {
        // A body the user holds in a move is let go first: the step puts it elsewhere.
        selection_.EndDrag();
        bodies_.Apply(step.bodies, undoing);
        return true;
    }
    if (!step.scene) {
        return level_ && level_->_FGLayer && apply(step.cells, undoing);
    }
    // The scene on the other side comes back, and the one it replaces is kept for the way back:
    // undoing and redoing again returns exactly to where the user was.
    std::string replaced;
    if (swap_ == nullptr || !swap_(step.other, replaced)) {
        return false;
    }
    step.other = std::move(replaced);
    sceneSwapped = true;
    sceneUndone = undoing;
    return true;
}

bool TEditor::Undo() {
    endStroke();
    if (done_ == 0 || !take(history_[static_cast<std::size_t>(done_ - 1)], true)) {
        return false;
    }
    --done_;
    return true;
}

bool TEditor::Redo() {
    endStroke();
    if (done_ >= static_cast<int>(history_.size()) ||
        !take(history_[static_cast<std::size_t>(done_)], false)) {
        return false;
    }
    ++done_;
    return true;
}

bool TEditor::Revert() {
    endStroke();
    const TLayer& layer = *level_->_FGLayer;
    std::vector<CellChange> back;
    for (int r = 0; r < layer.MapH && r < static_cast<int>(loadedTiles_.size()); ++r) {
        for (int c = 0; c < layer.MapW && c < static_cast<int>(GridRow(loadedTiles_, r).size());
             ++c) {
            const CellKind now{GridCell(layer.MapData, r, c), GridCell(layer.BoundMap, r, c)};
            const CellKind loaded{GridCell(loadedTiles_, r, c), GridCell(loadedBounds_, r, c)};
            if (now != loaded) {
                back.push_back({c, r, now, loaded});
            }
        }
    }
    if (back.empty() || !apply(back, false)) {
        return false;
    }
    pushHistory(std::move(back));
    return true;
}

void TEditor::pushHistory(std::vector<CellChange> stroke) {
    Step step;
    step.cells = std::move(stroke);
    pushStep(std::move(step));
}

void TEditor::pushStep(Step step) {
    // A new step ends what could be redone.
    history_.resize(static_cast<std::size_t>(done_));
    step.id = nextId_++;
    history_.push_back(std::move(step));
    if (history_.size() > static_cast<std::size_t>(kHistorySteps)) {
        history_.erase(history_.begin());
    }
    done_ = static_cast<int>(history_.size());
}

void TEditor::flash(int column, int row) {
    Flash* slot = &flashes_[0];
    for (Flash& f : flashes_) {
        if (f.frames > 0 && f.column == column && f.row == row) {
            slot = &f;
            break;
        }
        if (f.frames < slot->frames) {
            slot = &f;
        }
    }
    *slot = {column, row, kFlashFrames};
}

void TEditor::draw() {
    if (!active || !level_ || !level_->_FGLayer || !level_->_FGLayer->TileSet) {
        return;
    }
    TLayer& layer = *level_->_FGLayer;
    TTileSet& tiles = *layer.TileSet;
    const float tw = static_cast<float>(tiles.TileW);
    const float th = static_cast<float>(tiles.TileH);
    layer.BeginView();
    SetBlend(Blend::Alpha);
    for (const Flash& f : flashes_) {
        if (f.frames > 0) {
            SetColor(255, 40, 40);
            SetAlpha(0.25f + 0.5f * static_cast<float>(f.frames) / kFlashFrames);
            DrawRect(static_cast<float>(f.column) * tw, static_cast<float>(f.row) * th, tw, th);
        }
    }

    // What the next press paints, at the pointer's cell.
    const int mx = MouseX();
    const int my = MouseY();
    const CPVect pointer = layer.WorldAt(mx, my);
    const int wx = static_cast<int>(std::floor(pointer.x));
    const int wy = static_cast<int>(std::floor(pointer.y));
    const int column = wx >= 0 ? wx / tiles.TileW : -1;
    const int row = wy >= 0 ? wy / tiles.TileH : -1;
    const int hit = paletteHit(mx, my);
    if (IsJointTool(tool)) {
        joints_.draw(pointer);
    } else if (tool != Tool::Paint) {
        build_.draw(KeyDown(Key::Shift) != 0);
        selection_.draw();
        SetBlend(Blend::Alpha);
    } else if ((hit == PaletteLayout::kNone || hit == kOnPanel) && column < layer.MapW &&
               row < layer.MapH && column >= 0 && row >= 0) {
        const CellKind kind =
            strokeButton_ == 0 ? palette_[static_cast<std::size_t>(chosen)] : strokeKind();
        const float x = static_cast<float>(column) * tw;
        const float y = static_cast<float>(row) * th;
        TImage* image = tiles.TileSetImage.get();
        const int tile =
            kind.tile < 0 ? tiles.GetSequenceFrame(kind.tile, layer.TimeCounter) : kind.tile;
        if (image != nullptr && tile > 0 && tile <= image->FrameCount()) {
            SetColor(255, 255, 255);
            SetAlpha(0.55f);
            SetImageHandle(*image, tw / 2.0f, th / 2.0f);
            DrawImage(*image, x + tw / 2.0f, y + th / 2.0f, tile - 1);
        }
        SetAlpha(0.9f);
        if (kind.tile == 0 && kind.bound == 0) {
            SetColor(255, 90, 90); // erasing
        } else {
            SetColor(255, 230, 90);
        }
        outline(x, y, tw - 1.0f, th - 1.0f);
    }
    TLayer::EndView();

    SetColor(255, 255, 255);
    SetAlpha(1.0f);
    SetBlend(Blend::Mask);
    SetLineWidth(1.0f);
}

void TEditor::drawGrid() {
    if (!active || !level_ || !level_->_FGLayer || !level_->_FGLayer->TileSet) {
        return;
    }
    const TLayer& layer = *level_->_FGLayer;
    const int tw = layer.TileSet->TileW;
    const int th = layer.TileSet->TileH;
    if (tw <= 0 || th <= 0) {
        return;
    }
    layer.BeginView();
    SetBlend(Blend::Alpha);
    // Only the lines on screen, and only within the map.
    const CPVect far = layer.WorldAt(GraphicsWidth(), GraphicsHeight());
    const int left = std::max(0, layer.ScrollX);
    const int top = std::max(0, layer.ScrollY);
    const int right = std::min(layer.maxLevelW, static_cast<int>(std::ceil(far.x)));
    const int bottom = std::min(layer.maxLevelH, static_cast<int>(std::ceil(far.y)));
    SetColor(255, 255, 255);
    SetAlpha(0.2f);
    for (int x = (left + tw - 1) / tw * tw; x <= right; x += tw) {
        DrawLine(static_cast<float>(x), static_cast<float>(top), static_cast<float>(x),
                 static_cast<float>(bottom), 1);
    }
    for (int y = (top + th - 1) / th * th; y <= bottom; y += th) {
        DrawLine(static_cast<float>(left), static_cast<float>(y), static_cast<float>(right),
                 static_cast<float>(y), 1);
    }
    SetAlpha(1.0f);
    SetBlend(Blend::Mask);
    TLayer::EndView();
}

void TEditor::drawPalette() {
    if (!active || !level_ || !level_->_FGLayer || !level_->_FGLayer->TileSet) {
        return;
    }
    TLayer& layer = *level_->_FGLayer;
    TTileSet& tiles = *layer.TileSet;
    const PaletteLayout l = PaletteNow(GraphicsWidth(), GraphicsHeight());
    const PaletteLayout::Box& p = l.panel;
    SetBlend(Blend::Alpha);
    SetColor(8, 12, 28);
    SetAlpha(0.8f);
    DrawRect(p.x, p.y, p.w, p.h);
    SetAlpha(1.0f);
    SetColor(120, 150, 220);
    if (p.y > 0.0f) { // the band at the top has the picture's edge above it
        DrawLine(p.x, p.y, p.x + p.w, p.y, 1);
    }
    DrawLine(p.x, p.y + p.h, p.x + p.w, p.y + p.h, 1);
    DrawLine(p.x, p.y, p.x, p.y + p.h, 1);
    DrawLine(p.x + p.w, p.y, p.x + p.w, p.y + p.h, 1);

    SetColor(255, 220, 90);
    SetScale(2.0f, 2.0f);
    DrawText("EDIT", l.titleX, l.titleY);
    SetScale(1.0f, 1.0f);
    SetColor(200, 210, 230);
    if (tool == Tool::Paint) {
        DrawText(l.hint, l.hintX, l.hintY);
    } else {
        drawToolStrip(l.hintX, l.hintY);
    }

    TImage* image = tiles.TileSetImage.get();
    const float side = l.side;
    for (int i = l.first; i < l.first + l.shown; ++i) {
        const CellKind& kind = palette_[static_cast<std::size_t>(i)];
        const PaletteLayout::Box cell = l.Entry(i);
        const float x = cell.x;
        const float y = cell.y;
        // The sky behind every picture, as in the level.
        SetColor(150, 200, 240);
        DrawRect(x, y, side, side);
        const int tile =
            kind.tile < 0 ? tiles.GetSequenceFrame(kind.tile, layer.TimeCounter) : kind.tile;
        if (image != nullptr && tile > 0 && tile <= image->FrameCount()) {
            SetColor(255, 255, 255);
            // A finger's cells show the tile larger than its own size: scaled about its centre.
            const float zoom = side / std::max(1.0f, static_cast<float>(tiles.TileW));
            const bool scaled = zoom > 1.0f;
            SetImageHandle(*image, static_cast<float>(tiles.TileW) / 2.0f,
                           static_cast<float>(tiles.TileH) / 2.0f);
            if (scaled) {
                SetScale(zoom, zoom);
            }
            DrawImage(*image, x + side / 2.0f, y + side / 2.0f, tile - 1);
            if (scaled) {
                SetScale(1.0f, 1.0f);
            }
        } else if (kind.tile == 0 && kind.bound == 0) {
            // The empty cell: a crossed-out square.
            SetColor(230, 80, 80);
            DrawLine(x + 4.0f, y + 4.0f, x + side - 5.0f, y + side - 5.0f, 1);
            DrawLine(x + 4.0f, y + side - 5.0f, x + side - 5.0f, y + 4.0f, 1);
        }
        drawEdges(kind.bound, x, y, side);
        if (i == chosen) {
            SetColor(255, 220, 90);
            outline(x - 2.0f, y - 2.0f, side + 3.0f, side + 3.0f);
            outline(x - 3.0f, y - 3.0f, side + 5.0f, side + 5.0f);
        }
    }
    // A scrolled row's arrows, dim where there is nothing further that way.
    for (const bool later : {false, true}) {
        const PaletteLayout::Box a = l.Arrow(later);
        if (a.w <= 0.0f) {
            continue;
        }
        const bool more = later ? l.first + l.shown < l.entries : l.first > 0;
        SetColor(40, 56, 96);
        DrawRect(a.x, a.y, a.w, a.h);
        SetColor(more ? 255 : 110, more ? 220 : 120, more ? 90 : 150);
        const float cx = a.x + a.w / 2.0f, cy = a.y + a.h / 2.0f, r = a.w / 4.0f;
        const float tip = later ? cx + r : cx - r, back = later ? cx - r / 2.0f : cx + r / 2.0f;
        DrawLine(back, cy - r, tip, cy, 2);
        DrawLine(tip, cy, back, cy + r, 2);
    }
    SetColor(255, 255, 255);
    SetAlpha(1.0f);
    SetBlend(Blend::Mask);
}

void TEditor::drawToolStrip(float x, float y) const {
    // The tool in use and what it will do, where painting's keys are written.
    switch (tool) {
    case Tool::Box:
        DrawText("BOX: drag, Shift: square", x, y);
        break;
    case Tool::Circle:
        DrawText("CIRCLE: drag from the centre", x, y);
        break;
    case Tool::Polygon:
        DrawText("POLYGON: click corners, Enter", x, y);
        break;
    case Tool::Select:
        if (const std::shared_ptr<TMachineJoint> joint = selection_.SelectedJoint()) {
            drawJointStrip("JOINT: Del", joint->_params, x, y);
            return;
        }
        DrawText("SELECT: drag  [ ]: turn  Del  Ctrl+D", x, y);
        break;
    case Tool::Hinge:
        drawJointStrip("HINGE: click", joints_.next, x, y);
        return;
    case Tool::Motor:
        drawJointStrip("MOTOR: click", joints_.next, x, y);
        return;
    case Tool::Spring:
        drawJointStrip("SPRING: drag", joints_.next, x, y);
        return;
    case Tool::Rope:
        drawJointStrip("ROPE: drag", joints_.next, x, y);
        return;
    case Tool::Weld:
        drawJointStrip("WELD: click", joints_.next, x, y);
        return;
    case Tool::Paint:
        break;
    }
    // What the next body is made of, in its material's colour.
    const MaterialRow& row = MaterialInfo(build_.material);
    const std::string made = std::string(row.name) + (build_.fixed ? ", fixed" : ", free");
    SetColor(row.fill.r, row.fill.g, row.fill.b);
    DrawText(made, x + 312.0f, y);
    SetColor(200, 210, 230);
    DrawText("M X", x + 312.0f + static_cast<float>(made.size() + 1) * 8.0f, y);
}

void TEditor::drawJointStrip(std::string_view head, const TMachineJoint::Params& params, float x,
                             float y) const {
    // The joint's settings with the key that changes each, in its mark's colour.
    DrawText(head, x, y);
    const std::string line = TJointTools::Describe(params);
    SetColor(255, 214, 90);
    DrawText(line, x + static_cast<float>(head.size() + 2) * 8.0f, y);
    SetColor(200, 210, 230);
}
