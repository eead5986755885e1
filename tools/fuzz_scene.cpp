// libFuzzer target for the scene file reader: any bytes are either refused with one line, or
// read into a scene that writes out to a text that reads back and writes out the same again.
// Built only with -DDAZOZI_FUZZ=ON and clang (see tools/CMakeLists.txt); run by hand:
//   build/fuzz/tools/fuzz_scene -max_total_time=300 CORPUS_DIR

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "control/SceneFile.hpp"
#include "data/LevelData.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = (CreateLevelData(), true);
    (void)ready;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SceneFile::Scene scene;
    std::string error;
    if (!SceneFile::Read(text, scene, error)) {
        if (error.empty() || error.find('\n') != std::string::npos) {
            std::abort(); // a refusal is one line
        }
        return 0;
    }
    const std::string written = SceneFile::Write(scene);
    SceneFile::Scene again;
    if (!SceneFile::Read(written, again, error) || SceneFile::Write(again) != written) {
        std::abort(); // what was accepted must write out to a file that reads back the same
    }
    return 0;
}
