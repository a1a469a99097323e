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
using update::RecordError;

const std::vector<std::string> threeRecords = {"0000:0011", "0001:0022", "0FC3:0017"};

TEST(UpdateRecord, Parse) {
    using Parsed = std::tuple<std::uint32_t, int, int, int>;  // address, page, offset, data
    const std::pair<std::string, Parsed> cases[] = {
        {"0FC3:0017", {0x0FC3, 63, 3, 0x17}},
        // Unused characters only pass the character check; anything after 9 is ignored.
        {"3FFF:@?FF trailing", {0x3FFF, 255, 63, 0xFF}},
        {"0F;3:00<7", {0x0F, 0, 15, 0x00}},  // numbers end at the first non-digit
    };
    update::UpdateRecord record;
    for (const auto& [line, parsed] : cases) {
        ASSERT_EQ(update::parseUpdateRecord(line, record), RecordError::None) << line;
        EXPECT_EQ(Parsed(record.address, record.page, record.offset, record.data), parsed) << line;
    }
    // A decoded line ends after its line feed, and any line at a zero byte.
    for (const auto& line : {"0fc3:0017"s, "0FC3:001"s, "0FC3:00\n"s, "0FC3:00\0007"s}) {
        EXPECT_EQ(update::parseUpdateRecord(line, record), RecordError::Character) << line;
    }
    for (const auto& line : {""s, "0FC3;0017"s, "0F\n"s, "0F\0003:0017"s}) {
        EXPECT_EQ(update::parseUpdateRecord(line, record), RecordError::Separator) << line;
    }
}

TEST(PlainReader, LineEndsAndEndOfRecords) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"0000:0011\r0001:0022\r\n0FC3:0017", threeRecords},
        // 0xFF ends a line and is dropped; reading goes on after it.
        {"0000:0011\3770001:0022\377\n0FC3:0017\n", {"0000:0011", "0001:0022", "", "0FC3:0017"}},
        {"0000:0011\n\3770001:0022\n", {"0000:0011"}},
        {"0000:0011\n\0000001:0022\n"s, {"0000:0011"}},
        {"0000:\000011\n"s, {"0000:\000011"s}},  // a zero byte inside a line is part of it
    };
    for (const auto& [file, expected] : cases) {
        update::PlainLineReader reader(file);
        std::vector<std::string> lines;
        while (const auto line = reader.readUpdateLine()) {
            lines.emplace_back(*line);
        }
        EXPECT_EQ(lines, expected) << file;
    }
}

std::string scrambledWithTail() {
    // A first word of 0xFFFFFFFF ends the sum, but the reader would go on past it.
    std::string tail = scrambledUpdateFile({"0000:0011", "0001:0022", "0002:0033"}).substr(168);
    testing_support::setWordIn(tail, 0, 0xFFFFFFFF);
    return scrambledUpdateFile({"0000:0011"}) + tail;
}

TEST(UpdateImage, FormVerdictAndRecordCount) {
    using enum update::FileVerdict;
    using enum update::UpdateForm;
    const struct {
        std::string file;
        update::UpdateForm form;
        update::FileVerdict verdict;
        std::size_t records = 0;
    } cases[] = {
        {plainUpdateFile(threeRecords) + "3FFF:00AA\n\377", Plain, Accepted, 4},
        // An empty line; the first bad record decides.
        {"0000:0011\n\n0FC3:00\n", Plain, SeparatorMissing},
        {"0000:0011\n0FC3:00\n0FC\n", Plain, BadCharacter},
        {"0000:0011\n4000:00AA\n0fc3\n", Plain, AddressTooHigh},
        // No ":" at offset 4: an empty first line or under 8 bytes means scrambled.
        {"\n0000:0011\n0001:0022\n", Scrambled, WrongFile},
        {"0000:00", Scrambled, WrongFile},
        {scrambledUpdateFile({}), Scrambled, NoRecord},
        // An incomplete last word, and words after the end pair, are neither counted nor read.
        {scrambledUpdateFile(threeRecords, 0xFFFFFFFE) + "\x01\x02\x03", Scrambled, Accepted, 3},
        {scrambledUpdateFile(threeRecords, 1, true) + "\x12\x34\x56\x78", Scrambled, Accepted, 3},
        {scrambledWithTail(), Scrambled, WrongFile},
        {scrambledUpdateFile({"0F\n3:0017", "0FC3:0017"}), Scrambled, SeparatorMissing},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const update::UpdateImage image = update::readUpdateImage(cases[i].file);
        const std::size_t records = image.verdict == Accepted ? image.records.size() : 0;
        EXPECT_EQ(std::tie(image.form, image.verdict, records),
                  std::tie(cases[i].form, cases[i].verdict, cases[i].records))
            << i;
    }
}

TEST(ScrambledCheck, EveryCountedWordIsCoveredAndNoOther) {
    const std::string good = scrambledUpdateFile(threeRecords);
    ASSERT_TRUE(update::verifyScrambledFile(good).passed);
    EXPECT_FALSE(update::verifyScrambledFile(good.substr(0, 91)).passed);
    for (std::size_t offset = 0; offset < good.size(); offset += 4) {
        std::string changed = good;
        testing_support::setWordIn(changed, offset, testing_support::wordIn(changed, offset) ^ 1);
        EXPECT_EQ(update::verifyScrambledFile(changed).passed, offset == 76 || offset == 84)
            << offset;
    }
}

TEST(UpdateFileName, CutVersionsAndProgress) {
    // Cut after the first ".upd" found at positions 1 to 250, in any case.
    const std::string longest = std::string(250, 'a') + ".upd";
    for (const auto& [path, name] : std::initializer_list<std::pair<std::string, std::string>>{
             {"C:\\fw.upd-files\\a.upd", "fw.upd"},
             {"/home/A3012B3010.UpD.bak", "A3012B3010.UpD"},
             {longest, longest},
             {"a" + longest, ""},
             {".upd", ""}}) {
        const auto parts = update::cutUpdatePath(path);
        EXPECT_EQ(parts ? parts->fileName : "", name) << path;
    }
    EXPECT_EQ(update::cutUpdatePath("C:\\fw.upd-files\\a.upd")->path, "C:\\fw.upd");
    // A first field that is no number; a second field read from the "d" of ".upd"; none.
    const auto odd = update::versionsFromFileName("AxyzwB1010.upd");
    const auto shortName = update::versionsFromFileName("A30.upd");
    const auto none = update::versionsFromFileName("fw.upd");
    EXPECT_TRUE(!odd.first && odd.second == 0x1010 && !none.first && !none.second);
    EXPECT_TRUE(shortName.first == 0x30 && shortName.second == 0xD);
    EXPECT_FALSE(none.fits(0));
    EXPECT_EQ(update::UpdateProgress::secondsLeft(0, 0, 100), -1);
    EXPECT_EQ(update::UpdateProgress::secondsLeft(1500, 10, 20), 2);  // rounded up
    EXPECT_EQ(update::UpdateProgress::secondsLeft(5000, 20, 20), 0);
}

}  // namespace
