#include "media/base/FilePath.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace {

// A folder of the test's own with a name no other test uses, removed at the end. (No mkdtemp:
// this file is also built into the Windows unit tests.)
class NamedFolder {
  public:
    explicit NamedFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                FilePath::FromUtf8(name + "-" + std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(path_);
    }
    ~NamedFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    NamedFolder(const NamedFolder&) = delete;
    NamedFolder& operator=(const NamedFolder&) = delete;
    std::string Utf8() const { return FilePath::ToUtf8(path_); }

  private:
    std::filesystem::path path_;
};

} // namespace

// Names in several scripts survive the trip to a path and back unchanged.
TEST(FilePathTest, Utf8TextAndPathsRoundTrip) {
    for (const char* text :
         {"plain.txt", "Bilder \xc3\xa4\xc3\xb6\xc3\xbc", "\xe7\x94\xbb\xe5\x83\x8f/a b.png",
          "\xf0\x9f\x8e\x88 scene.json", ""}) {
        EXPECT_EQ(FilePath::ToUtf8(FilePath::FromUtf8(text)), text);
    }
}

// The folder and file names a user may have: a folder is made, found, written into, a file
// renamed in it and found under its new name, each named in UTF-8 text only.
TEST(FilePathTest, NonAsciiNamesWorkWithTheFileCalls) {
    const NamedFolder base("dazozi-filepath-\xc3\xa4");
    const std::string folder = base.Utf8() + "/Bilder \xc3\xa4 \xe7\x94\xbb \xf0\x9f\x8e\x88";
    std::error_code ec;
    ASSERT_TRUE(std::filesystem::create_directories(FilePath::FromUtf8(folder), ec))
        << ec.message();
    EXPECT_TRUE(std::filesystem::is_directory(FilePath::FromUtf8(folder)));
    const std::string part = folder + "/sc\xc3\xa8ne.json.part";
    const std::string whole = folder + "/sc\xc3\xa8ne.json";
    {
        std::ofstream out(FilePath::FromUtf8(part), std::ios::binary);
        out << "{}";
    }
    std::filesystem::rename(FilePath::FromUtf8(part), FilePath::FromUtf8(whole), ec);
    EXPECT_FALSE(ec) << ec.message();
    EXPECT_FALSE(std::filesystem::exists(FilePath::FromUtf8(part)));
    std::ifstream in(FilePath::FromUtf8(whole), std::ios::binary);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "{}");
    // Listing the folder gives the names back as they were written.
    bool found = false;
    for (const auto& entry : std::filesystem::directory_iterator(FilePath::FromUtf8(folder))) {
        found = found || FilePath::ToUtf8(entry.path().filename()) == "sc\xc3\xa8ne.json";
    }
    EXPECT_TRUE(found);
}
