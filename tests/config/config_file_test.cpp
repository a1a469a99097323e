#include "config/config_file.h"

#include <gtest/gtest.h>

#include "config/temp_directory.h"

namespace {

using config::ConfigFile;
using testing_support::TempDirectory;

TEST(ConfigFile, CreatesOnlyOnRequest) {
    TempDirectory dir;
    ConfigFile file;
    EXPECT_FALSE(file.open(dir.path()));
    EXPECT_FALSE(dir.exists("qvsetup.cfg"));

    ASSERT_TRUE(file.open(dir.path(), ConfigFile::Mode::CreateIfMissing));
    EXPECT_TRUE(file.created());
    file.close();
    EXPECT_EQ(dir.read("qvsetup.cfg"), "");

    dir.write("qvsetup.cfg", "COM1");
    ASSERT_TRUE(file.open(dir.path(), ConfigFile::Mode::CreateIfMissing));
    EXPECT_FALSE(file.created());
    file.close();
    EXPECT_EQ(dir.read("qvsetup.cfg"), "COM1");
}

TEST(ConfigFile, WritesInPlaceExtendsWithZerosAndNeverTruncates) {
    TempDirectory dir;
    dir.write("qvsetup.cfg", "abcdefgh");
    ConfigFile file;
    ASSERT_TRUE(file.open(dir.path()));
    EXPECT_TRUE(file.writeAt(2, "XY"));
    EXPECT_TRUE(file.writeAt(12, "Z"));
    EXPECT_EQ(file.readAt(6, 100), std::string("gh\0\0\0\0Z", 7));
    EXPECT_EQ(file.readAt(13, 4), "");
    file.close();
    EXPECT_EQ(dir.read("qvsetup.cfg"), std::string("abXYefgh\0\0\0\0Z", 13));
}

TEST(ConfigFile, MissingDirectoryFailsCleanly) {
    TempDirectory dir;
    ConfigFile file;
    EXPECT_FALSE(file.open(dir.file("absent"), ConfigFile::Mode::CreateIfMissing));
    EXPECT_EQ(file.readAt(0, 4), "");
    EXPECT_FALSE(file.writeAt(0, "COM1"));
}

}  // namespace
