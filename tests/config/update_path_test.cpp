#include "config/update_path.h"

#include <gtest/gtest.h>

#include "config/temp_directory.h"

namespace {

using config::StorePathResult;
using testing_support::TempDirectory;

std::string motorFields() {
    return std::string(" 4\0\0012.50", 9);
}

std::string existingFile() {
    std::string bytes(256, '\0');
    bytes.replace(0, 4, "COM3");
    return bytes + motorFields();
}

TEST(UpdatePath, WritesLineBreakAndBlockAndNothingElse) {
    TempDirectory dir;
    dir.write("qvsetup.cfg", existingFile());
    const std::string path = "C:\\fw\\A3012B3010.upd";
    EXPECT_EQ(config::storeUpdatePath(dir.path(), path), StorePathResult::Stored);

    std::string expected = existingFile();
    expected.replace(30, 2, "\r\n");
    expected.replace(32, path.size() + 21, path + '\0' + std::string(20, ' '));
    EXPECT_EQ(dir.read("qvsetup.cfg"), expected);
}

TEST(UpdatePath, LongestPathEndsRightBeforeTheMotorFields) {
    TempDirectory dir;
    dir.write("qvsetup.cfg", existingFile());
    const std::string path(config::maxStoredPathLength, 'p');
    EXPECT_EQ(config::storeUpdatePath(dir.path(), path), StorePathResult::Stored);
    const std::string bytes = dir.read("qvsetup.cfg");
    EXPECT_EQ(bytes.substr(255, 1), " ");
    EXPECT_EQ(bytes.substr(256), motorFields());
}

TEST(UpdatePath, LongerPathIsNotStoredAtAll) {
    TempDirectory dir;
    dir.write("qvsetup.cfg", existingFile());
    const std::string path(config::maxStoredPathLength + 1, 'p');
    EXPECT_EQ(config::storeUpdatePath(dir.path(), path), StorePathResult::PathTooLong);
    EXPECT_EQ(dir.read("qvsetup.cfg"), existingFile());
}

TEST(UpdatePath, MissingFileIsNotCreated) {
    TempDirectory dir;
    EXPECT_EQ(config::storeUpdatePath(dir.path(), "a.upd"), StorePathResult::CannotOpen);
    EXPECT_FALSE(dir.exists("qvsetup.cfg"));
}

TEST(UpdatePath, ShortFileIsExtendedWithZeros) {
    TempDirectory dir;
    dir.write("qvsetup.cfg", "COM1");
    EXPECT_EQ(config::storeUpdatePath(dir.path(), "x.upd"), StorePathResult::Stored);
    const std::string expected =
        "COM1" + std::string(26, '\0') + "\r\nx.upd" + '\0' + std::string(20, ' ');
    EXPECT_EQ(dir.read("qvsetup.cfg"), expected);
}

}  // namespace
