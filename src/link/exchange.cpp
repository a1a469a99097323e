// The clocked link: one bit per CLOCK pulse in each direction, most significant first.
// The lines do the clocking (LineAccess::exchangeBits), so that an adapter able to send a
// whole byte at once does so.
#include "adapter/adapter.h"
#include "link/link.h"

namespace clink {

namespace {

void shiftBits(LinkContext& ctx, std::uint32_t bits, int count) {
    const std::uint32_t received = adapter::exchangeBits(ctx, bits, count);
    // Bits shifted out at the top are lost; unsigned so that this is no overflow.
    const auto kept =
        count < 32 ? static_cast<std::uint32_t>(ctx.state.receiveRegister) << count : 0u;
    ctx.state.receiveRegister = static_cast<std::int32_t>(kept | received);
}

}  // namespace

void exchangeBit(LinkContext& ctx, int bit) {
    shiftBits(ctx, bit != 0 ? 1u : 0u, 1);
}

int exchangeByte(LinkContext& ctx) {
    ctx.state.receiveRegister = 0;
    adapter::bitDelay(ctx, 2);
    shiftBits(ctx, static_cast<std::uint32_t>(ctx.state.sendRegister) & 0xFF, 8);
    ctx.state.receiveRegister &= 0xFF;
    return ctx.state.receiveRegister;
}

int exchangeByte(LinkContext& ctx, int value) {
    ctx.state.sendRegister = value;
    return exchangeByte(ctx);
}

void exchangeWord(LinkContext& ctx) {
    shiftBits(ctx, static_cast<std::uint32_t>(ctx.state.sendRegister) & 0xFFFF, 16);
}

}  // namespace clink
