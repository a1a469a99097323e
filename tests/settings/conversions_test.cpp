#include "settings/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace settings {
namespace {

// What a read shows, an unchanged write must store again.
TEST(Conversions, ShownTextStoresTheSameValueAgain) {
    for (int value : {1580, 2200, 3000, 3599, 3799, 4000, 4599}) {
        EXPECT_EQ(pulseTimeToStored(parseDecimal(storedPulseToText(value))), value) << value;
    }
    EXPECT_EQ(pulseTimeToStored(reduceNeutral(parseDecimal(storedNeutralToText(2839)))), 2839);
    for (int code = 49; code <= 96; ++code) {
        EXPECT_EQ(thresholdVoltsToCode(parseDecimal(thresholdCodeToText(code))), code) << code;
    }
    EXPECT_EQ(storedPulseToText(0), "0.00");
    EXPECT_EQ(storedPulseToText(65535), "32.77");
    EXPECT_EQ(thresholdCodeToText(96), "10.5");
}

TEST(Conversions, AnyFloatGivesAValueInRange) {
    const float nan = std::nanf("");
    EXPECT_EQ(pulseTimeToStored(-1.0f), 0);
    EXPECT_EQ(pulseTimeToStored(1e30f), 65535);
    EXPECT_EQ(pulseTimeToStored(nan), 0);
    EXPECT_EQ(pulseTimeToStored(INFINITY), 65535);
    EXPECT_EQ(thresholdVoltsToCode(-3.0f), 0);
    EXPECT_EQ(thresholdVoltsToCode(1e30f), 255);
    EXPECT_EQ(thresholdVoltsToCode(nan), 0);
}

TEST(ParseDecimal, ReadsLikeTheEditFieldsDo) {
    // Only the first comma is a point; eight characters after leading blanks of nine.
    EXPECT_EQ(parseDecimal("1,85"), 1.85f);
    EXPECT_EQ(parseDecimal("1,8,5"), 1.8f);
    EXPECT_EQ(parseDecimal("-1.5"), -1.5f);
    EXPECT_EQ(parseDecimal("+2"), 2.0f);
    EXPECT_EQ(parseDecimal("2.0ms"), 2.0f);
    EXPECT_EQ(parseDecimal("12345678901234567890"), 12345678.0f);
    EXPECT_EQ(parseDecimal("1.2345678"), 1.234567f);
    EXPECT_EQ(parseDecimal("        5"), 5.0f);
    EXPECT_EQ(parseDecimal("1e30"), 1e30f);
    EXPECT_EQ(parseDecimal("1e-99"), 0.0f);
    EXPECT_TRUE(std::isinf(parseDecimal("1e99")));
    EXPECT_TRUE(std::isinf(parseDecimal("-9e9999")));
    for (const char* text :
         {"", " ", ",", ".", "abc", "-", "--1", "+-1", "e5", "ms 2", "         5"}) {
        EXPECT_EQ(parseDecimal(text), 0.0f) << text;
    }
}

TEST(ParseInteger, ReadsUpToThreeCharactersOfTheGivenPrefix) {
    EXPECT_EQ(parseInteger(" 12", 9), 12);
    EXPECT_EQ(parseInteger("1234", 9), 123);
    EXPECT_EQ(parseInteger("-5", 9), -5);
    EXPECT_EQ(parseInteger("    5", 9), 5);
    EXPECT_EQ(parseInteger("    5", 4), std::nullopt);
    EXPECT_EQ(parseInteger("7x", 3), 7);
    for (const char* text : {"", "  ", "abc", "-", "+-3", ","}) {
        EXPECT_EQ(parseInteger(text, 9), std::nullopt) << text;
    }
}

TEST(Timing, BytesMapToListIndexes) {
    EXPECT_EQ(timingByteToIndex(1, true), 0);
    EXPECT_EQ(timingByteToIndex(16, true), 4);
    for (int invalid : {0, 3, 255}) {
        EXPECT_EQ(timingByteToIndex(invalid, true), 1) << invalid;
    }
    EXPECT_EQ(timingByteToIndex(4, false), timingAutoIndex);
    for (int index = 0; index < timingAutoIndex; ++index) {
        EXPECT_EQ(timingByteToIndex(timingIndexToByte(index), true), index);
    }
}

TEST(LimitFrequency, DependsOnTheClock) {
    EXPECT_EQ(limitFrequency(500, 8), 336);
    EXPECT_EQ(limitFrequency(500, 16), 626);
    EXPECT_EQ(limitFrequency(0, 8), 9192);
    EXPECT_EQ(limitFrequency(65535, 16), 4);
}

}  // namespace
}  // namespace settings
