#include "app/ReplayLink.hpp"

#include "app/SceneLink.hpp"
#include "media/input/InputRing.hpp"

ReplayLink::Made ReplayLink::Make(const InputRing& ring, const std::string& recording,
                                  const std::string& address, const std::string& tooLong,
                                  const std::string& tooLate) {
    Made made;
    if (ring.HoldsStart()) {
        made.text = ring.Text();
        made.what =
            "the play since the start (" + std::to_string((ring.Frames() + 59) / 60) + " s)";
    } else if (!recording.empty()) {
        made.text = recording;
        made.what = "the recording that was opened";
    } else {
        made.line = "Play began over a minute ago and a link replays from the start: " + tooLate;
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
