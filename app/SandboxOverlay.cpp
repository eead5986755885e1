#include "app/SandboxOverlay.hpp"

#include <algorithm>
#include <string_view>

#include "app/HelpPanel.hpp"
#include "app/SceneMenu.hpp"
#include "control/TEditor.hpp"
#include "control/TSandbox.hpp"
#include "control/TSettings.hpp"
#include "data/ExampleScenes.hpp"
#include "media/Graphics.hpp"
#include "media/input/Input.hpp"

namespace {

constexpr int kGlyphW = 8;
constexpr int kGlyphH = 16;
// How far a kind's picture at the pointer reaches from it, in the picture's pixels.
constexpr float kPointerPictureReach = 40.0f;

// White text with a one-pixel dark shadow: readable over sky, clouds and piles of bodies.
void shadowedText(std::string_view text, float x, float y) {
    SetColor(16, 16, 24);
    DrawText(text, x + 1.0f, y + 1.0f);
    SetColor(255, 255, 255);
    DrawText(text, x, y);
}

float centred(std::string_view text, float scale) {
    return (static_cast<float>(GraphicsWidth()) -
            static_cast<float>(text.size()) * kGlyphW * scale) /
           2.0f;
}

// The panels' frame: dark and mostly opaque, so that text reads over any scene, with a thin
// light border. Leaves white, alpha 1, mask blending.
void drawPanel(float x, float y, float w, float h) {
    SetBlend(Blend::Alpha);
    SetColor(8, 12, 28);
    SetAlpha(0.82f);
    DrawRect(x, y, w, h);
    SetAlpha(1.0f);
    SetColor(120, 150, 220);
    DrawLine(x, y, x + w, y, 1);
    DrawLine(x, y + h, x + w, y + h, 1);
    DrawLine(x, y, x, y + h, 1);
    DrawLine(x + w, y, x + w, y + h, 1);
    SetColor(255, 255, 255);
    SetBlend(Blend::Mask);
}

void drawHelp() {
    const HelpPanel::Layout panel =
        HelpPanel::For(GraphicsWidth(), GraphicsHeight(), TouchDevice());
    drawPanel(panel.x, panel.y, panel.w, panel.h);
    for (const HelpPanel::Text& text : panel.Texts()) {
        if (text.heading) {
            SetColor(255, 220, 90);
        }
        DrawText(text.text, text.x, text.y);
        SetColor(255, 255, 255);
    }
}

void drawSceneMenu(const SceneMenu& menu, std::span<const ExampleScene> scenes) {
    const int lines = static_cast<int>(scenes.size());
    // The examples come first; the user's saved scenes (lines without a text of their own) after.
    const auto examples = static_cast<int>(
        std::find_if(scenes.begin(), scenes.end(),
                     [](const ExampleScene& scene) { return scene.text.empty(); }) -
        scenes.begin());
    const int width = GraphicsWidth();
    const int height = GraphicsHeight();
    const SceneMenu::Box panel = SceneMenu::Panel(lines, examples, width, height);
    drawPanel(panel.x, panel.y, panel.w, panel.h);
    constexpr float kTextInset = 8.0f; // text starts this far into a line's box
    const float textX = panel.x + SceneMenu::kPad;

    SetColor(255, 220, 90);
    DrawText("Example scenes", textX, panel.y + SceneMenu::kPad);
    for (int i = 0; i < lines; ++i) {
        const SceneMenu::Box line = SceneMenu::Line(i, lines, examples, width, height);
        const float textY = line.y + (line.h - kGlyphH) / 2.0f;
        if (i == menu.selected) {
            SetBlend(Blend::Alpha);
            SetColor(70, 110, 200);
            SetAlpha(0.75f);
            DrawRect(line.x, line.y, line.w, line.h);
            SetAlpha(1.0f);
            SetBlend(Blend::Mask);
            SetColor(255, 220, 90);
            DrawText(">", line.x + kTextInset, textY);
        }
        // The user's own saved scenes in green.
        const ExampleScene& scene = scenes[static_cast<std::size_t>(i)];
        if (scene.text.empty()) {
            SetColor(170, 235, 170);
        } else {
            SetColor(255, 255, 255);
        }
        DrawText(scene.name, line.x + SceneMenu::kPad / 2.0f + 2.0f * kGlyphW, textY);
    }
    SetColor(150, 170, 210);
    DrawText(SceneMenu::ExampleRows(examples) < examples ? "Arrows, Enter: open   L: close"
                                                         : "Up/Down, Enter: open   L: close",
             textX, panel.y + panel.h - SceneMenu::kPad - kGlyphH);
    SetColor(255, 255, 255);
}

// A small outlined square with a centred sign on it: the panel's - and + buttons.
void drawButton(float x, float y, char sign) {
    constexpr float kW = TSettings::kButtonW;
    SetBlend(Blend::Alpha);
    SetColor(60, 80, 130);
    DrawRect(x, y, kW, kW - 4.0f);
    SetBlend(Blend::Mask);
    SetColor(255, 255, 255);
    const char text[2] = {sign, '\0'};
    DrawText(std::string_view(text, 1), x + (kW - kGlyphW) / 2.0f,
             y + (kW - 4.0f - kGlyphH) / 2.0f);
}

// The settings panel: a title, one row per setting with its value between - and +, the reset
// row; the row the arrow keys act on is marked and lit.
void drawSettings(const TSettings& settings) {
    const float x = TSettings::PanelX();
    drawPanel(x, TSettings::kPanelY, TSettings::kPanelW, TSettings::PanelH());
    SetColor(255, 220, 90);
    DrawText("Settings (G closes)", x + TSettings::kPad, TSettings::kPanelY + 6.0f);
    SetColor(255, 255, 255);
    for (int row = 0; row < TSettings::RowCount; ++row) {
        const float y = TSettings::RowY(row);
        const bool chosen = row == settings.selected;
        if (chosen) {
            SetBlend(Blend::Alpha);
            SetColor(70, 100, 170);
            SetAlpha(0.5f);
            DrawRect(x + 4.0f, y, TSettings::kPanelW - 8.0f, TSettings::kRowH - 2.0f);
            SetAlpha(1.0f);
            SetBlend(Blend::Mask);
            SetColor(255, 255, 255);
        }
        const float textY = y + (TSettings::kRowH - 2.0f - kGlyphH) / 2.0f;
        DrawText(chosen ? ">" : " ", x + 6.0f, textY);
        DrawText(TSettings::RowName(row), x + TSettings::kPad + 8.0f, textY);
        if (row == TSettings::Reset) {
            continue;
        }
        const float buttonY = y + 1.0f;
        drawButton(TSettings::MinusX(), buttonY, '-');
        drawButton(TSettings::PlusX(), buttonY, '+');
        const std::string_view value = settings.ValueText(row);
        // Centred between the two buttons.
        const float left = TSettings::MinusX() + TSettings::kButtonW;
        const float span = TSettings::PlusX() - left;
        DrawText(value, left + (span - static_cast<float>(value.size() * kGlyphW)) / 2.0f, textY);
    }
}

// Below and right of the pointer, clear of the arrow; turned to the other side of the pointer
// where it would leave the window.
void drawChooseHint() {
    constexpr std::string_view kChoose = "1-8: choose what to drop";
    constexpr float kTextW = static_cast<float>(kChoose.size() * kGlyphW);
    // The pointer is in the picture's pixels; the overlay may be drawn at the window's.
    const float px = static_cast<float>(MouseX()) * OverlayScale();
    const float py = static_cast<float>(MouseY()) * OverlayScale();
    float x = px + 14.0f;
    float y = py + 18.0f;
    if (x + kTextW > static_cast<float>(GraphicsWidth()) - 4.0f) {
        x = px - 6.0f - kTextW;
    }
    if (y + kGlyphH > static_cast<float>(GraphicsHeight()) - 4.0f) {
        y = py - 8.0f - kGlyphH;
    }
    shadowedText(kChoose, x, y);
}

} // namespace

