#pragma once

#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "control/PaletteLayout.hpp"
#include "control/TBodySteps.hpp"
#include "control/TBuildTools.hpp"
#include "control/TJointTools.hpp"
#include "control/TSelection.hpp"
#include "data/LevelData.hpp"
#include "media/input/Key.hpp"

class TControl;
class TLevel;

// Edit mode: the level's foreground cells painted and erased while the game runs. E switches it
// on and off. While it is on, the left button paints the chosen cell kind (a tile with its edge
// code) into the cell under the pointer, the right button erases cells, the wheel or Tab and
// Shift+Tab (or a click on the palette) choose the kind, Ctrl+Z undoes a stroke, Ctrl+Shift+Z or
// Ctrl+Y redoes it, and Home brings back the level as it loaded (undoable as well). A cell where a
// body is stays as it is, and flashes. Everything it does follows from the input of the frames,
// so recordings and scripts reproduce it.
// Beside painting it has tools that build and change bodies (B box, C circle, V polygon, Q
// select; the wheel, Tab or the palette go back to painting) and that join them (J hinge, O
// motor, K spring, U rope, W weld; Z, A, I, Y, Shift+Y and End change the joints' settings):
// control/TBuildTools, control/TJointTools and control/TSelection, whose every action is a step
// of the same history.
// Its history is the game's one undo history: a whole scene replaced (an example or a file
// opened) is a step in it too, so Ctrl+Z and Ctrl+Y, in edit mode or not, walk back over scenes
// and strokes alike.
class TEditor {
  public:
    // What a cell holds: its foreground tile and its bound value (edge code).
    struct CellKind {
        int tile = 0;
        int bound = 0;
        bool operator==(const CellKind&) const = default;
    };
    struct CellChange {
        int column = 0;
        int row = 0;
        CellKind before, after;
    };

    // Replaces the whole scene with text's and hands back the replaced scene's text; false (the
    // scene untouched) when text cannot be opened. A plain function of the game's.
    using SceneSwap = bool (*)(const std::string& text, std::string& replaced);

    static constexpr int kHistorySteps = 200; // steps that can be undone, oldest dropped first
    static constexpr int kFlashFrames = 30;   // a refused cell flashes 0.5 s at 60 Hz
    static constexpr int kFlashSlots = 32;    // cells flashing at once, at most

    // What the left button does in edit mode.
    enum class Tool { Paint, Box, Circle, Polygon, Select, Hinge, Motor, Spring, Rope, Weld };
    // True for the tools that join bodies (TJointTools), and the joint kind each makes.
    static bool IsJointTool(Tool t) { return t >= Tool::Hinge; }
    static JointKind JointKindOf(Tool t);

    bool active = false;       // edit mode is on
    Tool tool = Tool::Paint;   // change it with ChooseTool
    int chosen = 1;            // palette entry the left button paints
    bool sceneSwapped = false; // this frame: an undo or redo replaced the whole scene
    bool sceneUndone = false;  // and it was an undo (the scene before came back)
    // This frame: Control held, or pressed and let go since the last frame (a quick Ctrl+key
    // may come whole within one frame). Read by the game's other Ctrl keys.
    bool ctrlPressed = false;

    // Keeps the level (its foreground layer is edited), builds the palette from level 0's maps
    // and remembers the layer's cells as loaded; spawner (non-owning, may be nullptr: no body
    // steps can bring a body back) spawns what undoing a removal brings back. Edit mode off,
    // painting, no history. Call after Load.
    void init(std::shared_ptr<TLevel> editedLevel, TControl* spawner = nullptr);
    // One frame of the edit keys and buttons; call after TSandbox::updateControls and before
    // TControl::updateControls, whose buttons it takes while active. grabbing: the sandbox holds
    // a body this frame (the left button then paints nothing). advances: the physics runs this
    // frame (a body moved by Select follows the pointer through the steps).
    void updateControls(bool grabbing, bool advances = true);
    // In edit mode: the grid over the foreground cells, to be drawn over the level and under
    // the bodies and the debug view. Leaves white, alpha 1, mask blending, origin (0, 0).
    void drawGrid();
    // In edit mode: refused cells flashing and the chosen kind at the pointer's cell, over
    // everything else of the scene. Leaves white, alpha 1, mask blending, line width 1, origin
    // (0, 0).
    void draw();
    // In edit mode: the palette's panel, after BeginOverlay (laid out by PaletteNow over the
    // overlay's size). Leaves white, alpha 1, mask blending, scale 1.
    void drawPalette();
    // The palette's layout over an overlay of width x height units, for the device in use (a
    // finger's cells once a finger was seen) and the row's scroll.
    PaletteLayout PaletteNow(int width, int height) const;

