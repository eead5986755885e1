#include "app/Toolbar.hpp"

#include <string_view>

#include "control/SpawnKinds.hpp"
#include "control/TControl.hpp"
#include "control/TEditor.hpp"
#include "control/TSandbox.hpp"
#include "media/Graphics.hpp"
#include "media/input/Input.hpp"
#include "media/input/ScriptedInput.hpp"
#include "media/window/ControlBand.hpp"

namespace {

constexpr Key kKeys[Toolbar::kAllButtons] = {
    DigitKey(1),    DigitKey(2),    DigitKey(3),    DigitKey(4), DigitKey(5),
    DigitKey(6),    DigitKey(7),    DigitKey(8),    Key::P,      Key::N,
    Key::R,         Key::D,         Key::F1,        Key::E,      LetterKey('B'),
    LetterKey('C'), LetterKey('V'), LetterKey('Q'), Key::Insert,
};
constexpr std::string_view kLabels[Toolbar::kAllButtons] = {
    "1",     "2",     "3",    "4",    "5",   "6",    "7",    "8",   "Pause", "Step",
    "Reset", "Debug", "Help", "Edit", "Box", "Circ", "Poly", "Sel", "Paint",
};

// A button's square in output pixels: the band's lines of buttons are centred in it, each
// line as many buttons as the band's length takes.
struct Square {
    float x, y, side;
};

Square ButtonSquare(int index, int count) {
    const PictureLayout layout = CurrentPictureLayout();
    const float pitch = static_cast<float>(ControlBandPitch());
    const float margin = static_cast<float>(ControlBandPitch() / 8);
    const PixelRect& b = layout.band;
    const int length = layout.bandBelow ? b.w : b.h;
    int perLine = static_cast<int>((static_cast<float>(length) - margin) / pitch);
    perLine = perLine < 1 ? 1 : perLine;
    const int lines = (count + perLine - 1) / perLine;
    const int used = (count + lines - 1) / lines; // buttons per line, evened out
    const float along =
        (static_cast<float>(length) - static_cast<float>(used) * pitch - margin) / 2.0f;
    const float a = along + margin + static_cast<float>(index % used) * pitch;
    const float across = margin + static_cast<float>(index / used) * pitch;
    const float side = pitch - margin;
    if (layout.bandBelow) {
        return {static_cast<float>(b.x) + a, static_cast<float>(b.y) + across, side};
    }
    return {static_cast<float>(b.x) + across, static_cast<float>(b.y) + a, side};
}

// The tools' buttons, in their order after the others.
constexpr TEditor::Tool kTools[Toolbar::kEditButtons] = {
    TEditor::Tool::Box, TEditor::Tool::Circle, TEditor::Tool::Polygon, TEditor::Tool::Select,
    TEditor::Tool::Paint};

bool ButtonOn(int index, const TControl& control, const TSandbox& sandbox, const TEditor& editor) {
    if (index < 8) {
        return control.currentObject == index + 1;
    }
    if (index >= Toolbar::kButtons) {
        return editor.tool == kTools[index - Toolbar::kButtons];
    }
    switch (kKeys[index]) {
    case Key::P:
        return sandbox.paused;
    case Key::D:
        return control.debugMode == 1;
    case Key::F1:
        return sandbox.helpVisible;
    case Key::E:
        return editor.active;
    default:
        return false;
    }
}

} // namespace

Key Toolbar::ButtonKey(int index) {
    return index >= 0 && index < kAllButtons ? kKeys[index] : Key::Escape;
}

int Toolbar::ButtonAt(int x, int y, int count) {
    const float ppp = PixelsPerPoint();
    const float px = static_cast<float>(x) * ppp, py = static_cast<float>(y) * ppp;
    for (int i = 0; i < count; ++i) {
        const Square q = ButtonSquare(i, count);
        if (px >= q.x && py >= q.y && px < q.x + q.side && py < q.y + q.side) {
            return i;
        }
    }
    return -1;
}

void Toolbar::update(bool editMode) {
    if (!enabled) {
        return;
    }
    if (KeyHits(LetterKey('T')) % 2 != 0) {
        visible = !visible;
    }
    count_ = editMode ? kAllButtons : kButtons;
    SetControlBand(visible ? count_ : 0, kPitch);
    int x = 0, y = 0;
    while (TakeControlPress(x, y)) {
        const int index = visible ? ButtonAt(x, y, count_) : -1;
        if (index >= 0) {
            PushKey(kKeys[index], true);
            PushKey(kKeys[index], false);
        }
    }
}

void Toolbar::Draw(const TControl& control, const TSandbox& sandbox, const TEditor& editor) const {
    if (!enabled || !visible || !BeginWindowPass()) {
        return;
    }
    // The window pass counts in window points; the squares are in output pixels.
    const float unit = PixelsPerPoint();
    for (int i = 0; i < count_; ++i) {
        const Square q = ButtonSquare(i, count_);
        const float x = q.x / unit, y = q.y / unit, side = q.side / unit;
        const bool on = ButtonOn(i, control, sandbox, editor);
        SetColor(on ? 70 : 34, on ? 62 : 40, on ? 30 : 58);
        DrawRect(x, y, side, side);
        SetColor(on ? 255 : 110, on ? 220 : 130, on ? 90 : 180);
        DrawLine(x, y, x + side - 1.0f, y, 1);
        DrawLine(x, y + side - 1.0f, x + side - 1.0f, y + side - 1.0f, 1);
        DrawLine(x, y, x, y + side - 1.0f, 1);
        DrawLine(x + side - 1.0f, y, x + side - 1.0f, y + side - 1.0f, 1);
        SetColor(255, 255, 255);
        const std::string_view label = kLabels[i];
        if (i < 8) {
            if (const SpawnKindRow* kind = FindSpawnKind(i + 1)) {
                kind->drawButton(x + side / 2.0f, y + side / 2.0f, side);
            }
            DrawText(label, x + 3.0f, y + 1.0f);
        } else {
            DrawText(label, x + (side - static_cast<float>(label.size()) * 8.0f) / 2.0f,
                     y + (side - 16.0f) / 2.0f);
        }
    }
    SetColor(255, 255, 255);
}
