// The clocked link: one bit per CLOCK pulse in each direction, most significant first.
#include "adapter/adapter.h"
#include "link/link.h"

namespace clink {

namespace {

void shiftIn(adapter::LinkState& state, int bit) {
    // Bits shifted out at the top are lost; unsigned so that this is no overflow.
    auto shifted = static_cast<std::uint32_t>(state.receiveRegister) << 1;
    state.receiveRegister = static_cast<std::int32_t>(shifted | (bit != 0 ? 1u : 0u));
}

}  // namespace

void exchangeBit(LinkContext& ctx, int bit) {
    const bool serial = ctx.port.kind == adapter::PortKind::Serial;
    // The controller samples DATA-OUT on the rising edge: it settles one delay before.
    adapter::setDataOut(ctx, bit != 0);
    adapter::bitDelay(ctx, 1);
    adapter::setClock(ctx, true);
    adapter::bitDelay(ctx, 1);
    if (serial && ctx.state.adapterDetected) {
        // A detected serial adapter idles DATA-OUT high before DATA-IN is sampled.
        adapter::setDataOut(ctx, true);
        adapter::bitDelay(ctx, 1);
    }
    shiftIn(ctx.state, adapter::readDataIn(ctx));
    if (serial) {
        adapter::bitDelay(ctx, 1);
    }
    adapter::setClock(ctx, false);
    adapter::bitDelay(ctx, 1);
}

int exchangeByte(LinkContext& ctx) {
    ctx.state.receiveRegister = 0;
    adapter::bitDelay(ctx, 2);
    for (int i = 0; i < 8; ++i) {
        exchangeBit(ctx, ctx.state.sendRegister & (0x80 >> i));
    }
    ctx.state.receiveRegister &= 0xFF;
    return ctx.state.receiveRegister;
}

int exchangeByte(LinkContext& ctx, int value) {
    ctx.state.sendRegister = value;
    return exchangeByte(ctx);
}

void exchangeWord(LinkContext& ctx) {
    for (int i = 0; i < 16; ++i) {
        exchangeBit(ctx, ctx.state.sendRegister & (0x8000 >> i));
    }
}

}  // namespace clink