    // The kinds to paint: the empty cell first, then every (tile, bound) pair of level 0's
    // foreground, plain tiles by number, then the animated ones.
    const std::vector<CellKind>& Palette() const { return palette_; }
    // Palette entry under picture point (x, y) (the pointer's, a finger's logical pixels) as
    // the palette shows in the overlay now; -1 outside every entry (and outside edit mode).
    int PaletteEntryAt(int x, int y) const;

    // Takes back the last stroke / applies the last one taken back / brings back every cell as
    // loaded as one more stroke. False when there is nothing to do, or when a body stands where
    // a cell would become solid: that cell flashes and nothing changes.
    bool Undo();
    bool Redo();
    bool Revert();
    // Forgets every step (nothing to undo or redo) and any stroke under way.
    void ClearHistory();
    // The scene was just replaced as a whole (opened): one step, whose undoing gives `replaced`
    // (the text of the scene before) back through swap, and whose redoing the opened one. Ends
    // any stroke under way and what could be redone.
    void PushSceneStep(std::string replaced, SceneSwap swap);
    // Names the state the history stands at: 0 before any step, another number after each step
    // done, undone or redone, never used twice in a run. Equal numbers, equal scenes' cells.
    unsigned long long StateId() const;
    // True while a button paints or erases a stroke, or a finger draws with a tool.
    bool Painting() const { return strokeButton_ != 0 || fingerTool_; }
    // Ends the stroke under way with its cells put back (kept as a stroke when a body now
    // stands where one of them would come back solid), or a finger's drawing dropped.
    void CancelStroke();
    // Leaves edit mode (the stroke under way ends as when E is pressed).
    void Leave();
    // A finger in edit mode (TTouch), at window point (x, y): landing on the palette chooses
    // that kind, elsewhere it starts a stroke that paints as the left button does, or with
    // another tool draws or selects as the left button does; while it stays down the stroke or
    // the gesture follows it, and it ends when the finger lifts (down false).
    void FingerPaint(int x, int y, bool landed, bool down);
    // The tool for the left button; ends what the one before had under way (a move is kept, a
    // drawing dropped).
    void ChooseTool(Tool next);
    // Escape's part: drops a drawing under way, else the selection. True if there was one.
    bool DropToolWork();
    // One step of changed bodies (drawn, moved, turned, removed, duplicated, changed), already
    // done. Ends any stroke under way and what could be redone.
    void PushBodyStep(std::vector<TBodySteps::Change> changes);
    TBodySteps& Bodies() { return bodies_; }
    TBuildTools& Build() { return build_; }
    TJointTools& Joints() { return joints_; }
    TSelection& Selection() { return selection_; }
    int UndoSteps() const { return done_; }
    int RedoSteps() const { return static_cast<int>(history_.size()) - done_; }
    // Cells flashing now (for tests and drawing).
    int FlashingCells() const;

    // Calls visit(column, row) for every cell of a cellW x cellH grid that the segment from
    // (x0, y0) to (x1, y1) passes through, from the first point's cell to the last one's, each
    // step to a cell sharing an edge with the one before: a fast drag leaves no gap.
    template <class Visit>
    static void ForEachCellOnSegment(double x0, double y0, double x1, double y1, int cellW,
                                     int cellH, Visit&& visit);

