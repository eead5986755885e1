// Entry point of the web build: the same start-up, set-up and frame as the desktop program,
// with the browser's display callback as the loop around the frame.
#include "app/Autosave.hpp"
#include "app/BodyHash.hpp"
#include "app/Game.hpp"
#include "app/ReplayLink.hpp"
#include "app/ReplayStarts.hpp"
#include "app/SceneDocument.hpp"
#include "app/SceneLink.hpp"
#include "app/Screenshot.hpp"
#include "bodies/BodyClass.hpp"
#include "bodies/TSquid.hpp"
#include "control/SpawnKinds.hpp"
#include "control/TControl.hpp"
#include "control/TEditor.hpp"
#include "control/TSandbox.hpp"
#include "control/TSettings.hpp"
#include "media/base/ProgramEnd.hpp"
#include "media/frame/FrameLoop.hpp"
#include "media/input/Input.hpp"
#include "media/input/InputRing.hpp"
#include "media/input/InputScript.hpp"
#include "media/input/Key.hpp"
#include "media/input/ScriptedInput.hpp"
#include "physics/CPSpace.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

#include "Probe.hpp"

#include <emscripten.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

namespace {
// Kind's instance `index` (in creation order): its x or y in level pixels; NaN when none.
double Coordinate(SpawnKind kind, int index, bool x) {
    std::shared_ptr<CPBody> body;
    if (FindSpawnKind(kind)->body->bodyOf(index, body)) {
        const CPVect p = body->GetPosition();
        return x ? p.x : p.y;
    }
    return __builtin_nan("");
}

// How many instances of the kind's class are listed.
int CountOf(SpawnKind kind) {
    return FindSpawnKind(kind)->body->count();
}

// Texts cross between the page and the game through two properties of Module: the page leaves
// one in Module[name] and the game takes it (and clears it); the game's answers go to
// Module.dazoziOutbox. Strings of any length, without the page managing the game's memory.
std::string takeFromPage(const char* name) {
    // clang-format off
    const int size = EM_ASM_INT({
        const text = Module[UTF8ToString($0)];
        return typeof text === 'string' ? lengthBytesUTF8(text) : -1;
    }, name);
    // clang-format on
    if (size < 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    // clang-format off
    EM_ASM({
        const key = UTF8ToString($0);
        stringToUTF8(Module[key], $1, $2);
        Module[key] = null;
    }, name, text.data(), text.size());
    // clang-format on
    text.resize(static_cast<std::size_t>(size));
    return text;
}

void answerPage(const std::string& text) {
    EM_ASM({ Module.dazoziOutbox = UTF8ToString($0, $1); }, text.data(), text.size());
}

// A refusal or a warning, shown by the page for a moment.
void noticeInPage(const std::string& text) {
    EM_ASM(
        {
            if (Module.onNotice)
                Module.onNotice(UTF8ToString($0));
        },
        text.c_str());
}

// The page's state folder is the browser's local storage for the page: the scene is kept there
// when the game ends with work the user has not saved (Escape, or the tab going away), and
// offered back at the next start (Ctrl+O).
constexpr char kUnsavedKey[] = "dazozi-redov-unsaved-scene";

void keepUnsavedWork() {
    if (!Autosave::Unsaved())
        return;
    const std::string text = CurrentSceneText();
    // clang-format off
    const int kept = EM_ASM_INT({
        try {
            localStorage.setItem(UTF8ToString($0), UTF8ToString($1));
            return 1;
        } catch (error) {
            return 0;
        }
    }, kUnsavedKey, text.c_str());
    // clang-format on
    if (kept) {
        Autosave::MarkSaved();
    } else {
        std::fprintf(stderr, "dazozi-redov: the unsaved scene could not be kept: the browser's "
                             "storage refused it\n");
    }
}

bool unsavedWorkWaiting() {
    // clang-format off
    return EM_ASM_INT({
        try {
            return localStorage.getItem(UTF8ToString($0)) !== null ? 1 : 0;
        } catch (error) {
            return 0;
        }
    }, kUnsavedKey) != 0;
    // clang-format on
}

// Ctrl+O: the kept scene opens (one step to undo), and the browser's copy has done its job.
std::string openLeftWork() {
    // clang-format off
    EM_ASM({
        try {
            Module.dazoziLeftWork = localStorage.getItem(UTF8ToString($0));
        } catch (error) {
            Module.dazoziLeftWork = null;
        }
    }, kUnsavedKey);
    // clang-format on
    const std::string text = takeFromPage("dazoziLeftWork");
    if (text.empty())
        return "Nothing was left unsaved";
    std::string error;
    if (!OpenSceneText(text, error))
        return "What you left cannot be opened: " + error;
    EM_ASM(
        {
            try {
                localStorage.removeItem(UTF8ToString($0));
            } catch (error) {
            }
        },
        kUnsavedKey);
    return "What you left is back (Ctrl+Z: the scene before)";
}

// A recording the page opened plays from the program's first frame, as --replay plays it, then
// hands over to the user. Static: the frames read it through SetGameReplay's pointer.
InputScript recording;
bool replaying = false;
// Its text, which Share replay offers once play has outgrown the ring.
std::string recordingText;
// The last minute of play since the page started: what Share replay makes a link of.
InputRing pageRing(ReplayLink::kRingFrames, ReplayLink::kRingBytes);
ReplayStarts pageStarts; // where a link of the last minute starts
// The bodies' hash when the recording handed over (the page's test compares it with the
// desktop's); empty before.
std::string handOverHash;
// The hash asked for some frames ahead (dazozi_hash_after), taken between two frames.
int hashFrame = -1;
std::string askedHash;

// Reads a recording's text. False with one line naming what is wrong, under name.
bool loadRecording(const std::string& text, const std::string& name, InputScript& script,
                   std::string& error) {
    // The reader takes files: the page's own file system holds the text for the moment.
    const std::string path = "/tmp/recording.txt";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
    }
    script = InputScript();
    const bool ok = script.Load(path, error);
    std::remove(path.c_str());
    if (error.starts_with(path)) {
        error = name + error.substr(path.size());
    } else if (!error.empty()) {
        error = name + ": " + error;
    }
    return ok;
}

// A scene file's text begins with its JSON object; anything else is read as a recording.
bool looksLikeScene(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    return first != std::string::npos && (text[first] == '{' || text[first] == '[');
}

// Frames a link's recording may play after its last event. A link is a stranger's: what it
// plays is bounded by what it holds, whatever frame count it claims (10^9 frames would hold the
// keys and clicks for ever).
constexpr int kLinkReplayTail = 120;

void boundByWhatItHolds(InputScript& script) {
    const int held = script.events.empty() ? 0 : script.events.rbegin()->first + 1;
    if (script.Length() > held + kLinkReplayTail) {
        script.frames = held + kLinkReplayTail;
    }
}

// What the page opens, from a file or a link. 1: the scene is open; 2: a recording that reads
// well, which the page starts over with (startingReplay: started now; fromLink: bounded by what
// it holds); 0: refused, the scene as it was, and the reason in error. While a recording plays,
// a scene is refused as the user's keys are ignored.
int openText(const std::string& text, const std::string& name, bool isScene, bool startingReplay,
             bool fromLink, std::string& error) {
    if (isScene && replaying) {
        error = name + ": not opened while a replay plays (Escape or Take over ends it)";
        return 0;
    }
    if (isScene) {
        if (!OpenSceneText(text, error)) {
            error = name + ": " + error;
            return 0;
        }
        // Opened between frames, as a file dropped on the desktop's window: a replay opens it
        // before the same frame.
        pageRing.Drop(text);
        return 1;
    }
    InputScript script;
    if (!loadRecording(text, name, script, error)) {
        return 0;
    }
    if (startingReplay) {
        if (fromLink) {
            boundByWhatItHolds(script);
        }
        recording = std::move(script);
        recordingText = text;
        SetGameReplay(&recording);
        SetScriptedInputOnly(true);
        replaying = true;
    }
    return 2;
}

// The page's frame: a recording that has run out hands over to the user, as on the desktop,
// and the bodies' hash of that moment is kept.
void pageFrame() {
    // A scene the recording opened opens before its frame, as the desktop's replay opens it.
    if (replaying) {
        if (const std::string* text = recording.DropAt(GameFrameNumber())) {
            std::string error;
            if (OpenSceneText(*text, error)) {
                pageRing.Drop(*text);
            } else {
                noticeInPage("The recording's dropped scene: " + error);
            }
        }
    }
    if (replaying && GameFrameNumber() >= recording.Length()) {
        handOverHash = BodyHash::OfLiveBodies().Hex();
        replaying = false;
    }
    HandOverWhenReplayEnds();
    if (GameFrameNumber() == hashFrame) {
        askedHash = BodyHash::OfLiveBodies().Hex();
        hashFrame = -1;
    }
    updateGame();
}

// The page started with a recording it was handed (a file opened earlier, kept in the tab's
// session storage) or with a link in its address: either opens before the first frame.
void openWhatThePageStartsWith() {
    std::string error;
    const std::string handed = takeFromPage("dazoziStartRecording");
    if (!handed.empty()) {
        // A refusal, or the warning of a recording cut short (which still plays).
        openText(handed, takeFromPage("dazoziStartName"), false, true, false, error);
        if (!error.empty()) {
            noticeInPage(error);
        }
        return;
    }
    const std::string fragment = takeFromPage("dazoziStartLink");
    if (fragment.empty()) {
        return;
    }
    SceneLink::Kind kind = SceneLink::Kind::Scene;
    std::string_view payload;
    std::string text;
    if (!SceneLink::SplitFragment(fragment, kind, payload, error) ||
        !SceneLink::Decode(payload, text, error)) {
        noticeInPage("This link cannot be opened: " + error);
        return;
    }
    const std::string name = std::string("The #") + SceneLink::Name(kind) + " link";
    // A refusal, or the warning of a recording cut short.
    openText(text, name, kind == SceneLink::Kind::Scene, true, true, error);
    if (!error.empty()) {
        noticeInPage(error);
    }
}
} // namespace

