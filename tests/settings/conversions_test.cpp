#include "settings/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace settings {
namespace {

int storedFromText(const std::string& text) {
    return pulseTimeToStored(parseDecimal(text));
}
int storedNeutralFromText(const std::string& text) {
    return pulseTimeToStored(reduceNeutral(parseDecimal(text)));
}

TEST(PulseTimes, TypedValuesStoreOneBelowTheExactProduct) {
    EXPECT_EQ(storedFromText("1.90"), 3799);
    EXPECT_EQ(storedFromText("2.00"), 4000);
    EXPECT_EQ(storedFromText("1,10"), 2200);
    EXPECT_EQ(storedNeutralFromText("1.50"), 2839);
}

TEST(PulseTimes, StoredValuesShowWithTwoDecimals) {
    EXPECT_EQ(storedPulseToText(3799), "1.90");
    EXPECT_EQ(storedPulseToText(4000), "2.00");
    EXPECT_EQ(storedPulseToText(0), "0.00");
    EXPECT_EQ(storedNeutralToText(2839), "1.50");
    EXPECT_EQ(storedPulseToText(65535), "32.77");
}

TEST(PulseTimes, ShownTextStoresTheSameValueAgain) {
    // What a read shows, an unchanged write must store again.
    for (int value : {1580, 2200, 2839, 3000, 3599, 3799, 4000, 4599}) {
        EXPECT_EQ(storedFromText(storedPulseToText(value)), value) << value;
    }
    EXPECT_EQ(storedNeutralFromText(storedNeutralToText(2839)), 2839);
}

TEST(PulseTimes, AnyFloatGivesAValueInRange) {
    EXPECT_EQ(pulseTimeToStored(-1.0f), 0);
    EXPECT_EQ(pulseTimeToStored(1e30f), 65535);
    EXPECT_EQ(pulseTimeToStored(std::nanf("")), 0);
    EXPECT_EQ(pulseTimeToStored(INFINITY), 65535);
}

TEST(Threshold, VoltsRoundToTheNearestCode) {
    EXPECT_EQ(thresholdVoltsToCode(5.3f), 49);
    EXPECT_EQ(thresholdVoltsToCode(6.0f), 55);
    EXPECT_EQ(thresholdVoltsToCode(10.5f), 96);
    EXPECT_EQ(thresholdVoltsToCode(parseDecimal("8,4")), 77);
}

TEST(Threshold, CodesShowAsVoltsAndComeBackUnchanged) {
    EXPECT_EQ(thresholdCodeToText(49), "5.3");
    EXPECT_EQ(thresholdCodeToText(77), "8.4");
    EXPECT_EQ(thresholdCodeToText(96), "10.5");
    for (int code = 49; code <= 96; ++code) {
        EXPECT_EQ(thresholdVoltsToCode(parseDecimal(thresholdCodeToText(code))), code) << code;
    }
}

TEST(Threshold, AnyFloatGivesAByte) {
    EXPECT_EQ(thresholdVoltsToCode(-3.0f), 0);
    EXPECT_EQ(thresholdVoltsToCode(1e30f), 255);
    EXPECT_EQ(thresholdVoltsToCode(std::nanf("")), 0);
}

TEST(ParseDecimal, AcceptsPointAndFirstComma) {
    EXPECT_EQ(parseDecimal("1,85"), 1.85f);
    EXPECT_EQ(parseDecimal("1.85"), 1.85f);
    EXPECT_EQ(parseDecimal("  2.0"), 2.0f);
    EXPECT_EQ(parseDecimal("1,8,5"), 1.8f);
    EXPECT_EQ(parseDecimal("-1.5"), -1.5f);
    EXPECT_EQ(parseDecimal("+2"), 2.0f);
    EXPECT_EQ(parseDecimal("2.0ms"), 2.0f);
}

TEST(ParseDecimal, TextWithoutANumberReadsAsZero) {
    for (const char* text : {"", " ", ",", ".", "abc", "-", "--1", "+-1", "e5", "ms 2"}) {
        EXPECT_EQ(parseDecimal(text), 0.0f) << text;
    }
}

TEST(ParseDecimal, ReadsAtMostEightCharactersOfNineAfterBlanks) {
    EXPECT_EQ(parseDecimal("12345678901234567890"), 12345678.0f);
    EXPECT_EQ(parseDecimal("1.2345678"), 1.234567f);
    EXPECT_EQ(parseDecimal("    1.255"), 1.255f);
    EXPECT_EQ(parseDecimal("        5"), 5.0f);
    EXPECT_EQ(parseDecimal("         5"), 0.0f);  // the 5 is the tenth character
}

TEST(ParseDecimal, ExtremeExponentsStayDefined) {
    EXPECT_EQ(parseDecimal("1e30"), 1e30f);
    EXPECT_TRUE(std::isinf(parseDecimal("1e99")));
    EXPECT_TRUE(std::isinf(parseDecimal("-9e9999")));
    EXPECT_EQ(parseDecimal("1e-99"), 0.0f);
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
    EXPECT_EQ(timingByteToIndex(0, true), 1);
    EXPECT_EQ(timingByteToIndex(3, true), 1);
    EXPECT_EQ(timingByteToIndex(255, true), 1);
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

TEST(Formats, PadLikePrintf) {
    EXPECT_EQ(formatInteger(5, 3), "  5");
    EXPECT_EQ(formatInteger(255, 2), "255");
    EXPECT_EQ(formatInteger(336, 4), " 336");
    EXPECT_EQ(formatHex2(0x1F), "1F");
    EXPECT_EQ(formatHex2(0), "00");
}

}  // namespace
}  // namespace settings
