#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <tuple>
#include <utility>

#include "config/motor_data_file.h"
#include "config/port_field.h"
#include "config/temp_directory.h"
#include "config/update_path.h"
#include "ui/recording_host.h"

namespace {

using namespace std::string_literals;
using config::MotorData;
using config::SaveMotorDataResult;
using config::StorePathResult;

const std::string defaultMotorFields = " 2\0\0001.00"s;

std::string withMotorFields(const std::string& fields) {
    return "COM3" + std::string(252, '\0') + fields;
}

// The line break at 30 and the path block from 32, the file extended with zeros as needed.
std::string withPathBlock(std::string bytes, const std::string& path) {
    const std::string block = "\r\n" + path + '\0' + std::string(20, ' ');
    if (bytes.size() < 30 + block.size()) {
        bytes.resize(30 + block.size(), '\0');
    }
    return bytes.replace(30, block.size(), block);
}

// Pole count and ratio, to compare at once.
std::pair<int, float> fields(const MotorData& data) {
    return {data.poleCount, data.gearRatio};
}

class ConfigTest : public ::testing::Test {
  protected:
    std::string cfg() const { return dir.read("qvsetup.cfg"); }
    void setCfg(const std::string& bytes) const { dir.write("qvsetup.cfg", bytes); }
    std::pair<int, float> load() {
        ui::RecordingHost host;
        MotorData data{40, 9.5f};
        EXPECT_TRUE(config::loadMotorData(dir.path(), data, host));
        EXPECT_TRUE(host.messages.empty());
        return fields(data);
    }

    testing_support::TempDirectory dir;
};

TEST_F(ConfigTest, OnlyThePortReadCreatesAMissingFile) {
    ui::RecordingHost host;
    MotorData data{6, 3.5f};
    EXPECT_FALSE(config::writePortField(dir.path(), "COM1"));
    EXPECT_EQ(config::storeUpdatePath(dir.path(), "a.upd"), StorePathResult::CannotOpen);
    EXPECT_FALSE(config::loadMotorData(dir.path(), data, host));
    EXPECT_EQ(config::saveMotorData(dir.path(), data, host), SaveMotorDataResult::CannotOpen);
    EXPECT_EQ(fields(data), std::pair(6, 3.5f));
    ASSERT_EQ(host.messages.size(), 2u);
    for (const ui::RecordedMessage& box : host.messages) {
        EXPECT_EQ(std::tie(box.text, box.caption, box.ownerId),
                  std::tuple("open error 'qvsetup.cfg'"s, "Error!"s, 0));
    }
    EXPECT_FALSE(dir.exists("qvsetup.cfg"));
    EXPECT_EQ(config::readPortField(dir.file("absent")).status,
              config::PortFileStatus::Unavailable);

    const config::PortFieldRead read = config::readPortField(dir.path());
    EXPECT_EQ(read.status, config::PortFileStatus::Created);
    EXPECT_FALSE(read.portName.has_value());
    EXPECT_EQ(cfg(), "");
    EXPECT_TRUE(config::writePortField(dir.path(), "COM2"));
    EXPECT_EQ(cfg(), "COM2");
}

TEST(PortField, AtMostFourCharactersUpToALineFeed) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"COM3\r\n0000", "COM3"}, {"03BC", "03BC"},   {"CO\nM", "CO\n"}, {"C", "C"},
        {"\0\0\0\0"s, ""},        {"", std::nullopt},
    };
    for (const auto& [bytes, name] : cases) {
        EXPECT_EQ(config::portNameFromBytes(bytes), name) << bytes;
    }
}

TEST_F(ConfigTest, UpdatePathBlockNeverReachesTheMotorFields) {
    const std::string full = withMotorFields(" 4\0\0002.50"s);
    const struct {
        std::string before, path;
        StorePathResult result;
    } cases[] = {
        {full, "C:\\fw\\A3012B3010.upd", StorePathResult::Stored},
        {full, std::string(203, 'p'), StorePathResult::Stored},  // ends right before them
        {full, std::string(204, 'p'), StorePathResult::PathTooLong},
        {"COM1", "x.upd", StorePathResult::Stored},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        setCfg(c.before);
        EXPECT_EQ(config::storeUpdatePath(dir.path(), c.path), c.result);
        EXPECT_EQ(cfg(),
                  c.result == StorePathResult::Stored ? withPathBlock(c.before, c.path) : c.before);
    }
}