// What the page's browser test reads of the game (Module._dazozi_probe(what, index), `what` one
// of Probe), so it can check what a click or a key did without reading text off the screen.
// NaN for anything else. The page's toolbar reads Kind, Paused, Help, Edit and Settings to mark
// its buttons.
extern "C" EMSCRIPTEN_KEEPALIVE double dazozi_probe(int what, int index) {
    const Probe asked = static_cast<Probe>(what);
    switch (asked) {
    case Probe::Balls:
        return CountOf(SpawnKind::Ball);
    case Probe::BallX:
    case Probe::BallY:
        return Coordinate(SpawnKind::Ball, index, asked == Probe::BallX);
    case Probe::PlayerX:
    case Probe::PlayerY:
        if (player && player->_body) {
            const CPVect p = player->_body->GetPosition();
            return asked == Probe::PlayerX ? p.x : p.y;
        }
        break;
    case Probe::ScrollX:
        return level && level->_FGLayer ? level->_FGLayer->ScrollX : 0;
    case Probe::ZoomStep:
        return level ? level->ZoomStep() : 0;
    case Probe::Following:
        return level && level->Following() ? 1 : 0;
    case Probe::Debug:
        return control ? control->debugMode : 0;
    case Probe::KeyDown:
        return KeyDown(index);
    case Probe::Kind:
        return control ? control->currentObject : 0;
    case Probe::Paused:
        return sandbox && sandbox->paused ? 1 : 0;
    case Probe::Help:
        return sandbox && sandbox->helpVisible ? 1 : 0;
    case Probe::Stars:
        return CountOf(SpawnKind::Star);
    case Probe::StarX:
    case Probe::StarY:
        return Coordinate(SpawnKind::Star, index, asked == Probe::StarX);
    case Probe::StaticShapes:
        return level && level->_FGLayer ? level->_FGLayer->spaceMap->CountStaticShapes() : 0;
    case Probe::Edit:
        return editor && editor->active ? 1 : 0;
    case Probe::Settings:
        return gameSettings && gameSettings->open ? 1 : 0;
    case Probe::Replaying:
        return replaying ? 1 : 0;
    case Probe::SceneMenu:
        return SceneMenuOpen() ? 1 : 0;
    default:
        break;
    }
    return __builtin_nan("");
}

