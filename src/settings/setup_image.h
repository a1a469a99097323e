// What the program remembers about the connected controller between commands.
#pragma once

#include <cstdint>

#include "config/motor_data.h"

namespace settings {

inline constexpr int setupProgramLevel = 0x20;
inline constexpr std::int32_t versionAtStart = 50000;
inline constexpr std::int32_t versionInvalid = 65535;

struct SetupImage {
    std::int32_t controllerVersion = versionAtStart;
    int capabilityFlags = 0;
    int clockMHz = 0;
    int optionFlags = 0;
    int thresholdCode = 0;
    int rpmPeriod = 0;
    // The timing byte last read; written back unchanged while "auto" is selected.
    int timingCode = 0;
    float fullThrottleMs = 0.0f;
    float stopMs = 0.0f;
    float neutralMs = 0.0f;
    int startPower = 0;

    bool valuesRead() const { return controllerVersion <= 40000; }
    std::int32_t versionFamily() const { return controllerVersion & 0xF000; }
    std::int32_t versionLevel() const { return controllerVersion & 0x0FFF; }
};

enum class SettingsArea { Current, Memory1, Memory2 };

using MotorData = config::MotorData;

}  // namespace settings
