// Entry point of the web build: the same start-up, set-up and frame as the desktop program,
// with the browser's display callback as the loop around the frame.
#include "app/Game.hpp"
#include "app/Screenshot.hpp"
#include "bodies/TBall.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "control/TControl.hpp"
#include "control/TEditor.hpp"
#include "control/TSandbox.hpp"
#include "control/TSettings.hpp"
#include "media/FrameLoop.hpp"
#include "media/input/Input.hpp"
#include "media/input/Key.hpp"
#include "media/input/ScriptedInput.hpp"
#include "physics/CPSpace.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

#include <emscripten.h>

#include <ctime>
#include <string>

namespace {
// x (or y) of the body of the index-th instance in a kind's live list; NaN when there is none.
template <class List> double Coordinate(const List& list, int index, bool x) {
    if (list) {
        auto it = list->ObjectEnumerator();
        for (int i = 0; it.HasNext(); ++i) {
            auto& object = it.NextObject();
            if (i == index && object->_body) {
                const CPVect p = object->_body->GetPosition();
                return x ? p.x : p.y;
            }
        }
    }
    return __builtin_nan("");
}
} // namespace

// What the page's browser test reads of the game (Module._dazozi_probe(what, index)), so it
// can check what a click or a key did without reading text off the screen:
// 0 balls alive, 1 / 2 ball `index`'s x / y in level pixels, 3 / 4 the player's x / y,
// 5 the view's horizontal scroll, 6 the debug view (1 on, -1 off), 7 KeyDown(index) as the
// game reads it, 8 the selected kind (0 none), 9 paused (1 or 0), 10 the help panel shown (1 or
// 0), 11 stars alive, 12 / 13 star `index`'s x / y, 14 the level's static shapes (edit mode
// changes them), 15 edit mode on (1 or 0), 16 the settings panel shown (1 or 0). NaN for
// anything else. The page's toolbar reads 8 to 10, 15 and 16 to mark its buttons.
extern "C" EMSCRIPTEN_KEEPALIVE double dazozi_probe(int what, int index) {
    switch (what) {
    case 0:
        return TBall::Count();
    case 1:
    case 2:
        return Coordinate(TBall::liveList, index, what == 1);
    case 3:
    case 4:
        if (player && player->_body) {
            const CPVect p = player->_body->GetPosition();
            return what == 3 ? p.x : p.y;
        }
        break;
    case 5:
        return level && level->_FGLayer ? level->_FGLayer->ScrollX : 0;
    case 6:
        return control ? control->debugMode : 0;
    case 7:
        return KeyDown(index);
    case 8:
        return control ? control->currentObject : 0;
    case 9:
        return sandbox && sandbox->paused ? 1 : 0;
    case 10:
        return sandbox && sandbox->helpVisible ? 1 : 0;
    case 11:
        return TStar::Count();
    case 12:
    case 13:
        return Coordinate(TStar::liveList, index, what == 12);
    case 14:
        return level && level->_FGLayer ? level->_FGLayer->spaceMap->CountStaticShapes() : 0;
    case 15:
        return editor && editor->active ? 1 : 0;
    case 16:
        return gameSettings && gameSettings->open ? 1 : 0;
    default:
        break;
    }
    return __builtin_nan("");
}

// The page's toolbar drives the game with the keys it would otherwise need a keyboard for: a
// button is the key pressed (down 1) or released (down 0), as the program's own pushed input,
// so the game reads it where it reads the key and a recording keeps it. Keys the game does not
// know are ignored.
extern "C" EMSCRIPTEN_KEEPALIVE void dazozi_key(int vk, int down) {
    if (vk > 0 && vk < KeyCodeCount)
        PushKey(vk, down != 0);
}

// F12 in the page: a browser has no pictures folder, and the page's own file system goes with
// the tab. The picture is handed to the browser as a download instead, and not kept here. It is
// encoded into the page's file system row by row as it is read (the game's own memory, which
// never shrinks, stays as it was); the browser's copy goes with the download.
std::string downloadScreenshot() {
    const std::string name = Screenshot::FileName(std::time(nullptr));
    const std::string path = "/tmp/" + name;
    if (!SaveBackBufferPng(path))
        return "Screenshot could not be saved";
    // clang-format off
    const int handed = EM_ASM_INT({
        const path = UTF8ToString($0);
        try {
            const bytes = FS.readFile(path);
            FS.unlink(path);
            const url = URL.createObjectURL(new Blob([bytes], {type: 'image/png'}));
            const link = document.createElement('a');
            link.href = url;
            link.download = UTF8ToString($1);
            document.body.appendChild(link);
            link.click();
            link.remove();
            setTimeout(() => URL.revokeObjectURL(url), 60000);
            return 1;
        } catch (error) {
            // The browser's memory ran out for a copy of the picture.
            try { FS.unlink(path); } catch (ignored) {}
            return 0;
        }
    }, path.c_str(), name.c_str());
    // clang-format on
    if (!handed)
        return "Screenshot could not be handed to the browser";
    return "Screenshot downloaded: " + name;
}

int main() {
    FrameLoop::Prepare();
    if (!StartUp(GraphicsTarget::Window))
        return 1;
    initGame();
    // A person is playing here, as in the desktop window: the corner hint tells them about F1.
    EnableHelpHint(true);
    SetScreenshotSaver(&downloadScreenshot);
    FrameLoop::Run(updateGame);
}
