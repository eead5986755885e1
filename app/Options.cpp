#include "app/Options.hpp"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "media/base/FilePath.hpp"

const char* Options::Usage() {
    return "usage: dazozi-redov [options]\n"
           "\n"
           "A 2D physics playground. It reads and writes no file but these: F12 saves the\n"
           "picture shown as dazozi-redov-DATE-TIME.png in your pictures folder\n"
           "(XDG_PICTURES_DIR, else ~/Pictures, made when missing); Ctrl+S saves the scene\n"
           "as dazozi-redov-DATE-TIME.json in 'Dazozi Redov' in your documents folder\n"
           "(XDG_DOCUMENTS_DIR, else ~/Documents, else the working folder); --record writes\n"
           "FILE; --replay and --scene read it; a scene file or a recording dropped on the\n"
           "window opens.\n"
           "\n"
           "options:\n"
           "  --record FILE   play as usual and write every input event and each frame's clock\n"
           "                  to FILE (the scenario runner's script format)\n"
           "  --replay FILE   play the input of FILE back in the window (your own input is\n"
           "                  ignored until it ends); 'scenario --script FILE' replays it\n"
           "                  without a window\n"
           "  --scene FILE    start with the scene saved in FILE (Ctrl+S saves one)\n"
           "  --help          print this text\n"
           "  --version       print the version\n";
}

Options Options::Parse(int argc, const char* const* argv) {
    Options options;
    auto fail = [&options](std::string message) {
        options.action = Action::Fail;
        options.error = std::move(message);
        return options;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i] != nullptr ? argv[i] : "";
        if (arg == "--help" || arg == "-h") {
            options.action = Action::Help;
            return options;
        }
        if (arg == "--version") {
            options.action = Action::Version;
            return options;
        }
        if (arg == "--record" || arg == "--replay" || arg == "--scene") {
            if (i + 1 >= argc || argv[i + 1] == nullptr || argv[i + 1][0] == '\0') {
                return fail(std::string(arg) + " needs a FILE (see --help)");
            }
            std::string& path = arg == "--record"   ? options.recordPath
                                : arg == "--replay" ? options.replayPath
                                                    : options.scenePath;
            if (!path.empty()) {
                return fail(std::string(arg) + " given twice");
            }
            path = argv[++i];
            continue;
        }
        return fail("unknown option '" + std::string(arg) + "' (see --help)");
    }
    // Recording over the file being replayed would destroy it: the same file under two
    // spellings (./a and a, a link) counts as the same.
    std::error_code ignored;
    if (!options.recordPath.empty() && !options.replayPath.empty() &&
        (options.recordPath == options.replayPath ||
         std::filesystem::equivalent(FilePath::FromUtf8(options.recordPath),
                                     FilePath::FromUtf8(options.replayPath), ignored))) {
        return fail("--record and --replay name the same file " + options.recordPath);
    }
    return options;
}
