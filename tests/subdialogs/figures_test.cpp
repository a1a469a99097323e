// The speed figures and the reading of typed numbers, where the precision of each step
// decides the digit a pilot sees.
#include <gtest/gtest.h>

#include <limits>

#include "settings/rpm_figures.h"
#include "settings/subdialog_numbers.h"

namespace subdialogs_test {
namespace {

using namespace settings::subdialogs;

config::MotorData motor(int poles, float ratio) {
    return config::MotorData{poles, ratio};
}

TEST(Figures, CalculatorUsesTheSingleRatioAndTheFloatNearestOneOver120) {
    // 30000 × 4 × (float)1/120 lands just above 1000 and must not drop to 999.
    EXPECT_EQ(figuresFromRotorSpeed(30000, motor(4, 1.0f)).hz, 1000);
    // The ratio 4.33 is 4.3299999… in single precision: 1000 × it truncates to 4329.
    EXPECT_EQ(figuresFromRotorSpeed(1000, motor(2, 4.33f)).motorSpeed, 4329);
}

TEST(Figures, DamagedMotorRecordsGiveDefinedFigures) {
    // A tiny ratio from a hand-edited file, a pole count of 0: clamped or 0, never UB.
    EXPECT_EQ(speedsFromRate(551520, motor(2, 1e-6f)).rotorSpeed, std::numeric_limits<int>::max());
    EXPECT_EQ(speedsFromRate(60000, motor(0, 1.0f)).motorSpeed, 0);
    EXPECT_EQ(figuresFromRotorSpeed(99999999, motor(98, 99999.99f)).motorSpeed,
              std::numeric_limits<int>::max());
    EXPECT_EQ(revFiguresFromPulses(std::numeric_limits<int>::max(), motor(2, 1.0f)).perMinute,
              std::numeric_limits<int>::max());
}

TEST(Figures, PeriodsThatFitSixteenBits) {
    EXPECT_EQ(periodForFrequency(1000, 8), 155);
    EXPECT_EQ(periodForFrequency(2666, 8), 46);
    EXPECT_EQ(periodForFrequency(3, 8), 58203);
    EXPECT_FALSE(periodForFrequency(2, 8));
    EXPECT_FALSE(periodForFrequency(0, 8));
    EXPECT_FALSE(periodForFrequency(-5, 8));
    EXPECT_EQ(periodForFrequency(5, 16), 65367);
    EXPECT_FALSE(periodForFrequency(4, 16));
    EXPECT_EQ(minimumLimitFrequency(8), 3);
    EXPECT_EQ(minimumLimitFrequency(16), 5);
}

TEST(Numbers, IntegerFieldsReadLikeTheirWidth) {
    EXPECT_EQ(readIntegerField("  42x", 8), 42);
    EXPECT_EQ(readIntegerField("-0", 8), 0);
    EXPECT_EQ(readIntegerField("1e30", 8), 1);
    EXPECT_EQ(readIntegerField("12345678901234567890", 8), 12345678);
    EXPECT_EQ(readIntegerField("12345678901234567890", 9), 123456789);
    EXPECT_EQ(readIntegerField("123", 2), 12);
    EXPECT_EQ(readIntegerField("12345678901234567890", 40), std::numeric_limits<int>::max());
    for (const char* text : {"", "abc", ",", "-", " +", "   "}) {
        EXPECT_FALSE(readIntegerField(text, 9)) << text;
    }
    EXPECT_EQ(truncateToInt(-1e300), std::numeric_limits<int>::min());
    EXPECT_EQ(truncateToInt(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(truncateToInt(-2.9), -2);
}

}  // namespace
}  // namespace subdialogs_test
