// The knobs of the virtual controller: what kind of device sits behind the adapter,
// how long the firmware takes for its work, and how its processor answers while it is
// held in reset.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace sim {

enum class DeviceKind {
    ThisController,   // answers the probe with 0xFE
    OtherKind,        // a controller of another kind: answers the probe with 0xFD
    NothingAttached,  // DATA-IN stays at nothingAttachedLevel, nothing answers
};

// How often a signature read shows family 0x01 (what a locked processor reads).
enum class FamilyOneReads { Never, Once, Always };

struct IspConfig {
    std::array<std::uint8_t, 3> signature{0x1E, 0x93, 0x07};
    std::uint8_t lockBits = 0xFF;
    std::uint8_t fuseHigh = 0xD9;
    std::uint8_t fuseLow = 0xE1;
    std::uint8_t calibration = 0xA5;
    // Bits the processor believes it has already received of its first instruction after
    // each reset: 0 = in step; only extra CLOCK pulses from the PC bring it back.
    int frameOffsetBits = 0;
    bool neverEchoes = false;
    FamilyOneReads familyOne = FamilyOneReads::Never;
    // With FamilyOneReads::Once: how many signature passes read 0x01 before the real one.
    int familyOnePasses = 1;
    bool signatureErased = false;  // all three signature bytes read 0xFF
};

struct MotorConfig {
    // Pulses on DATA-IN after a release start: pulseRateHz for runMs, each pulseWidthUs high.
    double pulseRateHz = 100.0;
    std::uint32_t runMs = 6000;
    std::uint32_t pulseWidthUs = 200;
    // When not empty: rising-edge times in µs after the release instead of the rate.
    std::vector<std::uint64_t> pulseTimesUs;
};

struct ControllerConfig {
    DeviceKind kind = DeviceKind::ThisController;
    bool nothingAttachedLevel = false;
    // The firmware loads its answer into the shift register this long after a byte.
    std::uint64_t byteResponseNs = 10'000;
    // Storing a setup byte; the PC waits 25 ms before it fetches the read-back.
    std::uint64_t setupStoreNs = 15'000'000;
    // Programming a flash page; the PC waits 40 ms before it fetches the confirmation.
    std::uint64_t pageCommitNs = 30'000'000;
    // From RESET high until the firmware listens on the link.
    std::uint64_t bootNs = 5'000'000;
    // false: setup writes are ignored, so the read-back shows the old value.
    bool setupWritesStick = true;
    IspConfig isp;
    MotorConfig motor;
};

// DATA-IN follows a CLOCK edge, or the firmware loading its answer, this much later (the
// processor's output delay), so a DATA-IN change never shares its timestamp with the edge
// that caused it.
inline constexpr std::uint64_t dataInDelayNs = 100;

}  // namespace sim