  private:
    bool paintCell(int column, int row, const CellKind& kind);
    void paintAlong(double x, double y);
    void beginStroke(int button, double x, double y);
    void endStroke();
    // Applies changes (backwards when undoing); false with the blocking cells flashed when a
    // body stands in a cell that would become solid.
    bool apply(const std::vector<CellChange>& changes, bool undoing);
    // One step of the history: a stroke's cells, or a whole scene replaced, which keeps the text
    // of the scene on its other side (the one before while done, the one after while undone).
    struct Step {
        std::vector<CellChange> cells;
        std::vector<TBodySteps::Change> bodies;
        bool scene = false;
        std::string other;
        unsigned long long id = 0;
    };
    // Undoes or redoes step; false when it could not be (cells blocked, a scene refused).
    bool take(Step& step, bool undoing);
    bool bodyInCell(int column, int row) const;
    void flash(int column, int row);
    void pushHistory(std::vector<CellChange> stroke);
    void pushStep(Step step);
    CellKind strokeKind() const;
    void drawToolStrip(float x, float y) const;
    void drawJointStrip(std::string_view head, const TMachineJoint::Params& params, float x,
                        float y) const;
    // What a press at picture point (x, y) meets on the palette: an entry (>= 0), an arrow
    // (PaletteLayout::kEarlier, kLater), kOnPanel elsewhere on its panel, or PaletteLayout::kNone.
    static constexpr int kOnPanel = -4;
    int paletteHit(int x, int y) const;
    // A left press or a finger at (x, y) on the palette chooses or scrolls; true when it is on
    // the palette's panel at all (a finger there paints nothing), false off it.
    bool takePalettePress(int x, int y);

    struct Flash {
        int column = 0;
        int row = 0;
        int frames = 0;
    };

    std::shared_ptr<TLevel> level_;
    std::vector<CellKind> palette_;
    int paletteFirst_ = 0; // the first entry a scrolled row shows
    IntGrid loadedTiles_, loadedBounds_;
    std::vector<Step> history_;
    int done_ = 0; // steps of history_ applied; those after it can be redone
    unsigned long long nextId_ = 1;
    SceneSwap swap_ = nullptr;
    std::vector<CellChange> stroke_;
    int strokeButton_ = 0;             // 1 left (paint), 2 right (erase), 0 no stroke
    bool fingerStroke_ = false;        // the stroke is a finger's, not a button's
    double lastX_ = 0.0, lastY_ = 0.0; // world point the stroke has reached
    bool ctrlWasDown_ = false;         // Control held at the last frame's input
    bool shiftWasDown_ = false;
    std::array<Flash, kFlashSlots> flashes_{};
    bool fingerTool_ = false; // a finger draws or selects with the tool
    bool advances_ = true;    // this frame's physics runs (as updateControls was told)
    TBodySteps bodies_;
    TBuildTools build_;
    TJointTools joints_;
    TSelection selection_;
};

template <class Visit>
void TEditor::ForEachCellOnSegment(double x0, double y0, double x1, double y1, int cellW, int cellH,
                                   Visit&& visit) {
    if (cellW <= 0 || cellH <= 0) {
        return;
    }
    const double w = cellW;
    const double h = cellH;
    int cx = static_cast<int>(std::floor(x0 / w));
    int cy = static_cast<int>(std::floor(y0 / h));
    const int ex = static_cast<int>(std::floor(x1 / w));
    const int ey = static_cast<int>(std::floor(y1 / h));
    visit(cx, cy);
    // Walks grid lines in the order the segment meets them. The number of steps is fixed by the
    // end cell, so rounding can never make the walk miss it or run on.
    const int stepX = ex > cx ? 1 : -1;
    const int stepY = ey > cy ? 1 : -1;
    int leftX = std::abs(ex - cx);
    int leftY = std::abs(ey - cy);
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double deltaX = dx != 0.0 ? w / std::abs(dx) : INFINITY;
    const double deltaY = dy != 0.0 ? h / std::abs(dy) : INFINITY;
    double nextX = dx != 0.0 ? ((stepX > 0 ? (cx + 1) * w : cx * w) - x0) / dx : INFINITY;
    double nextY = dy != 0.0 ? ((stepY > 0 ? (cy + 1) * h : cy * h) - y0) / dy : INFINITY;
    while (leftX + leftY > 0) {
        if (leftY == 0 || (leftX > 0 && nextX <= nextY)) {
            cx += stepX;
            nextX += deltaX;
            --leftX;
        } else {
            cy += stepY;
            nextY += deltaY;
            --leftY;
        }
        visit(cx, cy);
    }
}