void SandboxOverlay::ShowChooseHint() {
    chooseHintFrames_ = kChooseHintFrames;
}

void SandboxOverlay::ShowNotice(const std::string& text) {
    notice_ = text;
    noticeFrames_ = kNoticeFrames;
}

void SandboxOverlay::Draw(const TSandbox& sandbox, bool playerLost, const TEditor* editMode,
                          const TSettings* settings) {
    const float h = static_cast<float>(GraphicsHeight());
    const float w = static_cast<float>(GraphicsWidth());
    if (sandbox.paused) {
        constexpr std::string_view kPaused = "PAUSED";
        constexpr float kPausedW = static_cast<float>(kPaused.size() * kGlyphW) * 2.0f;
        // In a narrow overlay (a small window) the word moves right of the counts' long lines
        // in the top-left corner, and below them when it would reach the frame rate's corner.
        constexpr float kCountsW = 368.0f, kFpsW = 88.0f;
        float x = std::max(centred(kPaused, 2.0f), kCountsW);
        float top = 6.0f;
        if (x + kPausedW > w - kFpsW) {
            x = centred(kPaused, 2.0f);
            top = 104.0f;
        }
        // Below the edit mode's palette when it is shown.
        if (editMode != nullptr && editMode->active) {
            const PaletteLayout::Box panel =
                editMode->PaletteNow(GraphicsWidth(), GraphicsHeight()).panel;
            top = std::max(top, panel.y + panel.h + 6.0f);
        }
        SetScale(2.0f, 2.0f);
        shadowedText(kPaused, x, top);
        SetScale(1.0f, 1.0f);
        constexpr std::string_view kKeys = "P: resume   N: one frame";
        const float keysW = static_cast<float>(kKeys.size() * kGlyphW);
        shadowedText(kKeys, x + (kPausedW - keysW) / 2.0f, top + 34.0f);
    }
    if (playerLost) {
        constexpr std::string_view kLost = "The player squid is lost: press R to start over";
        shadowedText(kLost, centred(kLost, 1.0f), h - 2.0f * kGlyphH - 8.0f);
    }
    if (hintEnabled && sandbox.frames <= kHintFrames && !sandbox.helpVisible) {
        // A touch screen has no F1: its help is the page's "?" button.
        const std::string_view hint = TouchDevice() ? "?: help" : "F1: help";
        const float hintW = static_cast<float>(hint.size() * kGlyphW);
        const float x = w - hintW - 8.0f;
        float y = h - kGlyphH - 6.0f;
        // The selected kind's picture follows the pointer (a scene opened at the start selects
        // one at once): where the pointer rests in this corner, the hint stands above it.
        const float reach = kPointerPictureReach * OverlayScale();
        const float px = static_cast<float>(MouseX()) * OverlayScale();
        const float py = static_cast<float>(MouseY()) * OverlayScale();
        if (px + reach > x && px - reach < x + hintW && py + reach > y) {
            y = std::max(0.0f, py - reach - kGlyphH);
        }
        shadowedText(hint, x, y);
    }
    if (noticeFrames_ > 0) {
        --noticeFrames_;
        shadowedText(notice_, 8.0f, h - kGlyphH - 6.0f);
    }
    if (chooseHintFrames_ > 0) {
        --chooseHintFrames_;
        drawChooseHint();
    }
    if (settings != nullptr && settings->open) {
        drawSettings(*settings);
    } else if (settings != nullptr && !settings->AtDefaults()) {
        // Where the panel stands when open: a scene opened with its own gravity or speed
        // behaves unlike the level, and the panel is closed.
        constexpr std::string_view kChanged = "Settings differ from the level's (G)";
        shadowedText(kChanged, w - static_cast<float>(kChanged.size() * kGlyphW) - 8.0f,
                     TSettings::kPanelY);
    }
    if (sandbox.helpVisible) {
        drawHelp();
    }
}

void SandboxOverlay::DrawSceneMenu(const SceneMenu& menu, std::span<const ExampleScene> scenes) {
    if (menu.open) {
        drawSceneMenu(menu, scenes);
    }
}
