#include "app/HelpPanel.hpp"

#include <algorithm>

namespace {

using Row = HelpPanel::Row;

constexpr float kGlyphW = 8.0f;
constexpr float kGlyphH = 16.0f;
constexpr float kKeyChars = 22.0f; // where the roomy panel's descriptions start

constexpr Row kKeys[] = {
    {"Controls", "", ""},
    {"Arrow keys", "push the player squid", "Arrows: push the squid"},
    {"1 - 8 (or keypad)", "choose what to drop", "1-8: choose what to drop"},
    {"Left click", "drop one", "Left click: drop one"},
    {"Right button (held)", "drop many (1 - 5)", "Right held: drop many (1-5)"},
    {"D", "debug view", "D: debug view"},
    {"Escape", "close what is open, or quit", "Esc: close what is open, quit"},
    {"Sandbox", "", ""},
    {"Middle button (held)", "grab, move, release to throw", "Middle held: grab and throw"},
    {"Shift + left button", "grab and throw (touchpads)", "Shift+left: grab (touchpads)"},
    {"P", "pause / resume", "P: pause / resume"},
    {"N", "one frame while paused", "N: one frame while paused"},
    {"R", "start over", "R: start over"},
    {"F1 / H", "this help", "F1 / H: this help"},
    {"F12", "screenshot", "F12: screenshot"},
    {"Ctrl+S", "save the scene", "Ctrl+S: save the scene"},
    {"Ctrl+O", "open what you left unsaved", "Ctrl+O: open what you left"},
    {"S", "share a link (in the page)", "S: share a link (the page)"},
    {"Ctrl+L", "replay link (page: Share)", "Ctrl+L: replay link"},
    {"F11 / Alt+Enter", "full screen", "F11, Alt+Enter: full screen"},
    {"L", "scenes (Ctrl+Z: back)", "L: scenes (Ctrl+Z: back)"},
    {"T", "toolbar beside the picture", "T: toolbar beside the picture"},
    {"G", "settings (arrows, +/- clicks)", "G: settings (arrows, +/-)"},
    {"View", "", ""},
    {"Ctrl+wheel, + / -", "zoom around the pointer", "Ctrl+wheel, +/-: zoom"},
    {"Space + drag", "move the view", "Space+drag: move the view"},
    {"F", "follow the player again", "F: follow the player again"},
    {"Edit mode", "", ""},
    {"E", "edit mode on / off", "E: edit mode on / off"},
    {"Left / right button", "paint / erase cells", "Left/right: paint/erase cells"},
    {"Wheel, (Shift+)Tab", "choose what to paint", "Wheel, Tab: choose a cell"},
    {"Ctrl+Z", "undo a stroke or a scene", "Ctrl+Z: undo a stroke, a scene"},
    {"Ctrl+Y, Ctrl+Shift+Z", "redo", "Ctrl+Y, Ctrl+Shift+Z: redo"},
    {"Home", "the level as it loaded", "Home: the level as it loaded"},
    {"B / C / V", "draw a box / circle / polygon", "B/C/V: box, circle, polygon"},
    {"M / X", "material / fixed or free", "M/X: material, fixed or free"},
    {"Q", "select: drag; wheel, [ ]: turn", "Q: select, drag; [ ]: turn"},
    {"J / O / W", "hinge / motor / weld: click", "J/O/W: hinge, motor, weld"},
    {"K / U", "spring / rope: drag", "K/U: spring, rope (drag)"},
    {"Z / A / I", "motor: speed / way / on, off", "Z/A/I: motor speed, way, on"},
    {"Y / Shift+Y", "spring: stiffness / damping", "Y, Shift+Y: spring stiff, damp"},
    {"End", "when a joint breaks", "End: when a joint breaks"},
    {"Delete / Ctrl+D", "remove / duplicate selected", "Del / Ctrl+D: remove, copy"},
    {"Insert", "paint cells again", "Insert: paint cells again"},
};

// A touch screen's: what a finger does, then the page's buttons. Only the brief is shown.
constexpr Row kTouch[] = {
    {"Fingers", "", ""},
    {"", "-", "Tap: drop what the kind buttons chose"},
    {"", "-", "Hold still: drop a stream of them"},
    {"", "-", "Finger on the squid: drag to steer it"},
    {"", "-", "Finger on a body: grab it, lift to throw"},
    {"", "-", "Two fingers: pinch to zoom, drag to pan"},
    {"Buttons", "", ""},
    {"", "-", "Pause, Step: stop time, one frame"},
    {"", "-", "Reset: start over   Debug: the shapes"},
    {"", "-", "Undo, Redo: strokes and opened scenes"},
    {"", "-", "Scenes: examples and your saved ones"},
    {"", "-", "Settings: gravity, speed, sleeping"},
    {"", "-", "Share: a link   Open: a scene file"},
    {"Edit mode (the Edit button)", "", ""},
    {"", "-", "One finger paints; a second grabs a body"},
    {"", "-", "Box, Circle, Poly: draw   Select: pick"},
    {"", "-", "Hinge, Motor, Weld: tap   Spring, Rope: drag"},
    {"", "-", "Tap the palette to choose (arrows: more)"},
    {"", "-", "Help again closes this"},
};

bool isHeading(const Row& row) {
    return row.what.empty();
}

void add(HelpPanel::Layout& l, std::string_view text, float x, float y, bool heading) {
    if (l.count < HelpPanel::kMaxTexts && !text.empty()) {
        l.texts[static_cast<std::size_t>(l.count++)] = {text, x, y, heading};
    }
}

float textW(std::string_view text) {
    return static_cast<float>(text.size()) * kGlyphW;
}

// The keys' panel in one column, key and description side by side: roomy (a blank line around
// each heading) where that fits, else closed up to the font's height without blanks.
bool oneColumn(HelpPanel::Layout& l, std::span<const Row> rows, float width, float height) {
    constexpr float kPanelW = 440.0f;
    int headings = 0;
    for (const Row& row : rows) {
        headings += isHeading(row) ? 1 : 0;
    }
    const int lines = static_cast<int>(rows.size());
    // A blank after every heading and before every one but the first.
    const int blanks = 2 * headings - 1;
    float lineH = 18.0f, blankH = 18.0f, pad = 16.0f;
    float panelH = static_cast<float>(lines + blanks) * lineH + 2.0f * pad;
    if (panelH > height) {
        lineH = kGlyphH;
        blankH = 0.0f; // the yellow headings still part the sections
        pad = 6.0f;
        panelH = static_cast<float>(lines) * lineH + 2.0f * pad;
    }
    if (panelH > height || width < kPanelW) {
        return false;
    }
    l.w = kPanelW;
    l.h = panelH;
    l.x = std::max(0.0f, (width - kPanelW) / 2.0f);
    l.y = std::max(0.0f, (height - panelH) / 2.0f);
    float y = l.y + pad;
    bool first = true;
    for (const Row& row : rows) {
        if (isHeading(row)) {
            y += first ? 0.0f : blankH;
            add(l, row.key, l.x + pad, y, true);
            y += lineH + blankH;
            first = false;
            continue;
        }
        add(l, row.key, l.x + pad, y, false);
        add(l, row.what, l.x + pad + kKeyChars * kGlyphW, y, false);
        y += lineH;
    }
    return true;
}

// Brief lines in as many columns as the width takes (two, or one), at the smaller of the two
// pitches that fits; a column never ends with a heading.
void briefColumns(HelpPanel::Layout& l, std::span<const Row> rows, float width, float height) {
    constexpr float kPad = 6.0f, kGap = 12.0f;
    float columnW = 0.0f;
    for (const Row& row : rows) {
        columnW = std::max(columnW, textW(isHeading(row) ? row.key : row.brief));
    }
    const int n = static_cast<int>(rows.size());
    const bool two = 2.0f * columnW + kGap + 2.0f * kPad <= width;
    int perColumn = two ? (n + 1) / 2 : n;
    if (two && isHeading(rows[static_cast<std::size_t>(perColumn - 1)])) {
        --perColumn;
    }
    const int tallest = two ? std::max(perColumn, n - perColumn) : n;
    // The font is 16 high; lines 14 apart still leave its letters apart (as the counts do).
    float pitch = kGlyphH;
    if (static_cast<float>(tallest) * pitch + 2.0f * kPad > height) {
        pitch = 14.0f;
    }
    l.w = std::min(width, (two ? 2.0f * columnW + kGap : columnW) + 2.0f * kPad);
    l.h = static_cast<float>(tallest - 1) * pitch + kGlyphH + 2.0f * kPad;
    l.x = std::max(0.0f, (width - l.w) / 2.0f);
    l.y = std::max(0.0f, (height - l.h) / 2.0f);
    for (int i = 0; i < n; ++i) {
        const Row& row = rows[static_cast<std::size_t>(i)];
        const bool second = two && i >= perColumn;
        const int line = second ? i - perColumn : i;
        const float x = l.x + kPad + (second ? columnW + kGap : 0.0f);
        const float y = l.y + kPad + static_cast<float>(line) * pitch;
        add(l, isHeading(row) ? row.key : row.brief, x, y, isHeading(row));
    }
}

} // namespace

std::span<const Row> HelpPanel::KeyRows() {
    return kKeys;
}

std::span<const Row> HelpPanel::TouchRows() {
    return kTouch;
}

HelpPanel::Layout HelpPanel::For(int width, int height, bool touch) {
    Layout l;
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    if (touch) {
        briefColumns(l, kTouch, w, h);
    } else if (!oneColumn(l, kKeys, w, h)) {
        briefColumns(l, kKeys, w, h);
    }
    return l;
}
