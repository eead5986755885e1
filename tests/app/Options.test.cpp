#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/Options.hpp"
#include "support/TempFolder.hpp"

namespace {
Options parse(std::initializer_list<const char*> args) {
    std::vector<const char*> argv{"dazozi-redov"};
    argv.insert(argv.end(), args.begin(), args.end());
    return Options::Parse(static_cast<int>(argv.size()), argv.data());
}
} // namespace

TEST(Options, NoOptionsPlaysAsUsualWithoutFiles) {
    const Options o = parse({});
    EXPECT_EQ(o.action, Options::Action::Run);
    EXPECT_TRUE(o.recordPath.empty());
    EXPECT_TRUE(o.replayPath.empty());
}

TEST(Options, RecordReplayHelpAndVersion) {
    Options o = parse({"--record", "a.txt", "--replay", "b.txt"});
    EXPECT_EQ(o.action, Options::Action::Run);
    EXPECT_EQ(o.recordPath, "a.txt");
    EXPECT_EQ(o.replayPath, "b.txt");
    EXPECT_EQ(parse({"--help"}).action, Options::Action::Help);
    EXPECT_EQ(parse({"-h"}).action, Options::Action::Help);
    EXPECT_EQ(parse({"--version"}).action, Options::Action::Version);
    // Help wins over what follows it, whatever that is.
    EXPECT_EQ(parse({"--help", "--bogus"}).action, Options::Action::Help);
}

TEST(Options, BadCommandLinesFailWithOneLine) {
    struct Case {
        std::initializer_list<const char*> args;
        const char* error;
    };
    const Case cases[] = {
        {{"--bogus"}, "unknown option '--bogus' (see --help)"},
        {{"level.txt"}, "unknown option 'level.txt' (see --help)"},
        {{"--record"}, "--record needs a FILE (see --help)"},
        {{"--replay", ""}, "--replay needs a FILE (see --help)"},
        {{"--record", "a", "--record", "b"}, "--record given twice"},
        {{"--record", "a", "--replay", "a"}, "--record and --replay name the same file a"},
    };
    for (const Case& c : cases) {
        const Options o = parse(c.args);
        EXPECT_EQ(o.action, Options::Action::Fail) << c.error;
        EXPECT_EQ(o.error, c.error);
        EXPECT_EQ(o.error.find('\n'), std::string::npos);
    }
}

// Recording over the file being replayed would destroy it, whatever the spelling.
TEST(Options, RecordingOverTheReplayedFileIsRefusedUnderAnySpelling) {
    const TempFolder folder;
    const std::string file = folder.File("session.txt");
    std::ofstream(file) << "frames 1\n";
    const std::string other = folder.File("sub/../session.txt");
    std::filesystem::create_directories(folder.Path() / "sub");
    Options o = parse({"--replay", file.c_str(), "--record", other.c_str()});
    EXPECT_EQ(o.action, Options::Action::Fail);
    EXPECT_EQ(o.error, "--record and --replay name the same file " + other);
    const std::string elsewhere = folder.File("new.txt");
    o = parse({"--replay", file.c_str(), "--record", elsewhere.c_str()});
    EXPECT_EQ(o.action, Options::Action::Run);
}
