// Reading, checking and parsing update files in memory; "\377" is the byte 0xFF.
#include "update/update_file.h"

#include <gtest/gtest.h>

#include "update/file_name.h"
#include "update/update_file_builder.h"
#include "update/update_image.h"
#include "update/update_progress.h"

namespace {

using namespace std::string_literals;
using testing_support::plainUpdateFile;
using testing_support::scrambledUpdateFile;
using update::FileVerdict;
using update::RecordError;
using update::UpdateForm;

const std::vector<std::string> threeRecords = {"0000:0011", "0001:0022", "0FC3:0017"};
const std::vector<std::uint32_t> threeAddresses = {0x0000, 0x0001, 0x0FC3};

TEST(UpdateRecord, Parse) {
    using enum RecordError;
    const struct {
        std::string line;
        std::uint32_t address;
        int page, offset;
        std::uint8_t data;
    } cases[] = {
        {"0FC3:0017", 0x0FC3, 63, 3, 0x17},
        // Unused characters only pass the character check; anything after 9 is ignored.
        {"3FFF:@?FF trailing", 0x3FFF, 255, 63, 0xFF},
        // Numbers end at the first non-digit.
        {"0F;3:00<7", 0x0F, 0, 15, 0x00},
        {"@123:00A=", 0, 0, 0, 0x0A},
    };
    update::UpdateRecord record;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_EQ(update::parseUpdateRecord(c.line, record), None);
        EXPECT_EQ(record.address, c.address);
        EXPECT_EQ(record.page, c.page);
        EXPECT_EQ(record.offset, c.offset);
        EXPECT_EQ(record.data, c.data);
    }
    // A decoded line ends after its line feed, and any line at a zero byte.
    for (const auto& line : {"0fc3:0017"s, "0FC3:0G17"s, " FC3:0017"s, "0FC3:"s, "0FC3:001"s,
                             "0FC3:00\n"s, "0FC3:00\0007"s}) {
        EXPECT_EQ(update::parseUpdateRecord(line, record), Character) << line;
    }
    for (const auto& line : {""s, "0FC3"s, "0FC3;0017"s, "0F\n"s, "0F\0003:0017"s}) {
        EXPECT_EQ(update::parseUpdateRecord(line, record), Separator) << line;
    }
}

TEST(PlainReader, LineEndsAndEndOfRecords) {
    const struct {
        std::string file;
        std::vector<std::string> lines;
    } cases[] = {
        {plainUpdateFile(threeRecords, "\n"), threeRecords},
        {plainUpdateFile(threeRecords, "\r\n"), threeRecords},
        {plainUpdateFile(threeRecords, "\r"), threeRecords},
        {"0000:0011\n0001:0022\r\n0FC3:0017", threeRecords},
        // 0xFF ends a line and is dropped; reading goes on after it.
        {"0000:0011\3770001:0022\377\n0FC3:0017\n", {"0000:0011", "0001:0022", "", "0FC3:0017"}},
        {"", {}},
        {"0000:0011\n\3770001:0022\n", {"0000:0011"}},
        {"0000:0011\n\0000001:0022\n"s, {"0000:0011"}},
        {"0000:\000011\n"s, {"0000:\000011"s}},  // a zero byte inside a line is part of it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        update::PlainLineReader reader(c.file);
        std::vector<std::string> lines;
        while (const auto line = reader.readUpdateLine()) {
            lines.emplace_back(*line);
        }
        EXPECT_EQ(lines, c.lines);
    }
}

std::string scrambledWithTail() {
    // A first word of 0xFFFFFFFF ends the sum, but the reader would go on past it.
    std::string tail = scrambledUpdateFile({"0000:0011", "0001:0022", "0002:0033"}).substr(168);
    testing_support::setWordIn(tail, 0, 0xFFFFFFFF);
    return scrambledUpdateFile({"0000:0011"}) + tail;
}

