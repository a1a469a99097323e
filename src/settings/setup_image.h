// What the program remembers about the connected controller between commands.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "config/motor_data.h"
#include "controller/identity.h"
#include "controller/setup_map.h"

namespace settings {

using controller::SettingsArea;
using controller::setupProgramLevel;
// The setup bytes the settings commands read and write all lie below this address.
inline constexpr int settingsBytesEnd = 64;
inline constexpr int byteUnknown = -1;
inline constexpr std::int32_t versionAtStart = 50000;
inline constexpr std::int32_t versionInvalid = 65535;

// A setup byte and the value it holds or is to hold.
struct SetupByte {
    int address = 0;
    int value = 0;
    bool operator==(const SetupByte&) const = default;
};

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
    // The settings bytes as last read or verified after a write, byteUnknown where none
    // was: an interrupted write can then tell whether every changed byte was stored.
    std::array<int, settingsBytesEnd> knownBytes = filledUnknown();
    // Bytes of the sub-dialogs (lock byte, RPM limit, P and I) that a loaded backup puts
    // back with the next "Schreiben"; a read drops them.
    std::vector<SetupByte> restoreBytes;

    bool valuesRead() const { return controllerVersion <= 40000; }
    std::int32_t versionFamily() const { return controllerVersion & controller::versionFamilyMask; }
    int versionLow() const { return controllerVersion & 0xFF; }
    std::int32_t versionLevel() const { return controllerVersion & controller::versionLevelMask; }

    static std::array<int, settingsBytesEnd> filledUnknown() {
        std::array<int, settingsBytesEnd> bytes;
        bytes.fill(byteUnknown);
        return bytes;
    }
};

using MotorData = config::MotorData;

}  // namespace settings
