#include "app/Toolbar.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
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

constexpr float kGlyphW = 8.0f;
constexpr float kGlyphH = 16.0f;

// The settings: three sliders with their knobs, as the page's button has.
void settingsPicture(float x, float y, float side) {
    SetColor(220, 220, 220);
    const float left = x + side * 0.2f, right = x + side * 0.8f;
    const float knob = side * 0.12f;
    const float knobs[3] = {0.35f, 0.6f, 0.3f};
    for (int i = 0; i < 3; ++i) {
        const float ly = y + side * (0.3f + 0.2f * static_cast<float>(i));
        DrawLine(left, ly, right, ly, 1);
        SetColor(100, 170, 255);
        const float kx = x + side * (0.2f + 0.6f * knobs[i]);
        DrawRect(kx - knob / 2.0f, ly - knob / 2.0f, knob, knob);
        SetColor(220, 220, 220);
    }
}

// The scenes: a page with lines of a list.
void scenesPicture(float x, float y, float side) {
    SetColor(220, 220, 220);
    const float l = x + side * 0.22f, r = x + side * 0.78f;
    const float t = y + side * 0.22f, b = y + side * 0.8f;
    DrawLine(l, t, r, t, 1);
    DrawLine(r, t, r, b, 1);
    DrawLine(r, b, l, b, 1);
    DrawLine(l, b, l, t, 1);
    for (int i = 0; i < 3; ++i) {
        const float ly = t + side * (0.14f + 0.14f * static_cast<float>(i));
        DrawLine(l + side * 0.1f, ly, r - side * (i == 2 ? 0.2f : 0.1f), ly, 1);
    }
}

// Save: an arrow down into a tray.
void savePicture(float x, float y, float side) {
    SetColor(220, 220, 220);
    const float cx = x + side * 0.5f;
    const float top = y + side * 0.24f, tip = y + side * 0.62f;
    DrawLine(cx, top, cx, tip, 1);
    DrawLine(cx - side * 0.14f, tip - side * 0.14f, cx, tip, 1);
    DrawLine(cx + side * 0.14f, tip - side * 0.14f, cx, tip, 1);
    const float l = x + side * 0.22f, r = x + side * 0.78f, b = y + side * 0.78f;
    DrawLine(l, y + side * 0.6f, l, b, 1);
    DrawLine(l, b, r, b, 1);
    DrawLine(r, b, r, y + side * 0.6f, 1);
}

// The joint tools' pictures: their marks as the level shows them, a finger's size.
void ringAt(float cx, float cy, float r) {
    constexpr int kPieces = 16;
    for (int i = 0; i < kPieces; ++i) {
        const float a0 = 6.2831853f * static_cast<float>(i) / kPieces;
        const float a1 = 6.2831853f * static_cast<float>(i + 1) / kPieces;
        DrawLine(cx + r * std::cos(a0), cy + r * std::sin(a0), cx + r * std::cos(a1),
                 cy + r * std::sin(a1), 1);
    }
}

// Two bars crossing at a ring with its dot: a hinge through both.
void hingePicture(float x, float y, float side) {
    const float cx = x + side * 0.5f, cy = y + side * 0.5f;
    SetColor(150, 160, 180);
    DrawLine(x + side * 0.18f, y + side * 0.7f, cx, cy, 1);
    DrawLine(cx, cy, x + side * 0.82f, y + side * 0.3f, 1);
    SetColor(255, 214, 0);
    ringAt(cx, cy, side * 0.14f);
    DrawRect(cx - 1.0f, cy - 1.0f, 2.0f, 2.0f);
}

// The ring with an arrow three quarters round it.
void motorPicture(float x, float y, float side) {
    const float cx = x + side * 0.5f, cy = y + side * 0.5f;
    const float r = side * 0.3f;
    SetColor(255, 120, 0);
    ringAt(cx, cy, side * 0.1f);
    constexpr int kPieces = 12;
    for (int i = 0; i < kPieces; ++i) {
        const float a0 = 4.712389f * static_cast<float>(i) / kPieces;
        const float a1 = 4.712389f * static_cast<float>(i + 1) / kPieces;
        DrawLine(cx + r * std::cos(a0), cy + r * std::sin(a0), cx + r * std::cos(a1),
                 cy + r * std::sin(a1), 1);
    }
    // The head at the arrow's end (straight up from the centre), turning on clockwise.
    const float tx = cx, ty = cy - r;
    DrawLine(tx, ty, tx - side * 0.1f, ty - side * 0.08f, 1);
    DrawLine(tx, ty, tx - side * 0.1f, ty + side * 0.08f, 1);
}