TEST(UpdateImage, FormVerdictAndRecordsInFileOrder) {
    using enum FileVerdict;
    using enum UpdateForm;
    const struct {
        std::string file;
        UpdateForm form;
        FileVerdict verdict;
        std::vector<std::uint32_t> addresses = {};  // when accepted
    } cases[] = {
        {plainUpdateFile(threeRecords, "\r\n"), Plain, Accepted, threeAddresses},
        {"0000:0011\n\377", Plain, Accepted, {0}},
        {"3FFF:00AA\n", Plain, Accepted, {0x3FFF}},
        // An empty line; the first bad record decides.
        {"0000:0011\n\n0FC3:00\n", Plain, SeparatorMissing},
        {"0000:0011\n0FC3:00\n0FC\n", Plain, BadCharacter},
        {"0000:0011\n4000:00AA\n0fc3\n", Plain, AddressTooHigh},
        {"\377\377\377\377:\377\377\377", Plain, NoRecord},
        // No ":" at offset 4: an empty first line or under 8 bytes means scrambled.
        {"\n0000:0011\n0001:0022\n", Scrambled, WrongFile},
        {"0000:00", Scrambled, WrongFile},
        {std::string(8, '\0'), Scrambled, WrongFile},
        {scrambledUpdateFile(threeRecords, 0xFFFFFFFE), Scrambled, Accepted, threeAddresses},
        {scrambledUpdateFile({}), Scrambled, NoRecord},
        // An incomplete last word, and words after the end pair, are neither counted nor read.
        {scrambledUpdateFile(threeRecords) + "\x01\x02\x03", Scrambled, Accepted, threeAddresses},
        {scrambledUpdateFile(threeRecords, 1, true) + "\x12\x34\x56\x78\x9A\xBC\xDE\xF0", Scrambled,
         Accepted, threeAddresses},
        {scrambledWithTail(), Scrambled, WrongFile},
        // A decoded line ends after its first line feed.
        {scrambledUpdateFile({"0F\n3:0017", "0FC3:0017"}), Scrambled, SeparatorMissing},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const update::UpdateImage image = update::readUpdateImage(cases[i].file);
        EXPECT_EQ(image.form, cases[i].form);
        ASSERT_EQ(image.verdict, cases[i].verdict);
        std::vector<std::uint32_t> addresses;
        for (const update::UpdateRecord& record : image.records) {
            addresses.push_back(record.address);
        }
        if (image.verdict == Accepted) {
            EXPECT_EQ(addresses, cases[i].addresses);
        }
    }
}

TEST(ScrambledCheck, EveryCountedWordIsCoveredAndNoOther) {
    const std::string good = scrambledUpdateFile(threeRecords);
    ASSERT_TRUE(update::verifyScrambledFile(good).passed);
    EXPECT_FALSE(update::verifyScrambledFile("").passed);
    EXPECT_FALSE(update::verifyScrambledFile(good.substr(0, 91)).passed);
    for (std::size_t offset = 0; offset < good.size(); offset += 4) {
        SCOPED_TRACE(offset);
        std::string changed = good;
        const std::uint32_t word = testing_support::wordIn(changed, offset);
        testing_support::setWordIn(changed, offset, (word & 0xF) == 0xF ? word - 1 : word + 1);
        EXPECT_EQ(update::verifyScrambledFile(changed).passed, offset == 76 || offset == 84);
    }
}

TEST(UpdateFileName, CutAfterTheFirstExtensionAtPositionsOneTo250) {
    const std::string longest = std::string(250, 'a') + ".upd";
    const struct {
        std::string path, cut, fileName;
    } cases[] = {
        {"C:\\fw\\A3012B1010.upd", "C:\\fw\\A3012B1010.upd", "A3012B1010.upd"},
        {"C:\\fw.upd-files\\a.upd", "C:\\fw.upd", "fw.upd"},
        {"/home/pilot/A3012B3010.UPD.bak", "/home/pilot/A3012B3010.UPD", "A3012B3010.UPD"},
        {"x.UpD", "x.UpD", "x.UpD"},
        {longest, longest, longest},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const auto parts = update::cutUpdatePath(c.path);
        ASSERT_TRUE(parts);
        EXPECT_EQ(parts->path, c.cut);
        EXPECT_EQ(parts->fileName, c.fileName);
    }
    for (const std::string& path : {"a" + longest, ".upd"s, ".up"s, ""s, "C:\\fw\\firmware.bin"s}) {
        EXPECT_FALSE(update::cutUpdatePath(path)) << path;
    }
}

TEST(UpdateFileName, Versions) {
    const struct {
        const char* name;
        std::optional<std::uint16_t> first, second;
    } cases[] = {
        {"A3012B1010.upd", 0x3012, 0x1010},
        {"AxyzwB1010.upd", std::nullopt, 0x1010},
        {"A30.upd", 0x30, 0xD},  // the second field is the "d" of the extension
        {"fw.upd", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        const update::FileVersions versions = update::versionsFromFileName(c.name);
        EXPECT_EQ(versions.first, c.first) << c.name;
        EXPECT_EQ(versions.second, c.second) << c.name;
    }
    EXPECT_FALSE(update::versionsFromFileName("fw.upd").fits(0));
}

TEST(UpdateProgress, SecondsLeftFollowTheRateSoFar) {
    EXPECT_EQ(update::UpdateProgress::secondsLeft(0, 0, 100), -1);
    EXPECT_EQ(update::UpdateProgress::secondsLeft(1000, 10, 100), 9);
    EXPECT_EQ(update::UpdateProgress::secondsLeft(1500, 10, 20), 2);  // rounded up
    EXPECT_EQ(update::UpdateProgress::secondsLeft(5000, 20, 20), 0);
}

}  // namespace
