#include "safety/update_record.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "safety/sha256.h"
#include "temporary_folder.h"

namespace {

namespace fs = std::filesystem;
using safety::RecordedFileState;

constexpr safety::CalendarTime started{2026, 12, 8, 10, 15, 3};

struct RecordFixture : ::testing::Test {
    TemporaryFolder data;
    safety::UpdateRecordStore store{data.path()};
    fs::path image = data / "firmware 1.hex";

    std::string imageHash() const { return safety::toHex(safety::sha256(readText(image))); }
};

TEST_F(RecordFixture, Lifecycle) {
    ui::SystemError error;
    EXPECT_FALSE(store.findIncomplete(error).has_value());
    EXPECT_TRUE(error.empty());

    writeText(image, ":00000001FF\n");
    ASSERT_TRUE(store.begin(image, imageHash(), "/dev/ttyUSB0", started).empty());
    const auto record = store.findIncomplete(error);
    ASSERT_TRUE(record.has_value()) << error.describe();
    EXPECT_EQ(record->file, image);
    EXPECT_EQ(record->sha256Hex, imageHash());
    EXPECT_EQ(record->port, "/dev/ttyUSB0");
    EXPECT_EQ(record->started, started);
    EXPECT_EQ(safety::checkFile(*record).state, RecordedFileState::ok);

    ASSERT_TRUE(store.complete().empty());
    EXPECT_FALSE(store.findIncomplete(error).has_value());
    EXPECT_TRUE(error.empty());
    EXPECT_TRUE(store.complete().empty());  // nothing left to complete is fine
}

TEST_F(RecordFixture, AwkwardNamesSurviveTheRoundTrip) {
    const safety::UpdateRecord record{data / "100% neu\nzeile\r.hex", std::string(64, 'a'),
                                      "COM3=x", started};
    std::string reason;
    const auto parsed = safety::parseUpdateRecord(safety::formatUpdateRecord(record), reason);
    ASSERT_TRUE(parsed.has_value()) << reason;
    EXPECT_EQ(parsed->file, record.file);
    EXPECT_EQ(parsed->port, "COM3=x");
}

TEST_F(RecordFixture, BeginRefusesAHashThatIsNotOne) {
    EXPECT_EQ(store.begin(image, "abc", "SIM", started).code, EINVAL);
    EXPECT_FALSE(fs::exists(store.path()));
}

TEST_F(RecordFixture, BeginReplacesAnOlderRecord) {
    writeText(image, "one");
    ASSERT_TRUE(store.begin(data / "old.hex", imageHash(), "SIM", started).empty());
    ASSERT_TRUE(store.begin(image, imageHash(), "/dev/ttyS1", started).empty());
    ui::SystemError error;
    EXPECT_EQ(store.findIncomplete(error)->port, "/dev/ttyS1");
    EXPECT_EQ(fileNames(data.path()).size(), 2u);  // the image and the record, no temporary
}

TEST_F(RecordFixture, CorruptRecordsReadAsNoRecordWithAReason) {
    const std::string hash(64, '0');
    const std::string good = "zek-setup update record 1\nfile=/a.hex\nsha256=" + hash +
                             "\nport=SIM\nstarted=2026-12-08T10:15:03\n";
    {
        std::string reason;
        ASSERT_TRUE(safety::parseUpdateRecord(good, reason).has_value()) << reason;
    }
    const std::string corrupt[] = {
        "",
        std::string("\0\0\0\0", 4),
        "{\"file\": \"/a.hex\"}",
        good.substr(0, good.size() / 2),  // cut short
        "zek-setup update record 2\nfile=/a.hex\nsha256=" + hash +
            "\nport=SIM\nstarted=2026-12-08T10:15:03\n",
        "zek-setup update record 1\nfile=/a.hex\nsha256=xyz\nport=SIM\n"
        "started=2026-12-08T10:15:03\n",
        "zek-setup update record 1\nfile=/a.hex\nsha256=" + hash +
            "\nport=SIM\nstarted=yesterday\n",
        "zek-setup update record 1\nfile=\nsha256=" + hash +
            "\nport=SIM\nstarted=2026-12-08T10:15:03\n",
        good + "file=/b.hex\n",
        good + "garbage line\n",
        "zek-setup update record 1\nfile=/a%zz.hex\nsha256=" + hash +
            "\nport=SIM\nstarted=2026-12-08T10:15:03\n",
        std::string(20000, 'x'),
    };
    for (const std::string& text : corrupt) {
        SCOPED_TRACE(text.substr(0, 40));
        writeText(store.path(), text);
        ui::SystemError error;
        EXPECT_FALSE(store.findIncomplete(error).has_value());
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(error.describe().empty());
    }
    // A corrupt record is put away like a finished one.
    EXPECT_TRUE(store.complete().empty());
    EXPECT_FALSE(fs::exists(store.path()));
}

TEST_F(RecordFixture, TheRecordedFileChangedOrVanished) {
    writeText(image, "original image");
    const safety::UpdateRecord record{image, imageHash(), "SIM", started};
    EXPECT_EQ(safety::checkFile(record).state, RecordedFileState::ok);

    writeText(image, "original imagf");
    EXPECT_EQ(safety::checkFile(record).state, RecordedFileState::changed);

    fs::remove(image);
    EXPECT_EQ(safety::checkFile(record).state, RecordedFileState::vanished);

    fs::create_directory(image);
    EXPECT_EQ(safety::checkFile(record).state, RecordedFileState::changed);
}

TEST_F(RecordFixture, UnreachableDataFolder) {
    writeText(data / "plain", "a file");
    const safety::UpdateRecordStore blocked(data / "plain");
    const ui::SystemError error = blocked.begin(image, std::string(64, 'f'), "SIM", started);
    EXPECT_EQ(error.code, ENOTDIR);
    ui::SystemError findError;
    EXPECT_FALSE(blocked.findIncomplete(findError).has_value());
}

}  // namespace
