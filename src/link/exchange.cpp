// The clocked link: one bit per CLOCK pulse in each direction, most significant first.
// The lines do the clocking (LineAccess::exchangeBits), so that an adapter able to send a
// whole byte at once does so.
#include "adapter/adapter.h"
#include "link/link.h"

namespace clink {

namespace {

// The bit delays before each byte's bits.
constexpr int byteLeadUnits = 2;

void shiftBits(LinkContext& ctx, std::uint32_t bits, int count) {
    const std::uint32_t received = adapter::exchangeBits(ctx, bits, count);
    // Bits shifted out at the top are lost; unsigned so that this is no overflow.
    const auto kept =
        count < 32 ? static_cast<std::uint32_t>(ctx.state.receiveRegister) << count : 0u;
    ctx.state.receiveRegister = static_cast<std::int32_t>(kept | received);
}

}  // namespace

int exchangeByte(LinkContext& ctx) {
    ctx.state.receiveRegister = 0;
    adapter::bitDelay(ctx, byteLeadUnits);
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

std::optional<std::vector<int>> exchangeByteRun(LinkContext& ctx, std::span<const RunByte> run) {
    std::vector<adapter::ExchangeStep> steps;
    steps.reserve(run.size());
    for (const RunByte& byte : run) {
        // exchangeByte's own two bit delays come after those between the bytes.
        steps.push_back(
            {byte.unitsBefore + byteLeadUnits, static_cast<std::uint32_t>(byte.value) & 0xFF, 8});
    }
    std::vector<std::uint32_t> samples;
    if (!adapter::exchangeSequence(ctx, steps, samples)) {
        return std::nullopt;
    }
    std::vector<int> answers;
    answers.reserve(samples.size());
    for (std::uint32_t received : samples) {
        answers.push_back(static_cast<int>(received & 0xFF));
    }
    return answers;
}

void keepRegisters(LinkContext& ctx, int value, int answer) {
    ctx.state.sendRegister = value;
    ctx.state.receiveRegister = answer & 0xFF;
}

}  // namespace clink
