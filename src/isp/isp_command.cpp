// Instructions to the processor while it is held in reset: each goes out as two 16-bit
// word exchanges, so the answers to the third and fourth byte are the low half of
// receiveRegister afterwards.
#include <cstdio>

#include "adapter/adapter.h"
#include "isp/isp_access.h"
#include "link/link.h"

namespace isp {

namespace {

int echoOf(const adapter::LinkState& state) {
    return state.enableAnswer >> 8;
}

// One CLOCK pulse outside any instruction: the processor counts it as a bit, which moves
// its 32-bit framing one bit against ours. The waits keep the pulse clear of the
// instructions on either side.
void extraClockPulse(adapter::LinkContext& ctx) {
    adapter::delayMs(ctx, resyncPulseMs);
    adapter::setClock(ctx, true);
    adapter::delayMs(ctx, resyncPulseMs);
    adapter::setClock(ctx, false);
    adapter::delayMs(ctx, resyncPulseMs);
}

}  // namespace

std::uint16_t ispCommand(adapter::LinkContext& ctx, std::uint8_t b1, std::uint8_t b2,
                         std::uint8_t b3, std::uint8_t b4) {
    ctx.state.sendRegister = b1 * 256 + b2;
    clink::exchangeWord(ctx);
    ctx.state.sendRegister = b3 * 256 + b4;
    clink::exchangeWord(ctx);
    return static_cast<std::uint16_t>(ctx.state.receiveRegister & 0xFFFF);
}

int ispProgrammingEnable(adapter::LinkContext& ctx) {
    ctx.state.enableAnswer = ispCommand(ctx, programmingEnable, programmingEnableEcho, 0x00, 0x00);
    return echoOf(ctx.state);
}

int ispResync(adapter::LinkContext& ctx) {
    for (int attempt = 0; echoOf(ctx.state) != programmingEnableEcho && attempt < resyncAttempts;
         ++attempt) {
        if (ispProgrammingEnable(ctx) != programmingEnableEcho) {
            extraClockPulse(ctx);
        }
    }
    return echoOf(ctx.state);
}

int ispReadSignature(IspContext& ctx) {
    std::uint8_t signature[3] = {};
    for (std::uint8_t address = 0; address < 3; ++address) {
        signature[address] =
            static_cast<std::uint8_t>(ispCommand(ctx.link, readSignatureByte, 0x00, address, 0x00));
    }
    ctx.link.state.partFamily = signature[1];
    char text[80];
    std::snprintf(text, sizeof text,
                  "Vendor Code: %02X\nPart Family: %02X\nPart Number: %02X\nEcho 53 received",
                  signature[0], signature[1], signature[2]);
    ctx.state.deviceInfoText = text;
    return ctx.link.state.partFamily;
}

}  // namespace isp
