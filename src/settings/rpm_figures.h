// The speed figures of the RPM control and rev counter dialogs. The mix of integer,
// single and double precision steps is deliberate: the figures a pilot knows from the
// controller's own documentation come out of exactly these steps.
#pragma once

#include <optional>

#include "config/motor_data.h"

namespace settings::subdialogs {

// The highest frequency "Schreiben" takes, and the largest period the controller stores.
inline constexpr int maxLimitFrequencyHz = 2666;
inline constexpr int maxStoredPeriod = 0xFFFF;
// Period bytes above this count as never set.
inline constexpr int unsetPeriodAbove = 0xFFF0;

// What the RPM control dialog shows for an electrical rate (electrical revolutions per
// minute): Hz, the rate itself, motor and rotor speed.
struct SpeedFigures {
    int hz = 0;
    int perMinute = 0;
    int motorSpeed = 0;
    int rotorSpeed = 0;
};
SpeedFigures speedsFromRate(int perMinute, const config::MotorData& motor);

// "Berechnen": from a desired rotor speed back to motor speed, rate and Hz.
struct CalculatedFigures {
    int motorSpeed = 0;
    int perMinute = 0;
    int hz = 0;
};
CalculatedFigures figuresFromRotorSpeed(int rotorSpeed, const config::MotorData& motor);

// The period count the controller stores for a limit frequency; nothing when the
// frequency is below 1 or the period would not fit in its 16 bits.
std::optional<int> periodForFrequency(int hz, int clockMHz);
// The lowest frequency whose period still fits.
int minimumLimitFrequency(int clockMHz);

// What the rev counter shows for the pulses of one 2-second window.
struct RevFigures {
    int perMinute = 0;
    int hz = 0;
    int motorSpeed = 0;
    int propSpeed = 0;
};
RevFigures revFiguresFromPulses(int pulses, const config::MotorData& motor);

}  // namespace settings::subdialogs
