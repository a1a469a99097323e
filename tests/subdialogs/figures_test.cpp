// The speed figures and the reading of typed numbers, where the precision of each step
// decides the digit a pilot sees.
#include <gtest/gtest.h>

#include <limits>

#include "settings/motor_data_entry.h"
#include "settings/rpm_figures.h"
#include "settings/subdialog_numbers.h"

namespace subdialogs_test {
namespace {

using namespace settings::subdialogs;

config::MotorData motor(int poles, float ratio) {
    return config::MotorData{poles, ratio};
}

TEST(Figures, CalculatorUsesTheSingleRatioAndTheFloatNearestOneOver120) {
    const CalculatedFigures figures = figuresFromRotorSpeed(2000, motor(10, 4.0f));
    EXPECT_EQ(figures.motorSpeed, 8000);
    EXPECT_EQ(figures.perMinute, 40000);
    EXPECT_EQ(figures.hz, 666);
    // 30000 × 4 × (float)1/120 lands just above 1000 and must not drop to 999.
    EXPECT_EQ(figuresFromRotorSpeed(30000, motor(4, 1.0f)).hz, 1000);
    // The ratio 4.33 is 4.3299999… in single precision: 1000 × it truncates to 4329.
    EXPECT_EQ(figuresFromRotorSpeed(1000, motor(2, 4.33f)).motorSpeed, 4329);
}

TEST(Figures, RatesAndSpeedsOfTheRpmDialog) {
    const SpeedFigures figures = speedsFromRate(60180, motor(4, 1.0f));
    EXPECT_EQ(figures.hz, 1003);
    EXPECT_EQ(figures.perMinute, 60180);
    EXPECT_EQ(figures.motorSpeed, 30090);
    EXPECT_EQ(figures.rotorSpeed, 30090);
    // The rotor speed divides the rate first and truncates, then applies the poles.
    EXPECT_EQ(speedsFromRate(60000, motor(14, 4.33f)).rotorSpeed, 1979);
}

TEST(Figures, RevCounterWindows) {
    const RevFigures a = revFiguresFromPulses(101, motor(14, 4.33f));
    EXPECT_EQ(a.perMinute, 3030);
    EXPECT_EQ(a.hz, 50);
    EXPECT_EQ(a.motorSpeed, 432);
    EXPECT_EQ(a.propSpeed, 99);
    const RevFigures b = revFiguresFromPulses(100, motor(2, 1.0f));
    EXPECT_EQ(b.perMinute, 3000);
    EXPECT_EQ(b.hz, 50);
    EXPECT_EQ(b.motorSpeed, 3000);
    EXPECT_EQ(b.propSpeed, 3000);
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

TEST(MotorEntry, PoleCountChecksInOrder) {
    struct Case {
        const char* text;
        MotorEntryError error;
    };
    const Case cases[] = {
        {"0", MotorEntryError::PoleCountNotAllowed},
        {"abc", MotorEntryError::PoleCountNotAllowed},
        {"", MotorEntryError::PoleCountNotAllowed},
        {",", MotorEntryError::PoleCountNotAllowed},
        {"-0", MotorEntryError::PoleCountNotAllowed},
        {"-4", MotorEntryError::PoleCountNotAllowed},
        {"7", MotorEntryError::PoleCountOdd},
        {"1e30", MotorEntryError::PoleCountOdd},
        {"12345678901234567890", MotorEntryError::PoleCountOdd},
        {"100", MotorEntryError::PoleCountTooLarge},
        {"98", MotorEntryError::None},
        {" 2", MotorEntryError::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readMotorEntry(c.text, "1.00").error, c.error) << c.text;
    }
}

TEST(MotorEntry, RatioTextsAndWhatIsStored) {
    struct Case {
        const char* text;
        MotorEntryError error;
        float ratio;
        bool defaulted;
    };
    const Case cases[] = {
        {"4,5", MotorEntryError::None, 4.5f, false},
        {"", MotorEntryError::None, 1.0f, true},
        {",", MotorEntryError::None, 1.0f, true},
        {"abc", MotorEntryError::None, 1.0f, true},
        {"-0", MotorEntryError::None, 1.0f, true},
        {"nan", MotorEntryError::None, 1.0f, true},
        {"inf", MotorEntryError::None, 1.0f, true},
        {"99999.99", MotorEntryError::None, 99999.99f, false},
        // Would be stored as more characters than are read back, or as 0.00.
        {"1e30", MotorEntryError::GearRatioNotAllowed, 0.0f, false},
        {"12345678901234567890", MotorEntryError::GearRatioNotAllowed, 0.0f, false},
        {"0.001", MotorEntryError::GearRatioNotAllowed, 0.0f, false},
        {"-2", MotorEntryError::GearRatioNotAllowed, 0.0f, false},
    };
    for (const Case& c : cases) {
        const MotorEntry entry = readMotorEntry("4", c.text);
        EXPECT_EQ(entry.error, c.error) << c.text;
        if (c.error == MotorEntryError::None) {
            EXPECT_EQ(entry.data.gearRatio, c.ratio) << c.text;
            EXPECT_EQ(entry.ratioDefaulted, c.defaulted) << c.text;
            EXPECT_EQ(entry.data.poleCount, 4);
        }
    }
}

}  // namespace
}  // namespace subdialogs_test
