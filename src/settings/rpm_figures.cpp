#include "settings/rpm_figures.h"

#include <cstdint>

#include "settings/conversions.h"
#include "settings/subdialog_numbers.h"

namespace settings::subdialogs {

namespace {

constexpr int secondsPerMinute = 60;
// One pulse per electrical revolution, counted over two seconds.
constexpr int perMinutePerPulse = 30;
// The single-precision float nearest to 1/120: the controller's documented Hz figures
// come from it, not from the exact fraction.
constexpr float hzPerPolePerMinute = 1.0f / 120.0f;

int clampToInt(std::int64_t value) {
    return truncateToInt(static_cast<double>(value));
}

// (rate × 2) / poles, in the wide type so that no rate overflows; a pole count of 0
// can only come from a damaged record and shows 0.
int motorSpeedFrom(std::int64_t perMinute, int poleCount) {
    if (poleCount == 0) {
        return 0;
    }
    return clampToInt(perMinute * 2 / poleCount);
}

}  // namespace

SpeedFigures speedsFromRate(int perMinute, const config::MotorData& motor) {
    SpeedFigures figures;
    figures.hz = perMinute / secondsPerMinute;
    figures.perMinute = perMinute;
    figures.motorSpeed = motorSpeedFrom(perMinute, motor.poleCount);
    const double rotorRate = static_cast<double>(perMinute) / static_cast<double>(motor.gearRatio);
    figures.rotorSpeed = motorSpeedFrom(truncateToInt(rotorRate), motor.poleCount);
    return figures;
}

CalculatedFigures figuresFromRotorSpeed(int rotorSpeed, const config::MotorData& motor) {
    CalculatedFigures figures;
    const double motorSpeed =
        static_cast<double>(rotorSpeed) * static_cast<double>(motor.gearRatio);
    figures.motorSpeed = truncateToInt(motorSpeed);
    const float motorSpeedSingle = static_cast<float>(motorSpeed);
    const float poles = static_cast<float>(motor.poleCount);
    const float polesTimesSpeed = poles * motorSpeedSingle;
    figures.perMinute = truncateToInt(static_cast<double>(polesTimesSpeed) * 0.5);
    figures.hz = truncateToInt(static_cast<double>(polesTimesSpeed * hzPerPolePerMinute));
    return figures;
}

std::optional<int> periodForFrequency(int hz, int clockMHz) {
    if (hz < 1) {
        return std::nullopt;
    }
    // limitFrequency, inverted.
    const int period = clockMHz == 8 ? hzConstantAt8MHz / hz - periodOffsetAt8MHz
                                     : hzConstantAt16MHz / hz - periodOffsetAt16MHz;
    if (period < 0 || period > maxStoredPeriod) {
        return std::nullopt;
    }
    return period;
}

int minimumLimitFrequency(int clockMHz) {
    int hz = 1;
    while (hz < maxLimitFrequencyHz && !periodForFrequency(hz, clockMHz)) {
        ++hz;
    }
    return hz;
}

RevFigures revFiguresFromPulses(int pulses, const config::MotorData& motor) {
    const std::int64_t perMinute = static_cast<std::int64_t>(pulses) * perMinutePerPulse;
    RevFigures figures;
    figures.perMinute = clampToInt(perMinute);
    figures.hz = clampToInt(perMinute / secondsPerMinute);
    figures.motorSpeed = motorSpeedFrom(perMinute, motor.poleCount);
    figures.propSpeed = truncateToInt(static_cast<double>(figures.motorSpeed) /
                                      static_cast<double>(motor.gearRatio));
    return figures;
}

}  // namespace settings::subdialogs