// The page's toolbar drives the game with the keys it would otherwise need a keyboard for: a
// button is the key pressed (down 1) or released (down 0), as the program's own pushed input,
// so the game reads it where it reads the key and a recording keeps it. Keys the game does not
// know are ignored.
// While a recording plays, the toolbar is ignored as the keyboard is: the replay is the
// recording's alone.
extern "C" EMSCRIPTEN_KEEPALIVE void dazozi_key(int vk, int down) {
    if (vk > 0 && vk < KeyCodeCount && !replaying)
        PushKey(vk, down != 0);
}

// The page runs on a touch screen (a phone): help and the overlay show what fingers do.
extern "C" EMSCRIPTEN_KEEPALIVE void dazozi_touch_device() {
    SetTouchDevice(true);
}

// Escape or Take over while a recording plays: the replay stops where it is and the game is the
// user's from the next frame, as when a recording runs out. 0 when none was playing.
extern "C" EMSCRIPTEN_KEEPALIVE int dazozi_take_over() {
    if (!replaying)
        return 0;
    replaying = false;
    recording.frames = GameFrameNumber();
    HandOverWhenReplayEnds();
    noticeInPage("The replay stopped: the game is yours");
    return 1;
}

// Share (S): the current scene as a link's payload (SceneLink) in Module.dazoziOutbox. 0 with
// the reason there instead when the scene cannot be written.
extern "C" EMSCRIPTEN_KEEPALIVE int dazozi_share() {
    const std::string text = CurrentSceneText();
    if (text.empty()) {
        answerPage("This scene cannot be shared yet.");
        return 0;
    }
    answerPage(SceneLink::Encode(text));
    return 1;
}

