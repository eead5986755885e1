#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

// A folder of one test's own, made empty under the test temp folder and removed with all it
// holds when the object goes. ctest runs the cases of one executable as parallel processes, and
// two checkouts may test side by side, so a fixed name under /tmp would be shared between them:
// one case's clean-up would pull the folder from under another.
class TempFolder {
  public:
    TempFolder() {
        const std::string pattern = ::testing::TempDir() + "dazozi-test-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (!mkdtemp(name.data()))
            throw std::runtime_error("cannot make a folder like " + pattern);
        path_ = name.data();
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder itself; valid while this object lives.
    const std::filesystem::path& Path() const { return path_; }
    // The path of a file called `name` inside the folder (the file is not made).
    std::string File(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};
