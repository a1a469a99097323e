// The controller's setup memory as the program uses it: addresses, bit meanings and the
// three areas the main dialog reads and writes. Every setup address comes from here.
#pragma once

#include <cstdint>

namespace controller {

enum class SettingsArea { Current, Memory1, Memory2 };

namespace address {
// Identity and status, read before any setting.
inline constexpr int setupMarker = 12;
inline constexpr int lockFlags = 13;
inline constexpr int oscCalibration = 15;
inline constexpr int clockMHz = 30;
inline constexpr int capabilityFlags = 31;
inline constexpr int versionHigh = 32;
inline constexpr int versionLow = 33;
inline constexpr int requiredSetupLevel = 35;

// Current area. The pulse times keep their low byte at the lower address,
// the RPM-control period its high byte.
inline constexpr int stopLow = 4;
inline constexpr int stopHigh = 5;
inline constexpr int neutralLow = 6;
inline constexpr int neutralHigh = 7;
inline constexpr int fullThrottleLow = 8;
inline constexpr int fullThrottleHigh = 9;
inline constexpr int optionFlags = 10;
inline constexpr int rpmMarker = 11;
inline constexpr int controlSpeed = 14;
inline constexpr int switchingFrequency = 16;
inline constexpr int brakeStrength = 17;
inline constexpr int timing = 18;
inline constexpr int startPower = 19;
inline constexpr int overTemperature = 20;
inline constexpr int threshold = 21;
inline constexpr int underVoltageMode = 22;
inline constexpr int logTransmitterFailures = 23;
inline constexpr int logOverTemperature = 24;
inline constexpr int logUnderVoltage = 25;
inline constexpr int signalTolerance = 26;
inline constexpr int rpmPeriodHigh = 27;
inline constexpr int rpmPeriodLow = 28;
inline constexpr int logBlockedMotor = 34;
inline constexpr int pTerm = 36;
inline constexpr int iTerm = 37;

inline constexpr int memory1Base = 40;
inline constexpr int memory2Base = 50;
}  // namespace address

// The eight settings a model memory mirrors, by their position in the memory.
enum class Mirrored {
    OptionFlags = 0,
    SwitchingFrequency = 1,
    BrakeStrength = 2,
    Timing = 3,
    StartPower = 4,
    OverTemperature = 5,
    Threshold = 6,
    UnderVoltageMode = 7,
};

constexpr int mirroredAddress(SettingsArea area, Mirrored field) {
    const int position = static_cast<int>(field);
    switch (area) {
        case SettingsArea::Memory1:
            return address::memory1Base + position;
        case SettingsArea::Memory2:
            return address::memory2Base + position;
        case SettingsArea::Current:
            break;
    }
    constexpr int currentAddresses[] = {
        address::optionFlags, address::switchingFrequency, address::brakeStrength,
        address::timing,      address::startPower,         address::overTemperature,
        address::threshold,   address::underVoltageMode,
    };
    return currentAddresses[position];
}

// Byte values with a meaning of their own.
inline constexpr int setupMarkerValue = 102;  // set up with the transmitter
inline constexpr int rpmMarkerValue = 0x55;   // RPM-control values stored by this program
inline constexpr int memoryEmpty = 255;       // in a memory's switching-frequency byte
inline constexpr int thresholdAuto = 255;     // 0.8 V per cell
inline constexpr int overTemperatureOn = 3;
inline constexpr int overTemperatureOff = 1;
// 0xFFFF in bytes 32 and 33: the controller has had no RC setup.
inline constexpr std::int32_t versionErased = 0xFFFF;
inline constexpr std::int32_t minimumMemoryLevel = 3;
inline constexpr std::int32_t versionFamilyMask = 0xF000;
inline constexpr std::int32_t versionLevelMask = 0x0FFF;
inline constexpr std::int32_t familyOne = 0x1000;
inline constexpr std::int32_t familyThree = 0x3000;

// Lock flags (byte 13): a clear bit locks, so an erased memory (0xFF) reads as nothing locked.
namespace lock {
inline constexpr int rcSetupFree = 0x01;
inline constexpr int testProgramFree = 0x02;
}  // namespace lock

// Switching-frequency codes: the clock divided by 2^(code + 1).
inline constexpr int frequencyCode9 = 9;
inline constexpr int frequencyCode10 = 10;

enum UnderVoltageMode { ignoreMode = 1, reduceMode = 2, switchOffMode = 3 };

namespace option {
inline constexpr int fixedTiming = 1 << 0;
inline constexpr int forwardReverse = 1 << 2;
inline constexpr int rpmLimit = 1 << 3;
inline constexpr int activeFreewheel = 1 << 4;
inline constexpr int rpmControl = 1 << 5;
inline constexpr int brake = 1 << 6;
inline constexpr int blockedMotor = 1 << 7;
}  // namespace option

namespace capability {
inline constexpr int frequency156 = 1 << 0;
inline constexpr int blockedMotor = 1 << 1;
inline constexpr int rpmControl = 1 << 2;
inline constexpr int forwardReverse = 1 << 3;
inline constexpr int activeFreewheel = 1 << 4;
}  // namespace capability

// Writing refuses RPM control while the period is unset or erased.
inline constexpr int rpmPeriodMax = 65000;

}  // namespace controller
