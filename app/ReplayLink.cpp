#include "app/ReplayLink.hpp"

#include <cstdio>

#include "app/ReplayStarts.hpp"
#include "app/SceneLink.hpp"
#include "media/input/InputRing.hpp"
#include "media/input/InputScript.hpp"

namespace {

std::string seconds(int frames) {
    return std::to_string((frames + 59) / 60) + " s";
}

} // namespace

std::string ReplayLink::FromStart(const InputRing& ring, const ReplayStarts::Start& start) {
    std::string prelude = "frame 0: mouse " + std::to_string(start.pointerX) + " " +
                          std::to_string(start.pointerY) + "\n";
    if (start.windowW > 0 && start.windowH > 0) {
        char line[64];
        std::snprintf(line, sizeof line,
                      start.pixelsPerPoint == 1.0f ? "frame 0: window %d %d\n"
                                                   : "frame 0: window %d %d %g\n",
                      start.windowW, start.windowH, static_cast<double>(start.pixelsPerPoint));
        prelude += line;
    }
    return ring.TextFrom(start.frame,
                         prelude + "frame 0: drop " + InputScript::DropWord(start.scene) + "\n");
}

ReplayLink::Made ReplayLink::Make(const InputRing& ring, const ReplayStarts* starts,
                                  const std::string& recording, const std::string& address,
                                  const std::string& tooLong, const std::string& tooLate) {
    Made made;
    const ReplayStarts::Start* start = starts ? starts->OldestFrom(ring.FirstFrame()) : nullptr;
    if (ring.HoldsStart()) {
        made.text = ring.Text();
        made.what = "the play since the start (" + seconds(ring.Frames()) + ")";
    } else if (start != nullptr) {
        made.text = FromStart(ring, *start);
        made.what = "the last minute of play (" +
                    seconds(ring.FirstFrame() + ring.Frames() - start->frame) + ")";
    } else if (!recording.empty()) {
        made.text = recording;
        made.what = "the recording that was opened";
    } else {
        made.line = "Play began over a minute ago and no moment of the last one can start a "
                    "replay (a key or button held, or a panel open, throughout): " +
                    tooLate;
        return made;
    }
    const std::string link = address + "#replay=" + SceneLink::Encode(made.text);
    if (link.size() > SceneLink::kMaxLinkBytes) {
        made.line = "This replay makes a link of " + std::to_string((link.size() + 1023) / 1024) +
                    " KB, more than a link carries (" +
                    std::to_string(SceneLink::kMaxLinkBytes / 1024) + " KB): " + tooLong;
        return made;
    }
    made.ok = true;
    made.link = link;
    return made;
}
