#include "update/update_file.h"

#include <gtest/gtest.h>

#include "update/update_file_builder.h"
#include "update/update_image.h"

namespace {

using testing_support::plainUpdateFile;
using testing_support::recordText;
using testing_support::scrambledUpdateFile;
using update::FileVerdict;
using update::UpdateForm;

std::vector<std::string> linesOf(std::string_view file) {
    update::PlainLineReader reader(file);
    std::vector<std::string> lines;
    while (const auto line = reader.readUpdateLine()) {
        lines.emplace_back(*line);
    }
    return lines;
}

std::vector<std::uint32_t> addressesOf(const update::UpdateImage& image) {
    std::vector<std::uint32_t> addresses;
    for (const update::UpdateRecord& record : image.records) {
        addresses.push_back(record.address);
    }
    return addresses;
}

const std::vector<std::string> threeRecords = {"0000:0011", "0001:0022", "0FC3:0017"};

TEST(PlainReader, LineEnds) {
    const std::vector<std::string> expected = {"0000:0011", "0001:0022", "0FC3:0017"};
    EXPECT_EQ(linesOf(plainUpdateFile(threeRecords, "\n")), expected);
    EXPECT_EQ(linesOf(plainUpdateFile(threeRecords, "\r\n")), expected);
    EXPECT_EQ(linesOf(plainUpdateFile(threeRecords, "\r")), expected);
    EXPECT_EQ(linesOf("0000:0011\n0001:0022\r\n0FC3:0017"), expected);
    // 0xFF ends a line and is dropped; reading goes on after it.
    EXPECT_EQ(linesOf("0000:0011\xFF"
                      "0001:0022\xFF\n0FC3:0017\n"),
              (std::vector<std::string>{"0000:0011", "0001:0022", "", "0FC3:0017"}));
}

TEST(PlainReader, EndOfRecords) {
    EXPECT_EQ(linesOf(""), std::vector<std::string>{});
    EXPECT_EQ(linesOf("0000:0011\n\xFF"
                      "0001:0022\n"),
              std::vector<std::string>{"0000:0011"});
    EXPECT_EQ(linesOf(std::string("0000:0011\n\0"
                                  "0001:0022\n",
                                  20)),
              std::vector<std::string>{"0000:0011"});
    // A zero byte inside a line is part of it (and fails the record check).
    EXPECT_EQ(linesOf(std::string("0000:\0"
                                  "011\n",
                                  10))
                  .size(),
              1u);
}

TEST(UpdateForm, ColonAtOffsetFourMeansPlain) {
    EXPECT_EQ(update::detectUpdateForm("0000:0011\n"), UpdateForm::Plain);
    EXPECT_EQ(update::detectUpdateForm("0000:00"), UpdateForm::Scrambled);  // under 8 bytes
    EXPECT_EQ(update::detectUpdateForm("\n0000:0011\n"), UpdateForm::Scrambled);
    EXPECT_EQ(update::detectUpdateForm(scrambledUpdateFile(threeRecords)), UpdateForm::Scrambled);
}

TEST(UpdateImage, PlainFileInFileOrder) {
    const update::UpdateImage image =
        update::readUpdateImage(plainUpdateFile(threeRecords, "\r\n"));
    EXPECT_EQ(image.form, UpdateForm::Plain);
    ASSERT_EQ(image.verdict, FileVerdict::Accepted);
    EXPECT_EQ(addressesOf(image), (std::vector<std::uint32_t>{0x0000, 0x0001, 0x0FC3}));
    EXPECT_EQ(image.records[2].data, 0x17);
}

TEST(UpdateImage, PlainFailuresStopAtTheFirstBadRecord) {
    auto verdictOf = [](std::string_view file) { return update::readUpdateImage(file).verdict; };
    EXPECT_EQ(verdictOf("0000:0011\n\n0001:0022\n"), FileVerdict::SeparatorMissing);
    EXPECT_EQ(verdictOf("0000:0011\n0fc3:0017\n"), FileVerdict::BadCharacter);
    EXPECT_EQ(verdictOf("0000:0011\n0FC3:00\n0000:\n"), FileVerdict::BadCharacter);
    EXPECT_EQ(verdictOf("0000:0011\n0FC\n0fc3:0017\n"), FileVerdict::SeparatorMissing);
    EXPECT_EQ(verdictOf("0000:0011\n\xFF"), FileVerdict::Accepted);
    EXPECT_EQ(verdictOf("0000:0011\n3FFF:00AA\n"), FileVerdict::Accepted);
    EXPECT_EQ(verdictOf("0000:0011\n4000:00AA\n0fc3\n"), FileVerdict::AddressTooHigh);
    EXPECT_EQ(verdictOf("0000:0011\nFFFF:00AA\n"), FileVerdict::AddressTooHigh);
    // A plain file starting with an empty line is taken for a scrambled one.
    EXPECT_EQ(verdictOf("\n0000:0011\n0001:0022\n"), FileVerdict::WrongFile);
    EXPECT_EQ(verdictOf(std::string(8, '\0')), FileVerdict::WrongFile);
}

TEST(UpdateImage, ScrambledFileDecodesToTheSameRecords) {
    for (const std::uint32_t seed : {0x00000000u, 0x1234ABCDu, 0xFFFFFFFEu}) {
        SCOPED_TRACE(seed);
        const update::UpdateImage image =
            update::readUpdateImage(scrambledUpdateFile(threeRecords, seed));
        EXPECT_EQ(image.form, UpdateForm::Scrambled);
        ASSERT_EQ(image.verdict, FileVerdict::Accepted);
        EXPECT_EQ(addressesOf(image), (std::vector<std::uint32_t>{0x0000, 0x0001, 0x0FC3}));
    }
    EXPECT_EQ(update::readUpdateImage(scrambledUpdateFile({})).verdict, FileVerdict::NoRecord);
}

TEST(ScrambledCheck, CountedWordsAreCoveredAndTheOthersNot) {
    const std::string good = scrambledUpdateFile(threeRecords);
    ASSERT_TRUE(update::verifyScrambledFile(good).passed);
    for (std::size_t offset = 0; offset < good.size(); offset += 4) {
        if (offset == 80 || offset == 88) {
            continue;  // the check word and the seed change the expected sum itself
        }
        SCOPED_TRACE(offset);
        std::string changed = good;
        // One nibble raised by one (or lowered where it is already F).
        const std::uint32_t word = testing_support::wordIn(changed, offset);
        testing_support::setWordIn(changed, offset, (word & 0xF) == 0xF ? word - 1 : word + 1);
        const bool uncounted = offset == 76 || offset == 84;
        EXPECT_EQ(update::verifyScrambledFile(changed).passed, uncounted);
    }
}

TEST(ScrambledCheck, ChangedSeedOrCheckWordFails) {
    for (const std::size_t offset : {80u, 88u}) {
        std::string changed = scrambledUpdateFile(threeRecords);
        testing_support::setWordIn(changed, offset, testing_support::wordIn(changed, offset) ^ 1);
        EXPECT_FALSE(update::verifyScrambledFile(changed).passed) << offset;
    }
}

TEST(ScrambledCheck, TooShortOrIncompleteFiles) {
    const std::string good = scrambledUpdateFile(threeRecords);
    EXPECT_FALSE(update::verifyScrambledFile("").passed);
    EXPECT_FALSE(update::verifyScrambledFile(good.substr(0, 91)).passed);
    // An incomplete last word is neither counted nor read as a record.
    const update::UpdateImage image = update::readUpdateImage(good + "\x01\x02\x03");
    EXPECT_EQ(image.verdict, FileVerdict::Accepted);
    EXPECT_EQ(image.records.size(), 3u);
}

TEST(ScrambledCheck, EndWordStopsSumAndRecords) {
    // Words after the end pair are neither counted nor read.
    std::string file = scrambledUpdateFile(threeRecords, 0x1234ABCD, true);
    file += std::string("\x12\x34\x56\x78\x9A\xBC\xDE\xF0", 8);
    const update::UpdateImage image = update::readUpdateImage(file);
    ASSERT_EQ(image.verdict, FileVerdict::Accepted);
    EXPECT_EQ(image.records.size(), 3u);
}

TEST(ScrambledCheck, RecordsBeyondTheCheckedWordsAreRefused) {
    // A first word of 0xFFFFFFFF ends the sum, but the reader would go on past it.
    std::string file = scrambledUpdateFile({"0000:0011"});
    std::string tail = scrambledUpdateFile({"0000:0011", "0001:0022", "0002:0033"}).substr(168);
    testing_support::setWordIn(tail, 0, 0xFFFFFFFF);
    EXPECT_FALSE(update::verifyScrambledFile(file + tail).passed);
}

TEST(ScrambledReader, DecodedLineFeedEndsTheLine) {
    const std::string file = scrambledUpdateFile({"0F\n3:0017", "0FC3:00\n7", "0FC3:0017"});
    const update::ScrambledCheck check = update::verifyScrambledFile(file);
    ASSERT_TRUE(check.passed);
    update::ScrambledLineReader reader(file, check.rollingKey);
    EXPECT_EQ(reader.readUpdateLine(), "0F\n");
    EXPECT_EQ(reader.readUpdateLine(), "0FC3:00\n");
    EXPECT_EQ(reader.readUpdateLine(), "0FC3:0017\n");
    EXPECT_EQ(reader.readUpdateLine(), std::nullopt);
    EXPECT_EQ(update::readUpdateImage(file).verdict, FileVerdict::SeparatorMissing);
}

}  // namespace
