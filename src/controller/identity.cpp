#include "controller/identity.h"

#include <cstdio>

#include "link/link.h"

namespace controller {

namespace {

int readByte(adapter::LinkContext& link, int address) {
    return clink::readSetupByte(link, address) & 0xFF;
}

}  // namespace

std::string Identity::versionText() const {
    char text[16];
    std::snprintf(text, sizeof text, "V %02X.%02X-%02X", versionHigh, versionLow, capabilityFlags);
    return text;
}

bool setUpWithTransmitter(adapter::LinkContext& link) {
    return readByte(link, address::setupMarker) == setupMarkerValue;
}

Identity readVersion(adapter::LinkContext& link) {
    Identity identity;
    identity.versionHigh = readByte(link, address::versionHigh);
    identity.versionLow = readByte(link, address::versionLow);
    return identity;
}

IdentityCheck readIdentity(adapter::LinkContext& link, Identity& identity) {
    identity = readVersion(link);
    if (identity.version() == versionErased) {
        return IdentityCheck::NotSetUp;
    }
    if (!knownFamily(identity.version())) {
        return IdentityCheck::OtherFamily;
    }
    identity.capabilityFlags = readByte(link, address::capabilityFlags);
    identity.capabilitiesRead = true;
    if (readByte(link, address::requiredSetupLevel) > setupProgramLevel) {
        return IdentityCheck::ProgramTooOld;
    }
    return IdentityCheck::Accepted;
}

}  // namespace controller
