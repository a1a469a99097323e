#include "settings/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace settings {
namespace {

// What a read shows, an unchanged write must store again; any float stays in range.
TEST(Conversions, ShownTextStoresTheSameValueAgain) {
    for (int value : {1580, 3599, 3799, 4599}) {
        EXPECT_EQ(pulseTimeToStored(parseDecimal(storedPulseToText(value))), value) << value;
    }
    EXPECT_EQ(pulseTimeToStored(reduceNeutral(parseDecimal(storedNeutralToText(2839)))), 2839);
    for (int code = 49; code <= 96; ++code) {
        EXPECT_EQ(thresholdVoltsToCode(parseDecimal(thresholdCodeToText(code))), code) << code;
    }
    EXPECT_EQ(storedPulseToText(65535), "32.77");
    EXPECT_EQ(pulseTimeToStored(-1.0f), 0);
    EXPECT_EQ(pulseTimeToStored(std::nanf("")), 0);
    EXPECT_EQ(pulseTimeToStored(INFINITY), 65535);
    EXPECT_EQ(thresholdVoltsToCode(1e30f), 255);
    EXPECT_EQ(thresholdVoltsToCode(std::nanf("")), 0);
}

// Only the first comma is a point; eight characters after leading blanks of nine. An
// integer is up to three characters after blanks, within the given prefix.
TEST(Parse, ReadsLikeTheEditFieldsDo) {
    EXPECT_EQ(parseDecimal("1,8,5"), 1.8f);
    EXPECT_EQ(parseDecimal("2.0ms"), 2.0f);
    EXPECT_EQ(parseDecimal("12345678901234567890"), 12345678.0f);
    EXPECT_EQ(parseDecimal("        5"), 5.0f);
    EXPECT_EQ(parseDecimal("         5"), 0.0f);
    EXPECT_TRUE(std::isinf(parseDecimal("1e99")));
    EXPECT_EQ(parseDecimal("+-1"), 0.0f);
    EXPECT_EQ(parseInteger("1234", 9), 123);
    EXPECT_EQ(parseInteger("    -5", 9), -5);
    EXPECT_EQ(parseInteger("    5", 4), std::nullopt);
    EXPECT_EQ(parseInteger("7x", 3), 7);
    EXPECT_EQ(parseInteger("+-3", 9), std::nullopt);
}

TEST(Timing, BytesMapToListIndexesAndTheClockToTheLimit) {
    EXPECT_EQ(timingByteToIndex(3, true), 1);
    EXPECT_EQ(timingByteToIndex(4, false), timingAutoIndex);
    for (int index = 0; index < timingAutoIndex; ++index) {
        EXPECT_EQ(timingByteToIndex(timingIndexToByte(index), true), index);
    }
    EXPECT_EQ(limitFrequency(500, 8), 336);
    EXPECT_EQ(limitFrequency(0, 8), 9192);
}

}  // namespace
}  // namespace settings
