#include "config/motor_data_file.h"

#include <gtest/gtest.h>

#include "config/temp_directory.h"
#include "ui/recording_host.h"

namespace {

using config::MotorData;
using testing_support::TempDirectory;

std::string withMotorFields(std::string_view fields) {
    return std::string(256, '\0').replace(0, 4, "COM3") + std::string(fields);
}

MotorData loadFrom(const TempDirectory& dir) {
    ui::RecordingHost host;
    MotorData data{40, 9.5f};
    EXPECT_TRUE(config::loadMotorData(dir.path(), data, host));
    EXPECT_TRUE(host.messages.empty());
    return data;
}

TEST(MotorDataFile, FourByteFileGetsDefaultsAndGrowsTo264Bytes) {
    TempDirectory dir;
    dir.write("qvsetup.cfg", "COM3");
    const MotorData data = loadFrom(dir);
    EXPECT_EQ(data.poleCount, 2);
    EXPECT_EQ(data.gearRatio, 1.0f);
    const std::string expected = "COM3" + std::string(252, '\0') + std::string(" 2\0\0001.00", 8);
    EXPECT_EQ(dir.read("qvsetup.cfg"), expected);
    EXPECT_EQ(dir.read("qvsetup.cfg").size(), 264u);
}

TEST(MotorDataFile, PoleCountField) {
    EXPECT_EQ(config::parsePoleCountField("7x"), 7);
    EXPECT_EQ(config::parsePoleCountField(" 2"), 2);
    EXPECT_EQ(config::parsePoleCountField("14"), 14);
    EXPECT_EQ(config::parsePoleCountField("  "), 0);
    EXPECT_EQ(config::parsePoleCountField("\n4"), 0);  // the line ends before the digit
    EXPECT_EQ(config::parsePoleCountField(std::string_view("\0"
                                                           "4",
                                                           2)),
              0);
    EXPECT_EQ(config::parsePoleCountField("-4"), -4);
    EXPECT_EQ(config::parsePoleCountField("+"), 0);
    EXPECT_EQ(config::parsePoleCountField(""), 0);

    EXPECT_EQ(config::motorDataFromFields("7x", "").poleCount, 7);
    EXPECT_EQ(config::motorDataFromFields("  ", "").poleCount, 2);
    EXPECT_EQ(config::motorDataFromFields(" 0", "").poleCount, 2);
}

TEST(MotorDataFile, GearRatioField) {
    EXPECT_EQ(config::parseGearRatioField("2,50"), 2.0f);
    EXPECT_EQ(config::parseGearRatioField("12.50"), 12.5f);
    EXPECT_EQ(config::parseGearRatioField("  3.25\n9"), 3.25f);
    // At most 8 characters take part in the number.
    EXPECT_EQ(config::parseGearRatioField("1234.5678"), 1234.567f);
    EXPECT_EQ(config::parseGearRatioField(std::string_view("1.5\0"
                                                           "99",
                                                           6)),
              1.5f);
    EXPECT_EQ(config::parseGearRatioField("nan"), 0.0f);
    EXPECT_EQ(config::parseGearRatioField("inf"), 0.0f);
    EXPECT_EQ(config::parseGearRatioField("abc"), 0.0f);

    EXPECT_EQ(config::motorDataFromFields("", "0.00").gearRatio, 1.0f);
    EXPECT_EQ(config::motorDataFromFields("", "x").gearRatio, 1.0f);
}

TEST(MotorDataFile, Formats) {
    EXPECT_EQ(config::formatPoleCount(2), " 2");
    EXPECT_EQ(config::formatPoleCount(98), "98");
    EXPECT_EQ(config::formatGearRatio(1.0f), "1.00");
    EXPECT_EQ(config::formatGearRatio(12.5f), "12.50");
    EXPECT_EQ(config::formatGearRatio(0.125f), "0.12");
    EXPECT_EQ(config::formatGearRatio(0.5f), "0.50");
}

TEST(MotorDataFile, LoadNormalisesTheFields) {
    TempDirectory dir;
    dir.write("qvsetup.cfg", withMotorFields("7x\x41\x42"
                                             "2,50"));
    const MotorData data = loadFrom(dir);
    EXPECT_EQ(data.poleCount, 7);
    EXPECT_EQ(data.gearRatio, 2.0f);
    EXPECT_EQ(dir.read("qvsetup.cfg"), withMotorFields(std::string(" 7\0\0"
                                                                   "2.00",
                                                                   8)));
}

TEST(MotorDataFile, ShorterRatioOverLongerOneIsEndedByAZeroByte) {
    TempDirectory dir;
    dir.write("qvsetup.cfg", withMotorFields(std::string("12\0\0"
                                                         "1234.56\r\n",
                                                         13)));
    ui::RecordingHost host;
    EXPECT_EQ(config::saveMotorData(dir.path(), MotorData{4, 1.0f}, host),
              config::SaveMotorDataResult::Saved);
    EXPECT_EQ(dir.read("qvsetup.cfg"), withMotorFields(std::string(" 4\0\0"
                                                                   "1.00\0"
                                                                   "56\r\n",
                                                                   13)));
    const MotorData data = loadFrom(dir);
    EXPECT_EQ(data.poleCount, 4);
    EXPECT_EQ(data.gearRatio, 1.0f);
}

TEST(MotorDataFile, GarbageAndOversizedFilesGiveDefaultsAndKeepOtherBytes) {
    for (const char fill : {'\xFF', 'A', '\n', '\0', '9'}) {
        SCOPED_TRACE(static_cast<int>(fill));
        TempDirectory dir;
        std::string before(4096, fill);
        for (std::size_t i = 0; i < before.size(); i += 7) {
            before[i] = static_cast<char>(i * 31);
        }
        before.replace(256, 2, "x\n");
        before.replace(260, 2, "..");
        dir.write("qvsetup.cfg", before);
        const MotorData data = loadFrom(dir);
        EXPECT_EQ(data.poleCount, 2);
        EXPECT_EQ(data.gearRatio, 1.0f);
        std::string expected = before;
        expected.replace(256, 9,
                         std::string(" 2\0\0"
                                     "1.00\0",
                                     9));
        EXPECT_EQ(dir.read("qvsetup.cfg"), expected);
    }
}

TEST(MotorDataFile, EmptyFileGetsTheFields) {
    TempDirectory dir;
    dir.write("qvsetup.cfg", "");
    loadFrom(dir);
    EXPECT_EQ(dir.read("qvsetup.cfg"), std::string(256, '\0') + std::string(" 2\0\0"
                                                                            "1.00",
                                                                            8));
}

TEST(MotorDataFile, MissingFileShowsTheBoxAndKeepsTheValues) {
    TempDirectory dir;
    ui::RecordingHost host;
    MotorData data{6, 3.5f};
    EXPECT_FALSE(config::loadMotorData(dir.path(), data, host));
    EXPECT_EQ(data.poleCount, 6);
    EXPECT_EQ(data.gearRatio, 3.5f);
    EXPECT_EQ(config::saveMotorData(dir.path(), data, host),
              config::SaveMotorDataResult::CannotOpen);
    ASSERT_EQ(host.messages.size(), 2u);
    for (const ui::RecordedMessage& message : host.messages) {
        EXPECT_EQ(message.text, "open error 'qvsetup.cfg'");
        EXPECT_EQ(message.caption, "Error!");
        EXPECT_EQ(message.ownerId, 0);
    }
    EXPECT_FALSE(dir.exists("qvsetup.cfg"));
}

TEST(MotorDataFile, PoleCountThatWouldShiftTheRatioIsNotSaved) {
    TempDirectory dir;
    dir.write("qvsetup.cfg", withMotorFields(std::string(" 2\0\0"
                                                         "1.00",
                                                         8)));
    ui::RecordingHost host;
    EXPECT_EQ(config::saveMotorData(dir.path(), MotorData{-10, 1.0f}, host),
              config::SaveMotorDataResult::PoleCountTooWide);
    EXPECT_EQ(dir.read("qvsetup.cfg"), withMotorFields(std::string(" 2\0\0"
                                                                   "1.00",
                                                                   8)));
}

}  // namespace
