#include "media/base/KnownFolder.hpp"

#include "media/base/FilePath.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

// Windows names the user's pictures and documents folders itself: absolute paths, in the user's
// profile, each its own (Wine makes them as C:\users\NAME\Pictures and ...\Documents).
TEST(KnownFolderTest, PicturesAndDocumentsAreTheUsersOwnFolders) {
    const std::string pictures = KnownFolder::Path(KnownFolder::Kind::Pictures);
    const std::string documents = KnownFolder::Path(KnownFolder::Kind::Documents);
    for (const std::string& folder : {pictures, documents}) {
        ASSERT_FALSE(folder.empty());
        EXPECT_TRUE(FilePath::FromUtf8(folder).is_absolute()) << folder;
    }
    EXPECT_NE(pictures, documents);
    EXPECT_EQ(FilePath::FromUtf8(pictures).filename(), "Pictures");
    EXPECT_EQ(FilePath::FromUtf8(documents).filename(), "Documents");
    // In the user's profile, not under a HOME variable (which Windows does not set).
    const char* profile = std::getenv("USERPROFILE");
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(FilePath::FromUtf8(pictures).parent_path(), FilePath::FromUtf8(profile));
}