// Share replay: a #replay= link (ReplayLink) of the play since the page started while that is
// under a minute, else of its last minute (from a scene pageStarts kept), else of the recording
// the page opened. The page's address without its
// fragment in Module.dazoziAddress. 1: the link in Module.dazoziOutbox, what it replays in
// Module.dazoziReplayWhat. 0: the line saying why not in Module.dazoziOutbox; when the link is
// only too long, the recording's text in Module.dazoziReplayFile for a download ("" otherwise).
extern "C" EMSCRIPTEN_KEEPALIVE int dazozi_share_replay() {
    const ReplayLink::Made made = ReplayLink::Make(
        pageRing, &pageStarts, recordingText, takeFromPage("dazoziAddress"),
        "download it as a file to share it.", "reload the page, play, and share within a minute.");
    const std::string file = made.ok || made.text.empty() ? std::string() : made.text;
    EM_ASM({ Module.dazoziReplayFile = UTF8ToString($0, $1); }, file.data(), file.size());
    EM_ASM({ Module.dazoziReplayWhat = UTF8ToString($0, $1); }, made.what.data(), made.what.size());
    answerPage(made.ok ? made.link : made.line);
    return made.ok ? 1 : 0;
}

// Ctrl+S in the page: the current scene file's text in Module.dazoziOutbox (0 when there is
// none); the page hands it to the browser as a download.
extern "C" EMSCRIPTEN_KEEPALIVE int dazozi_save() {
    const std::string text = CurrentSceneText();
    answerPage(text.empty() ? std::string("This scene cannot be saved yet.") : text);
    return text.empty() ? 0 : 1;
}

// Open and drop: the text in Module.dazoziOpenText, named Module.dazoziOpenName in notices.
// 1: the scene is open. 2: a recording that reads well; the page starts over with it. 0: refused
// and the scene stays; the line naming what is wrong goes to Module.dazoziOutbox. A cut short
// recording (2) leaves its warning there too; "" otherwise.
extern "C" EMSCRIPTEN_KEEPALIVE int dazozi_open() {
    const std::string text = takeFromPage("dazoziOpenText");
    const std::string name = takeFromPage("dazoziOpenName");
    std::string error;
    const int opened = openText(text, name, looksLikeScene(text), false, false, error);
    answerPage(error);
    return opened;
}

// A link typed into the address of the running page (the fragment changed without a reload):
// Module.dazoziOpenText holds the fragment. As dazozi_open; a #replay= link answers 2, and the
// page reloads to play it from the first frame.
extern "C" EMSCRIPTEN_KEEPALIVE int dazozi_open_link() {
    const std::string fragment = takeFromPage("dazoziOpenText");
    SceneLink::Kind kind = SceneLink::Kind::Scene;
    std::string_view payload;
    std::string text;
    std::string error;
    if (!SceneLink::SplitFragment(fragment, kind, payload, error) ||
        !SceneLink::Decode(payload, text, error)) {
        answerPage("This link cannot be opened: " + error);
        return 0;
    }
    const std::string name = std::string("The #") + SceneLink::Name(kind) + " link";
    const int opened = openText(text, name, kind == SceneLink::Kind::Scene, false, true, error);
    answerPage(error);
    return opened;
}

// The bodies' hash (BodyHash, 16 hexadecimal digits) to Module.dazoziOutbox: which 0, when the
// page's recording handed over; which 1, as dazozi_hash_after asked. 0 while there is none yet.
extern "C" EMSCRIPTEN_KEEPALIVE int dazozi_hash(int which) {
    const std::string& hash = which == 0 ? handOverHash : askedHash;
    answerPage(hash);
    return hash.empty() ? 0 : 1;
}

// Takes the bodies' hash after `frames` more frames have run (0: before the next frame), for
// dazozi_hash(1). Called between frames, as the page's scripts run, so the count is exact.
extern "C" EMSCRIPTEN_KEEPALIVE void dazozi_hash_after(int frames) {
    askedHash.clear();
    hashFrame = GameFrameNumber() + frames;
}

// The page is going away (the tab closed, reloaded or left): unsaved work is kept as at the end.
extern "C" EMSCRIPTEN_KEEPALIVE void dazozi_keep_unsaved() {
    keepUnsavedWork();
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
    // The scene menu's examples open here as on the desktop; Ctrl+Z brings back the scene before.
    SetSceneOpener(&OpenSceneText, &RestorePreviousScene);
    // Every frame keeps its input from the first: a scene the page starts with goes in before.
    SetGameRing(&pageRing);
    SetReplayStarts(&pageStarts, &CurrentSceneText);
    openWhatThePageStartsWith();
    // The start, or what the page was handed, is what the user has; only changes are work.
    Autosave::MarkSaved();
    SetLeftWorkOpener(&openLeftWork);
    SetEndProgramHandler(&keepUnsavedWork);
    if (unsavedWorkWaiting())
        ShowNotice("Ctrl+O: open what you left");
    FrameLoop::Run(pageFrame);
}
