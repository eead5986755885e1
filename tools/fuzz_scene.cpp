// libFuzzer target for the scene file reader and the checks of what a scene asks of the game: any
// bytes are either refused with one line (no control bytes), or read into a scene that writes out
// to a text that reads back and writes out the same again.
// Built only with -DDAZOZI_FUZZ=ON and clang (see tools/CMakeLists.txt); run by hand:
//   build/fuzz/tools/fuzz_scene -max_total_time=300 CORPUS_DIR

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "control/SceneFit.hpp"
#include "data/LevelData.hpp"
#include "scene/SceneFormat.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = (CreateLevelData(), true);
    (void)ready;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SceneFormat::Scene scene;
    std::string error;
    if (!SceneFormat::Read(text, scene, error) || !SceneFit::Check(scene, error)) {
        const bool raw = std::any_of(error.begin(), error.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
        });
        if (error.empty() || raw) {
            std::abort(); // a refusal is one line, safe for a terminal
        }
        return 0;
    }
    const std::string written = SceneFormat::Write(scene);
    SceneFormat::Scene again;
    if (!SceneFormat::Read(written, again, error) || SceneFormat::Write(again) != written) {
        std::abort(); // what was accepted must write out to a file that reads back the same
    }
    return 0;
}