// A zigzag between two dots.
void springPicture(float x, float y, float side) {
    const float x0 = x + side * 0.2f, y0 = y + side * 0.75f;
    const float x1 = x + side * 0.8f, y1 = y + side * 0.25f;
    SetColor(40, 200, 255);
    constexpr int kTeeth = 6;
    float lx = x0, ly = y0;
    for (int i = 1; i <= kTeeth; ++i) {
        const float t = static_cast<float>(i) / (kTeeth + 1);
        const float off = (i % 2 == 0 ? 1.0f : -1.0f) * side * 0.08f;
        const float px = x0 + (x1 - x0) * t + off, py = y0 + (y1 - y0) * t + off;
        DrawLine(lx, ly, px, py, 1);
        lx = px;
        ly = py;
    }
    DrawLine(lx, ly, x1, y1, 1);
    SetColor(220, 220, 220);
    DrawRect(x0 - 2.0f, y0 - 2.0f, 4.0f, 4.0f);
    DrawRect(x1 - 2.0f, y1 - 2.0f, 4.0f, 4.0f);
}

// A slack line between two dots.
void ropePicture(float x, float y, float side) {
    SetColor(190, 130, 60);
    float lx = x + side * 0.2f, ly = y + side * 0.3f;
    constexpr int kPieces = 8;
    for (int i = 1; i <= kPieces; ++i) {
        const float t = static_cast<float>(i) / kPieces;
        const float px = x + side * (0.2f + 0.6f * t);
        const float py = y + side * (0.3f + 0.35f * 4.0f * t * (1.0f - t));
        DrawLine(lx, ly, px, py, 1);
        lx = px;
        ly = py;
    }
    SetColor(220, 220, 220);
    DrawRect(x + side * 0.2f - 2.0f, y + side * 0.3f - 2.0f, 4.0f, 4.0f);
    DrawRect(x + side * 0.8f - 2.0f, y + side * 0.3f - 2.0f, 4.0f, 4.0f);
}

// Two plates held by a bolt's head.
void weldPicture(float x, float y, float side) {
    const float cx = x + side * 0.5f, cy = y + side * 0.5f;
    SetColor(120, 130, 150);
    DrawRect(x + side * 0.16f, y + side * 0.36f, side * 0.38f, side * 0.28f);
    DrawRect(x + side * 0.46f, y + side * 0.36f, side * 0.38f, side * 0.28f);
    SetColor(190, 190, 205);
    constexpr int kSides = 6;
    const float r = side * 0.16f;
    for (int i = 0; i < kSides; ++i) {
        const float a0 = 0.5235988f + 1.0471976f * static_cast<float>(i);
        const float a1 = a0 + 1.0471976f;
        DrawLine(cx + r * std::cos(a0), cy + r * std::sin(a0), cx + r * std::cos(a1),
                 cy + r * std::sin(a1), 1);
    }
    DrawLine(cx - r * 0.6f, cy, cx + r * 0.6f, cy, 1);
}

constexpr Toolbar::Button kButtons[] = {
    {DigitKey(1), false, 1, nullptr, nullptr, "Ball (1)"},
    {DigitKey(2), false, 2, nullptr, nullptr, "Cube (2)"},
    {DigitKey(3), false, 3, nullptr, nullptr, "Star (3)"},
    {DigitKey(4), false, 4, nullptr, nullptr, "Squid (4)"},
    {DigitKey(5), false, 5, nullptr, nullptr, "Chain, free at both ends (5)"},
    {DigitKey(6), false, 6, nullptr, nullptr, "Bridge, fixed at both ends (6)"},
    {DigitKey(7), false, 7, nullptr, nullptr, "Rope, hanging from its start (7)"},
    {DigitKey(8), false, 8, nullptr, nullptr, "Tether to the newest star (8)"},
    {Key::P, false, 0, "Pause", nullptr, "Pause or go on (P)"},
    {Key::N, false, 0, "Step", nullptr, "One frame while paused (N)"},
    {Key::R, false, 0, "Reset", nullptr, "Start over (R)"},
    {Key::D, false, 0, "Debug", nullptr, "Debug view (D)"},
    {Key::F1, false, 0, "Help", nullptr, "Help: every key (F1)"},
    {Key::E, false, 0, "Edit", nullptr, "Edit the level (E)"},
    {LetterKey('G'), false, 0, nullptr, &settingsPicture, "Settings (G)"},
    {LetterKey('L'), false, 0, nullptr, &scenesPicture, "Scenes (L)"},
    {LetterKey('S'), true, 0, nullptr, &savePicture, "Save the scene (Ctrl+S)"},
    // Edit mode's tools, shown after the others while it is on.
    {LetterKey('B'), false, 0, "Box", nullptr, "Draw a box (B)"},
    {LetterKey('C'), false, 0, "Circ", nullptr, "Draw a circle (C)"},
    {LetterKey('V'), false, 0, "Poly", nullptr, "Draw a polygon (V)"},
    {LetterKey('Q'), false, 0, "Sel", nullptr, "Select a body or a joint (Q)"},
    {Key::Insert, false, 0, "Paint", nullptr, "Paint cells (Insert)"},
    {LetterKey('J'), false, 0, nullptr, &hingePicture, "Hinge: click where bodies overlap (J)"},
    {LetterKey('O'), false, 0, nullptr, &motorPicture, "Motor: a hinge that turns, click (O)"},
    {LetterKey('K'), false, 0, nullptr, &springPicture, "Spring: drag from body to body (K)"},
    {LetterKey('U'), false, 0, nullptr, &ropePicture, "Rope: drag from body to body (U)"},
    {LetterKey('W'), false, 0, nullptr, &weldPicture, "Weld: click where bodies overlap (W)"},
};
constexpr int kCount = static_cast<int>(sizeof kButtons / sizeof kButtons[0]);
constexpr int kAlways = kCount - 10; // the rows before the tools
// The tools of the rows from kAlways on, in their order.
constexpr TEditor::Tool kTools[kCount - kAlways] = {
    TEditor::Tool::Box,   TEditor::Tool::Circle, TEditor::Tool::Polygon, TEditor::Tool::Select,
    TEditor::Tool::Paint, TEditor::Tool::Hinge,  TEditor::Tool::Motor,   TEditor::Tool::Spring,
    TEditor::Tool::Rope,  TEditor::Tool::Weld};
