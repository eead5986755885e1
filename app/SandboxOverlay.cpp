#include "app/SandboxOverlay.hpp"

#include <string_view>

#include "control/TSandbox.hpp"
#include "media/Graphics.hpp"
#include "media/input/Input.hpp"

namespace {

constexpr int kGlyphW = 8;
constexpr int kGlyphH = 16;

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

constexpr std::string_view kHelp[] = {
    "Controls",
    "",
    "Arrow keys            push the player squid",
    "1 - 8 (or keypad)     choose what to drop",
    "Left click            drop one",
    "Right button (held)   drop many (1 - 5)",
    "D                     debug view",
    "Escape                quit",
    "",
    "Sandbox",
    "",
    "Middle button (held)  grab, move, release to throw",
    "Shift + left button   grab and throw (touchpads)",
    "P                     pause / resume",
    "N                     one frame while paused",
    "R                     start over",
    "F1 / H                this help",
    "F12                   screenshot",
    "Ctrl+S                save the scene",
    "S                     share a link (in the page)",
    "F11 / Alt+Enter       full screen",
    "",
    "Edit mode",
    "",
    "E                     edit mode on / off",
    "Left / right button   paint / erase cells",
    "Wheel, (Shift+)Tab    choose what to paint",
    "Ctrl+Z                undo a stroke",
    "Ctrl+Y, Ctrl+Shift+Z  redo",
    "Home                  the level as it loaded",
};

void drawHelp() {
    constexpr int kLines = static_cast<int>(sizeof kHelp / sizeof kHelp[0]);
    constexpr float kPanelW = 440.0f;
    constexpr float kLineH = 18.0f;
    constexpr float kPad = 16.0f;
    const float panelH = kLines * kLineH + 2.0f * kPad;
    const float x = (static_cast<float>(GraphicsWidth()) - kPanelW) / 2.0f;
    const float y = (static_cast<float>(GraphicsHeight()) - panelH) / 2.0f;

    SetBlend(3);
    SetColor(8, 12, 28);
    SetAlpha(0.82f);
    DrawRect(x, y, kPanelW, panelH);
    SetAlpha(1.0f);
    SetColor(120, 150, 220);
    DrawLine(x, y, x + kPanelW, y, 1);
    DrawLine(x, y + panelH, x + kPanelW, y + panelH, 1);
    DrawLine(x, y, x, y + panelH, 1);
    DrawLine(x + kPanelW, y, x + kPanelW, y + panelH, 1);
    SetColor(255, 255, 255);
    SetBlend(1);

    for (int i = 0; i < kLines; ++i) {
        const std::string_view line = kHelp[i];
        const float ly = y + kPad + static_cast<float>(i) * kLineH;
        if (line == "Controls" || line == "Sandbox" || line == "Edit mode") {
            SetColor(255, 220, 90);
            DrawText(line, x + kPad, ly);
            SetColor(255, 255, 255);
        } else {
            DrawText(line, x + kPad, ly);
        }
    }
}

// Below and right of the pointer, clear of the arrow; turned to the other side of the pointer
// where it would leave the window.
void drawChooseHint() {
    constexpr std::string_view kChoose = "1-8: choose what to drop";
    constexpr float kTextW = static_cast<float>(kChoose.size() * kGlyphW);
    const float px = static_cast<float>(MouseX());
    const float py = static_cast<float>(MouseY());
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

void SandboxOverlay::Draw(const TSandbox& sandbox, bool playerLost, bool editing) {
    const float h = static_cast<float>(GraphicsHeight());
    const float w = static_cast<float>(GraphicsWidth());
    if (sandbox.paused) {
        constexpr std::string_view kPaused = "PAUSED";
        // Below the edit mode's palette when it is shown.
        const float top = editing ? 64.0f : 6.0f;
        SetScale(2.0f, 2.0f);
        shadowedText(kPaused, centred(kPaused, 2.0f), top);
        SetScale(1.0f, 1.0f);
        constexpr std::string_view kKeys = "P: resume   N: one frame";
        shadowedText(kKeys, centred(kKeys, 1.0f), top + 34.0f);
    }
    if (playerLost) {
        constexpr std::string_view kLost = "The player squid is lost: press R to start over";
        shadowedText(kLost, centred(kLost, 1.0f), h - 2.0f * kGlyphH - 8.0f);
    }
    if (hintEnabled && sandbox.frames <= kHintFrames && !sandbox.helpVisible) {
        constexpr std::string_view kHint = "F1: help";
        shadowedText(kHint, w - static_cast<float>(kHint.size() * kGlyphW) - 8.0f,
                     h - kGlyphH - 6.0f);
    }
    if (noticeFrames_ > 0) {
        --noticeFrames_;
        shadowedText(notice_, 8.0f, h - kGlyphH - 6.0f);
    }
    if (chooseHintFrames_ > 0) {
        --chooseHintFrames_;
        drawChooseHint();
    }
    if (sandbox.helpVisible) {
        drawHelp();
    }
}
