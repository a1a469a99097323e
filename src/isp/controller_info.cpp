// "Prozessor-Info": the processor's signature, lock bits and fuses, read through serial
// programming once the firmware has shown that this is no controller of another kind.
#include <algorithm>
#include <cstdio>
#include <string>

#include "adapter/adapter.h"
#include "controller/connect.h"
#include "isp/isp.h"
#include "isp/isp_access.h"
#include "isp/service_steps.h"
#include "link/link.h"

namespace isp {

namespace {

// ispReadSignature leaves three lines of 16 characters each, line break included.
constexpr std::size_t signatureLinesLength = 3 * 16;

struct ConfigurationBytes {
    int fuseHigh = 0;
    int fuseLow = 0;
    int lockBits = 0;
};

ConfigurationBytes readConfigurationBytes(adapter::LinkContext& ctx) {
    ConfigurationBytes bytes;
    bytes.fuseHigh = ispCommand(ctx, readLockOrFuseHigh, fuseHighSelect, 0x00, 0x00) & 0xFF;
    bytes.fuseLow = ispCommand(ctx, readFuseLow, 0x00, 0x00, 0x00) & 0xFF;
    bytes.lockBits = ispCommand(ctx, readLockOrFuseHigh, 0x00, 0x00, 0x00) & 0xFF;
    return bytes;
}

void completeInfoText(std::string& text, const ConfigurationBytes& bytes) {
    char lines[64];
    std::snprintf(lines, sizeof lines, "\nLockbits: %02X\nFuse HB: %02X\nFuse LB: %02X\n",
                  bytes.lockBits, bytes.fuseHigh, bytes.fuseLow);
    text.resize(std::min(text.size(), signatureLinesLength));
    text += lines;
}

}  // namespace

ui::Outcome showControllerInfo(IspContext& ctx) {
    using controller::Connection;
    adapter::LinkContext& link = ctx.link;
    if (const ui::Outcome entered = enterProgrammingMode(ctx); entered != ui::Outcome::Done) {
        return entered;
    }
    // Only the firmware tells a controller of another kind apart; no answer at all is
    // no reason to stop.
    adapter::startController(link, adapter::StartForm::Standard);
    if (clink::probeExchange(link) == clink::answerOtherDevice) {
        controller::reportNotReady(link, Connection::OtherDevice);
        return ui::Outcome::Failed;
    }
    if (ispConnect(ctx) != IspConnection::Connected) {
        controller::reportNotReady(link, Connection::NoAnswer);
        return ui::Outcome::Failed;
    }
    const ConfigurationBytes bytes = readConfigurationBytes(link);
    // Bytes read over lines that failed are whatever the input line last showed.
    if (adapter::linesFailed(link)) {
        controller::reportNotReady(link, Connection::NoAnswer);
        return ui::Outcome::Failed;
    }
    completeInfoText(ctx.state.deviceInfoText, bytes);
    clink::clearStatus(link);
    link.host.messageBox(nullptr, ctx.state.deviceInfoText, "Info:");
    return ui::Outcome::Done;
}

}  // namespace isp