// Buttons laid out now: the tools' too while edit mode is on (set by update).
int shown = kAlways;

// A button's square in output pixels: the band's lines of buttons are centred in it, each
// line as many buttons as the band's length takes.
struct Square {
    float x, y, side;
};

Square ButtonSquare(int index) {
    const PictureLayout layout = CurrentPictureLayout();
    const float pitch = static_cast<float>(ControlBandPitch());
    const float margin = static_cast<float>(ControlBandPitch() / 8);
    const PixelRect& b = layout.band;
    const int length = layout.bandBelow ? b.w : b.h;
    int perLine = static_cast<int>((static_cast<float>(length) - margin) / pitch);
    perLine = perLine < 1 ? 1 : perLine;
    const int lines = (shown + perLine - 1) / perLine;
    const int used = (shown + lines - 1) / lines; // buttons per line, evened out
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

bool ButtonOn(int index, const TControl& control, const TSandbox& sandbox, const TEditor& editor,
              ToolbarPanels panels) {
    const Toolbar::Button& button = kButtons[index];
    if (button.kind != 0) {
        return control.currentObject == button.kind;
    }
    if (index >= kAlways) {
        return editor.tool == kTools[index - kAlways];
    }
    switch (button.key) {
    case Key::P:
        return sandbox.paused;
    case Key::D:
        return control.debugMode == 1;
    case Key::F1:
        return sandbox.helpVisible;
    case Key::E:
        return editor.active;
    default:
        break;
    }
    if (button.key == LetterKey('G')) {
        return panels.settingsOpen;
    }
    if (button.key == LetterKey('L')) {
        return panels.scenesOpen;
    }
    return false;
}

void outlineBox(float x, float y, float w, float h) {
    DrawLine(x, y, x + w - 1.0f, y, 1);
    DrawLine(x, y + h - 1.0f, x + w - 1.0f, y + h - 1.0f, 1);
    DrawLine(x, y, x, y + h - 1.0f, 1);
    DrawLine(x + w - 1.0f, y, x + w - 1.0f, y + h - 1.0f, 1);
}

} // namespace

std::span<const Toolbar::Button> Toolbar::Buttons() {
    return std::span<const Button>(kButtons).first(static_cast<std::size_t>(shown));
}

Key Toolbar::ButtonKey(int index) {
    return index >= 0 && index < kCount ? kButtons[index].key : Key::Escape;
}

int Toolbar::ButtonAt(int x, int y) {
    if (ControlBandItems() == 0) {
        return -1;
    }
    const float ppp = PixelsPerPoint();
    const float px = static_cast<float>(x) * ppp, py = static_cast<float>(y) * ppp;
    for (int i = 0; i < shown; ++i) {
        const Square q = ButtonSquare(i);
        if (px >= q.x && py >= q.y && px < q.x + q.side && py < q.y + q.side) {
            return i;
        }
    }
    return -1;
}

