// Who the connected controller is: its setup marker, version, capabilities and the setup
// program level it asks for (setup bytes 12, 32, 33, 31, 35).
#pragma once

#include <cstdint>
#include <string>

#include "adapter/link_context.h"
#include "controller/setup_map.h"

namespace controller {

// The setup-program level this program implements; a controller asking for more refuses it.
inline constexpr int setupProgramLevel = 0x20;

struct Identity {
    int versionHigh = 0;
    int versionLow = 0;
    int capabilityFlags = 0;
    bool capabilitiesRead = false;

    std::int32_t version() const { return versionHigh * 256 + versionLow; }
    // "V hh.ll-cc", as the version field shows it.
    std::string versionText() const;
};

enum class [[nodiscard]] IdentityCheck{
    Accepted,
    NotSetUp,       // bytes 32 and 33 erased: no RC setup yet
    OtherFamily,    // a version family this program does not know
    ProgramTooOld,  // byte 35 asks for a newer setup program; the capabilities were read
};

constexpr bool knownFamily(std::int32_t version) {
    const std::int32_t family = version & versionFamilyMask;
    return family == familyOne || family == familyThree;
}

// Byte 12 holds the marker the RC setup leaves.
[[nodiscard]] bool setUpWithTransmitter(adapter::LinkContext& link);
// Bytes 32 and 33 only.
[[nodiscard]] Identity readVersion(adapter::LinkContext& link);
// Version, family, capabilities (31) and the required level (35), stopping at the first
// check that fails, so that a refused controller is asked no further.
IdentityCheck readIdentity(adapter::LinkContext& link, Identity& identity);

}  // namespace controller
