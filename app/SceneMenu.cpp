#include "app/SceneMenu.hpp"

#include <algorithm>

#include "media/Graphics.hpp"
#include "media/input/Input.hpp"
#include "media/input/Key.hpp"
#include "world/TLayer.hpp"

void SceneMenu::Reset() {
    open = false;
    selected = 0;
    lastX_ = -1;
    lastY_ = -1;
}

int SceneMenu::ExampleRows(int examples) {
    return examples > kOneColumn ? (examples + 1) / 2 : examples;
}

SceneMenu::Box SceneMenu::Panel(int lines, int examples, int width, int height) {
    examples = std::clamp(examples, 0, lines);
    const int rows = ExampleRows(examples) + lines - examples;
    Box box;
    box.w = kPanelW;
    box.h = 2.0f * kPad + kTitleH + static_cast<float>(rows) * kLineH + kFooterH;
    box.x = (static_cast<float>(width) - box.w) / 2.0f;
    box.y = (static_cast<float>(height) - box.h) / 2.0f;
    return box;
}

SceneMenu::Box SceneMenu::Line(int i, int lines, int examples, int width, int height) {
    examples = std::clamp(examples, 0, lines);
    const Box panel = Panel(lines, examples, width, height);
    const int rows = ExampleRows(examples);
    Box box;
    box.x = panel.x + kPad / 2.0f;
    box.w = panel.w - kPad;
    int row = i - examples + rows; // the saved scenes, a line each under the examples
    if (i < examples) {
        // Down the first column, then down the second.
        row = i % rows;
        if (rows < examples) {
            box.w /= 2.0f;
            box.x += static_cast<float>(i / rows) * box.w;
        }
    }
    box.y = panel.y + kPad + kTitleH + static_cast<float>(row) * kLineH;
    box.h = kLineH;
    return box;
}

int SceneMenu::LineAt(int x, int y, int lines, int examples, int width, int height) {
    for (int i = 0; i < lines; ++i) {
        if (Line(i, lines, examples, width, height).Contains(x, y)) {
            return i;
        }
    }
    return -1;
}

int SceneMenu::Update(int lines, int examples) {
    // L is read in every frame, so that a press while closed is never kept for later. Like P,
    // two taps of L in one slow frame leave the menu as it was.
    const int lHits = KeyHits(LetterKey('L'));
    if (!open) {
        if (lHits % 2 == 0 || lines <= 0) {
            return -1;
        }
        open = true;
        selected = std::clamp(selected, 0, lines - 1);
        // The line under a pointer that rests where the panel appears is not taken for a choice:
        // only a pointer that moves over the lines highlights them.
        lastX_ = MouseX();
        lastY_ = MouseY();
        // From the frame it opens, the keyboard and the left button are the menu's: a key or a
        // click that came with L was meant before the panel was there, and does nothing.
        DropKeyHitsBut(Key::Escape);
        MouseHits(MouseButton::Left);
        return -1;
    }

    const int ups = KeyHits(Key::Up);
    const int downs = KeyHits(Key::Down);
    const int enters = KeyHits(Key::Enter);
    const int sideways = KeyHits(Key::Right) - KeyHits(Key::Left);
    const int clicks = MouseHits(MouseButton::Left);
    // A finger's tap is a click where it landed: a phone has nothing else to choose with. The
    // landings are the menu's while it is open, so no finger spawns or grabs under it.
    int tapX = 0;
    int tapY = 0;
    bool tapped = false;
    for (int slot = 0; slot < FingerSlots; ++slot) {
        if (FingerLandings(slot) > 0 && !tapped) {
            tapped = true;
            tapX = FingerX(slot);
            tapY = FingerY(slot);
        }
    }
    // Escape is never the menu's: it ends the program whatever is open, as it always has.
    DropKeyHitsBut(Key::Escape);
    if (lHits > 0) {
        open = false;
        return -1;
    }
    const int width = GraphicsWidth();
    const int height = GraphicsHeight();
    selected = PositiveModulo(selected + downs - ups, lines);
    // Left and Right go to the line beside in the other column, where there is one.
    const int rows = ExampleRows(std::clamp(examples, 0, lines));
    const int beside = selected + sideways * rows;
    if (sideways != 0 && rows < examples && selected < examples && beside >= 0 &&
        beside < std::min(examples, lines)) {
        selected = beside;
    }
    const int x = MouseX();
    const int y = MouseY();
    if (x != lastX_ || y != lastY_) {
        lastX_ = x;
        lastY_ = y;
        const int hovered = LineAt(x, y, lines, examples, width, height);
        if (hovered >= 0) {
            selected = hovered;
        }
    }
    if (clicks > 0 || tapped) {
        // Where the button went down, as a stroke of the editor does: the pointer may have gone
        // on before the frame reads the click.
        int px = tapX;
        int py = tapY;
        if (clicks > 0) {
            MousePressPoint(static_cast<int>(MouseButton::Left), px, py);
        }
        open = false;
        const int clicked = LineAt(px, py, lines, examples, width, height);
        if (clicked >= 0) {
            selected = clicked;
        }
        return clicked;
    }
    if (enters > 0) {
        open = false;
        return selected;
    }
    return -1;
}
