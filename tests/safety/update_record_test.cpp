#include "safety/update_record.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <sstream>

#include "config/temp_directory.h"

namespace {

namespace fs = std::filesystem;
using safety::RecordedFileState;

constexpr safety::CalendarTime started{2026, 12, 8, 10, 15, 3};

// Through fs::path: a name beyond the code page survives only as a path on Windows.
void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}
std::string readText(const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

struct RecordFixture : ::testing::Test {
    testing_support::TempDirectory data;
    safety::UpdateRecordStore store{data / "data"};
    fs::path image = data / "A3012B1010.upd";
};

TEST_F(RecordFixture, LifecycleKeepsACopyThatOutlivesTheOriginal) {
    ui::SystemError error;
    EXPECT_FALSE(store.findIncomplete(error).has_value());
    EXPECT_TRUE(error.empty());

    writeText(image, "0000:0099\r\n");
    ASSERT_TRUE(store.begin(image, "/dev/ttyUSB0", started).empty());
    fs::remove(image);  // moved away after the update broke
    const auto record = store.findIncomplete(error);
    ASSERT_TRUE(record.has_value()) << error.describe();
    EXPECT_EQ(record->file, image);
    EXPECT_EQ(record->copy.filename(), "A3012B1010.upd");  // the versions are in the name
    EXPECT_EQ(readText(record->copy), "0000:0099\r\n");
    EXPECT_EQ(record->port, "/dev/ttyUSB0");
    EXPECT_EQ(record->started, started);
    EXPECT_EQ(safety::checkFile(*record).state, RecordedFileState::ok);

    ASSERT_TRUE(store.complete().empty());
    EXPECT_FALSE(store.findIncomplete(error).has_value());
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(data.names("data").size(), 0u);  // record and copy gone, no temporary
    EXPECT_TRUE(store.complete().empty());     // nothing left to complete is fine
    EXPECT_EQ(safety::checkFile(*record).state, RecordedFileState::vanished);
}

TEST_F(RecordFixture, AwkwardNamesSurviveTheRoundTrip) {
    std::vector<std::string> names = {"100% neu.upd", "Gr\u00F6\u00DFe.upd"};
#ifndef _WIN32
    // Names only a POSIX file system takes: control characters, quotes, bytes that are
    // not UTF-8.
    names.insert(names.end(), {"100% neu\nzeile\r.upd", "\"q\\.upd",
                               "Gr\xF6\xDF"
                               "e.upd"});
#endif
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const fs::path file = data / name;
        writeText(file, "x");
        ASSERT_TRUE(store.begin(file, "COM3=x", started).empty());
        ui::SystemError error;
        const auto record = store.findIncomplete(error);
        ASSERT_TRUE(record.has_value()) << error.describe();
        EXPECT_EQ(record->port, "COM3=x");
        EXPECT_EQ(readText(record->copy), "x");  // the record names the copy it made
    }
    EXPECT_EQ(data.names("data/unfinished-update").size(), 1u) << "the older copies are gone";
}

TEST_F(RecordFixture, CorruptRecordsReadAsNoRecordWithAReason) {
    const std::string good = R"({"format":"zek-setup update record","version":2,"file":"/a.upd",)"
                             R"("port":"SIM","started":"2026-12-08T10:15:03"})";
    std::string reason;
    const auto parsed = store.parse(good, reason);
    ASSERT_TRUE(parsed.has_value()) << reason;
    EXPECT_EQ(parsed->started, started);
    const auto with = [&](const std::string& from, const std::string& to) {
        return std::string(good).replace(good.find(from), from.size(), to);
    };
    const std::string corrupt[] = {
        "",
        std::string("\0\0\0\0", 4),
        "zek-setup update record 1\nfile=/a.hex\n",            // the older format
        good.substr(0, good.size() / 2),                       // cut short
        good + std::string(16 * 1024 + 1 - good.size(), ' '),  // more than a record takes
        with("\"version\":2", "\"version\":3"),
        with("record\"", "records\""),
        with("2026-12-08T10:15:03", "yesterday"),
        with("/a.upd", "/"),
        with("\"/a.upd\"", "7"),
        with("\"port\":\"SIM\",", ""),
    };
    fs::create_directories(store.path().parent_path());
    for (const std::string& text : corrupt) {
        SCOPED_TRACE(text.substr(0, 60));
        writeText(store.path(), text);
        ui::SystemError error;
        EXPECT_FALSE(store.findIncomplete(error).has_value());
        EXPECT_FALSE(error.describe().empty());
    }
    // A corrupt record is put away like a finished one.
    EXPECT_TRUE(store.complete().empty());
    EXPECT_FALSE(fs::exists(store.path()));
}

TEST_F(RecordFixture, NothingIsRecordedWithoutAFileOrAFolder) {
    EXPECT_EQ(store.begin(data / "missing.upd", "SIM", started).code, ENOENT);
    EXPECT_FALSE(fs::exists(store.path()));

    writeText(image, "x");
    writeText(data / "plain", "a file");
    const safety::UpdateRecordStore blocked(data / "plain");
    EXPECT_EQ(blocked.begin(image, "SIM", started).code, ENOTDIR);
    ui::SystemError findError;
    EXPECT_FALSE(blocked.findIncomplete(findError).has_value());
}

}  // namespace
