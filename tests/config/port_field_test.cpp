#include "config/port_field.h"

#include <gtest/gtest.h>

#include "config/temp_directory.h"

namespace {

using config::PortFileStatus;
using testing_support::TempDirectory;

TEST(PortField, MissingFileIsCreatedEmptyAndReadsNothing) {
    TempDirectory dir;
    const config::PortFieldRead read = config::readPortField(dir.path());
    EXPECT_EQ(read.status, PortFileStatus::Created);
    EXPECT_FALSE(read.portName.has_value());
    EXPECT_EQ(dir.read("qvsetup.cfg"), "");

    EXPECT_TRUE(config::writePortField(dir.path(), "COM2"));
    EXPECT_EQ(dir.read("qvsetup.cfg"), "COM2");
}

TEST(PortField, UnavailableWhenNeitherOpenedNorCreated) {
    TempDirectory dir;
    const config::PortFieldRead read = config::readPortField(dir.file("absent"));
    EXPECT_EQ(read.status, PortFileStatus::Unavailable);
    EXPECT_FALSE(read.portName.has_value());
}

TEST(PortField, ReadsAtMostFourCharactersUpToALineFeed) {
    EXPECT_EQ(config::portNameFromBytes("COM3\r\n0000"), "COM3");
    EXPECT_EQ(config::portNameFromBytes("03BC"), "03BC");
    EXPECT_EQ(config::portNameFromBytes("CO\nM"), "CO\n");
    EXPECT_EQ(config::portNameFromBytes("C"), "C");
    EXPECT_EQ(config::portNameFromBytes(std::string_view("\0\0\0\0", 4)), "");
    EXPECT_EQ(config::portNameFromBytes(""), std::nullopt);
}

TEST(PortField, EndWritesOnlyTheFirstFourBytes) {
    TempDirectory dir;
    std::string before(300, '\x5A');
    before.replace(0, 4, "COM9");
    dir.write("qvsetup.cfg", before);

    const config::PortFieldRead read = config::readPortField(dir.path());
    EXPECT_EQ(read.status, PortFileStatus::Opened);
    EXPECT_EQ(read.portName, "COM9");

    EXPECT_TRUE(config::writePortField(dir.path(), "0278"));
    std::string expected = before;
    expected.replace(0, 4, "0278");
    EXPECT_EQ(dir.read("qvsetup.cfg"), expected);

    // An empty name (an empty file was read) writes nothing.
    EXPECT_TRUE(config::writePortField(dir.path(), ""));
    EXPECT_EQ(dir.read("qvsetup.cfg"), expected);
}

TEST(PortField, EndNeverCreatesTheFile) {
    TempDirectory dir;
    EXPECT_FALSE(config::writePortField(dir.path(), "COM1"));
    EXPECT_FALSE(dir.exists("qvsetup.cfg"));
}

}  // namespace
