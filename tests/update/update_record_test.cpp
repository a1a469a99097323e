#include "update/update_record.h"

#include <gtest/gtest.h>

namespace {

using update::RecordError;
using update::UpdateRecord;

RecordError parse(std::string_view line) {
    UpdateRecord record;
    return update::parseUpdateRecord(line, record);
}

TEST(UpdateRecord, GivesPageOffsetAndData) {
    UpdateRecord record;
    ASSERT_EQ(update::parseUpdateRecord("0FC3:0017", record), RecordError::None);
    EXPECT_EQ(record.address, 0x0FC3u);
    EXPECT_EQ(record.page, 63);
    EXPECT_EQ(record.offset, 3);
    EXPECT_EQ(record.data, 0x17);

    // The unused characters only pass the character check; anything after 9 is ignored.
    ASSERT_EQ(update::parseUpdateRecord("3FFF:@?FF trailing", record), RecordError::None);
    EXPECT_EQ(record.page, 255);
    EXPECT_EQ(record.offset, 63);
    EXPECT_EQ(record.data, 0xFF);
}

TEST(UpdateRecord, NumbersEndAtTheFirstNonDigit) {
    UpdateRecord record;
    ASSERT_EQ(update::parseUpdateRecord("0F;3:00<7", record), RecordError::None);
    EXPECT_EQ(record.address, 0x0Fu);
    EXPECT_EQ(record.data, 0x00);
    ASSERT_EQ(update::parseUpdateRecord("@123:00A=", record), RecordError::None);
    EXPECT_EQ(record.address, 0u);
    EXPECT_EQ(record.data, 0x0A);
}

TEST(UpdateRecord, SeparatorAndCharacterFailures) {
    EXPECT_EQ(parse("0fc3:0017"), RecordError::Character);  // small letters
    EXPECT_EQ(parse("0FC3:0G17"), RecordError::Character);
    EXPECT_EQ(parse("0FC3:0017"), RecordError::None);
    EXPECT_EQ(parse(""), RecordError::Separator);
    EXPECT_EQ(parse("0FC3"), RecordError::Separator);
    EXPECT_EQ(parse("0FC3;0017"), RecordError::Separator);
    EXPECT_EQ(parse("0FC3:"), RecordError::Character);  // short but with its separator
    EXPECT_EQ(parse("0FC3:001"), RecordError::Character);
    EXPECT_EQ(parse(" FC3:0017"), RecordError::Character);
    // The line ends at a zero byte, as a C string does.
    EXPECT_EQ(parse(std::string_view("0F\0"
                                     "3:0017",
                                     9)),
              RecordError::Separator);
    EXPECT_EQ(parse(std::string_view("0FC3:00\0"
                                     "7",
                                     9)),
              RecordError::Character);
    // A decoded line that ends after a line feed.
    EXPECT_EQ(parse("0FC3:00\n"), RecordError::Character);
    EXPECT_EQ(parse("0F\n"), RecordError::Separator);
}

}  // namespace
