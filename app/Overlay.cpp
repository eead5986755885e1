#include "app/Overlay.hpp"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "bodies/BodyClass.hpp"
#include "control/SpawnKinds.hpp"
#include "media/Graphics.hpp"
#include "media/base/Clock.hpp"
#include "media/input/Input.hpp"
#include "physics/CPSpace.hpp"
#include "physics/CPSpaceHash.hpp"

int shapeCount = 0;
int fpsFrames = 0;
int fpsValue = 0;
int fpsNextTime = 0;

namespace {

// Draws label followed by the decimal value at (x, y). The text is assembled in a stack buffer:
// the overlay is drawn every frame and must not allocate.
void drawLabelled(std::string_view label, int value, float x, float y) {
    char buffer[96];
    std::size_t length = label.size() < sizeof(buffer) - 12 ? label.size() : sizeof(buffer) - 12;
    std::memcpy(buffer, label.data(), length);
    const auto result = std::to_chars(buffer + length, buffer + sizeof(buffer), value);
    length = static_cast<std::size_t>(result.ptr - buffer);
    DrawText(std::string_view(buffer, length), x, y);
}

// The white text gets a one-pixel dark shadow, drawn first and one pixel right and down, so that
// it stays readable over clouds and piles of bodies. The colour goes back to white after it.
constexpr int kShadowR = 16, kShadowG = 16, kShadowB = 24;

// A touch screen has none of the keys the first line names: two short lines instead, which
// leave a phone's picture (292 units high) to the game.
constexpr std::string_view kTouchFirstLine = " Tap: drop   hold: stream   ?: help";

void drawLines(float dx, float dy) {
    if (TouchDevice()) {
        DrawText(kTouchFirstLine, dx, dy);
        drawLabelled(" Dynamic Shapes: ", shapeCount, dx, 14.0f + dy);
        return;
    }
    DrawText(" Mouse + Clics 1/2 + up/down/left/right keys", dx, dy);
    drawLabelled(" Debug Mode : D key | Dynamic Shapes:", shapeCount, dx, 14.0f + dy);
    // A line per kind that has one, 14 pixels apart: kinds of one class share the first's.
    float y = 28.0f;
    for (const SpawnKindRow& kind : SpawnKinds()) {
        if (kind.overlayLabel != nullptr) {
            drawLabelled(kind.overlayLabel, kind.body->count(), dx, y + dy);
            y += 14.0f;
        }
    }
}

} // namespace

int countShape(CPShape* /*shape*/, void* /*data*/) {
    ++shapeCount;
    return 0;
}

void CountActiveShapes(CPSpace& space) {
    shapeCount = 0;
    space.GetActiveShapes()->ForEach(&countShape, nullptr);
}

void drawFPS() {
    // A narrow overlay (a phone's, drawn at the window's resolution) has no room for the frame
    // rate beside the first line: it goes below the counts, in the top-right corner still.
    const bool touch = TouchDevice();
    const int firstLineW = touch ? static_cast<int>(kTouchFirstLine.size()) * 8 : 45 * 8;
    const bool roomBeside = GraphicsWidth() - 80 >= firstLineW;
    const float x = static_cast<float>(GraphicsWidth() - 80);
    const float y = roomBeside ? 0.0f : touch ? 30.0f : 98.0f;
    SetColor(kShadowR, kShadowG, kShadowB);
    drawLabelled(" FPS : ", fpsValue, x + 1.0f, y + 1.0f);
    SetColor(255, 255, 255);
    drawLabelled(" FPS : ", fpsValue, x, y);
    ++fpsFrames;
    // The clock wraps at 2^32 ms: compare through the difference, which stays right across the
    // wrap, and step the window end so that it wraps with the clock.
    const int now = TimeMs();
    const int late = TimeBetween(fpsNextTime, now);
    if (late >= 0) {
        fpsValue = fpsFrames;
        fpsFrames = 0;
        // From the end of this window, not from now, so that windows stay one second apart and
        // a slow frame does not shift them. After a stall that passed more than a whole window
        // (the process stopped, the machine suspended) the next window starts now: catching up
        // one window per frame would show 1 for as many frames as the stall had seconds.
        fpsNextTime = late >= 1000 ? TimeAfter(now, 1000) : TimeAfter(fpsNextTime, 1000);
    }
}

void DrawOverlayText() {
    // All shadows first: a line's shadow must not cover the bottom of the line above it.
    SetColor(kShadowR, kShadowG, kShadowB);
    drawLines(1.0f, 1.0f);
    SetColor(255, 255, 255);
    drawLines(0.0f, 0.0f);
}