int Toolbar::HoveredButton() {
    // The input keeps the pointer in the picture's pixels, beyond them over the band.
    const PictureLayout layout = CurrentPictureLayout();
    const float ppp = PixelsPerPoint();
    const float outX =
        static_cast<float>(layout.picture.x) + (static_cast<float>(MouseX()) + 0.5f) * layout.scale;
    const float outY =
        static_cast<float>(layout.picture.y) + (static_cast<float>(MouseY()) + 0.5f) * layout.scale;
    return ButtonAt(static_cast<int>(outX / ppp), static_cast<int>(outY / ppp));
}

Toolbar::Box Toolbar::NameBox(int index, int chars, int windowW, int windowH) {
    const Square q = ButtonSquare(index);
    const float ppp = PixelsPerPoint();
    const float x = q.x / ppp, y = q.y / ppp, side = q.side / ppp;
    Box box;
    box.w = static_cast<float>(chars) * kGlyphW + 8.0f;
    box.h = kGlyphH + 4.0f;
    if (CurrentPictureLayout().bandBelow) {
        box.x = x + side / 2.0f - box.w / 2.0f;
        box.y = y - box.h - 4.0f;
    } else {
        box.x = x - box.w - 4.0f;
        box.y = y + side / 2.0f - box.h / 2.0f;
    }
    box.x = std::clamp(box.x, 0.0f, std::max(0.0f, static_cast<float>(windowW) - box.w));
    box.y = std::clamp(box.y, 0.0f, std::max(0.0f, static_cast<float>(windowH) - box.h));
    return box;
}

void Toolbar::update(bool editMode) {
    if (!enabled) {
        return;
    }
    shown = editMode ? kCount : kAlways;
    if (KeyHits(LetterKey('T')) % 2 != 0) {
        visible = !visible;
    }
    SetControlBand(visible ? shown : 0, kPitch);
    int x = 0, y = 0;
    while (TakeControlPress(x, y)) {
        const int index = visible ? ButtonAt(x, y) : -1;
        if (index < 0) {
            continue;
        }
        const Button& button = kButtons[index];
        if (button.control) {
            PushKey(Key::Control, true);
        }
        PushKey(button.key, true);
        PushKey(button.key, false);
        if (button.control) {
            PushKey(Key::Control, false);
        }
    }
}

void Toolbar::Draw(const TControl& controller, const TSandbox& sandboxControls,
                   const TEditor& editMode, ToolbarPanels panels) const {
    if (!enabled || !visible) {
        return;
    }
    // Where the pointer is, before the window pass: the picture's layout maps it back.
    const int hovered = HoveredButton();
    if (!BeginWindowPass()) {
        return;
    }
    // The window pass counts in window points; the squares are in output pixels.
    const float unit = PixelsPerPoint();
    for (int i = 0; i < shown; ++i) {
        const Button& button = kButtons[i];
        const Square q = ButtonSquare(i);
        const float x = q.x / unit, y = q.y / unit, side = q.side / unit;
        const bool on = ButtonOn(i, controller, sandboxControls, editMode, panels);
        const bool lit = i == hovered;
        SetColor(on ? 70 : lit ? 48 : 34, on ? 62 : lit ? 58 : 40, on ? 30 : lit ? 84 : 58);
        DrawRect(x, y, side, side);
        SetColor(on ? 255 : lit ? 200 : 110, on ? 220 : lit ? 215 : 130, on ? 90 : lit ? 255 : 180);
        outlineBox(x, y, side, side);
        SetColor(255, 255, 255);
        if (button.kind != 0) {
            if (const SpawnKindRow* kind = FindSpawnKind(button.kind)) {
                kind->drawButton(x + side / 2.0f, y + side / 2.0f, side);
            }
            const char digit[2] = {static_cast<char>('0' + button.kind), '\0'};
            DrawText(std::string_view(digit, 1), x + 3.0f, y + 1.0f);
        } else if (button.label != nullptr) {
            const std::string_view label = button.label;
            DrawText(label, x + (side - static_cast<float>(label.size()) * kGlyphW) / 2.0f,
                     y + (side - kGlyphH) / 2.0f);
        } else if (button.picture != nullptr) {
            button.picture(x, y, side);
        }
        SetColor(255, 255, 255);
    }
    if (hovered >= 0) {
        const std::string_view name = kButtons[hovered].name;
        const Box box =
            NameBox(hovered, static_cast<int>(name.size()), GraphicsWidth(), GraphicsHeight());
        SetColor(20, 24, 40);
        DrawRect(box.x, box.y, box.w, box.h);
        SetColor(200, 215, 255);
        outlineBox(box.x, box.y, box.w, box.h);
        SetColor(255, 255, 255);
        DrawText(name, box.x + 4.0f, box.y + 2.0f);
    }
    SetColor(255, 255, 255);
}