TEST_F(ConfigTest, LoadGivesDefaultsAndWritesTheFieldsBackInNormalForm) {
    const struct {
        std::string before, after;
        std::pair<int, float> loaded;
    } cases[] = {
        {"COM3", withMotorFields(defaultMotorFields), {2, 1.0f}},  // grows to 264 bytes
        {"", std::string(256, '\0') + defaultMotorFields, {2, 1.0f}},
        {withMotorFields("7xAB2,50"), withMotorFields(" 7\0\0002.00"s), {7, 2.0f}},
        {withMotorFields("  \0\0000.00"s), withMotorFields(defaultMotorFields), {2, 1.0f}},
        {withMotorFields(" 0\0\000x"s), withMotorFields(defaultMotorFields), {2, 1.0f}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        setCfg(c.before);
        EXPECT_EQ(load(), c.loaded);
        EXPECT_EQ(cfg(), c.after);
    }
}

TEST_F(ConfigTest, GarbageAndOversizedFilesGiveDefaultsAndKeepOtherBytes) {
    for (const char fill : {'\xFF', 'A', '\n', '\0', '9'}) {
        SCOPED_TRACE(static_cast<int>(fill));
        std::string before(4096, fill);
        for (std::size_t i = 0; i < before.size(); i += 7) {
            before[i] = static_cast<char>(i * 31);
        }
        before.replace(256, 2, "x\n").replace(260, 2, "..");
        setCfg(before);
        EXPECT_EQ(load(), std::pair(2, 1.0f));
        EXPECT_EQ(cfg(), before.replace(256, 9, defaultMotorFields + '\0'));
    }
}

TEST_F(ConfigTest, SaveEndsAShorterRatioWithAZeroByte) {
    setCfg(withMotorFields("12\0\0001234.56\r\n"s));
    ui::RecordingHost host;
    EXPECT_EQ(config::saveMotorData(dir.path(), MotorData{4, 1.0f}, host),
              SaveMotorDataResult::Saved);
    EXPECT_EQ(cfg(), withMotorFields(" 4\0\0001.00\00056\r\n"s));
    EXPECT_EQ(load(), std::pair(4, 1.0f));

    // A pole count of three characters would shift the ratio: nothing is written.
    const std::string before = cfg();
    EXPECT_EQ(config::saveMotorData(dir.path(), MotorData{-10, 1.0f}, host),
              SaveMotorDataResult::PoleCountTooWide);
    EXPECT_EQ(cfg(), before);
}

TEST(MotorDataFields, ParseAndFormat) {
    const std::pair<std::string, int> poleFields[] = {
        {"7x", 7},     {" 2", 2},  {"14", 14}, {"  ", 0}, {"\n4", 0},
        {"\0004"s, 0}, {"-4", -4}, {"+", 0},   {"", 0},
    };
    for (const auto& [field, poleCount] : poleFields) {
        EXPECT_EQ(config::parsePoleCountField(field), poleCount) << field;
    }
    const std::pair<std::string, float> ratioFields[] = {
        {"2,50", 2.0f},       {"12.50", 12.5f},
        {"  3.25\n9", 3.25f}, {"1234.5678", 1234.567f},  // at most 8 characters take part
        {"1.5\00099"s, 1.5f}, {"nan", 0.0f},
        {"inf", 0.0f},        {"abc", 0.0f},
    };
    for (const auto& [field, ratio] : ratioFields) {
        EXPECT_EQ(config::parseGearRatioField(field), ratio) << field;
    }
    EXPECT_EQ(config::formatPoleCount(98), "98");
    EXPECT_EQ(config::formatGearRatio(12.5f), "12.50");
    EXPECT_EQ(config::formatGearRatio(0.125f), "0.12");
}

}  // namespace
