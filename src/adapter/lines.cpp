// The line operations on the selected adapter, and the serial adapter's lines on the open
// port. Serial operations act on the open port whatever PortKind says.
#include "adapter/adapter.h"

namespace adapter {

// Every operation on the serial lines passes here.
LineAccess* SerialLines::openPort() {
    keepAlive(m_ctx);
    return m_ctx.state.portOpen ? m_ctx.state.serialPort.get() : nullptr;
}

// The port vanished under us: close it so that the next command tries to open it again
// and reports what it finds; the reason goes to the log and to the next box.
void SerialLines::dropIfFailed() {
    LinkState& state = m_ctx.state;
    if (!state.serialPort || !state.serialPort->failed()) {
        return;
    }
    const ui::SystemError* error = state.serialPort->fault();
    state.lineFault =
        error != nullptr ? *error : ui::SystemError{state.serialDevice, {}, 0, "port lost"};
    if (state.lineFault.subject.empty()) {
        state.lineFault.subject = state.serialDevice;
    }
    state.serialPort.reset();
    state.portOpen = false;
    state.portLost = true;
    reportSystemError(m_ctx, state.lineFault);
}

void SerialLines::drive(void (LineAccess::*set)(bool), bool high) {
    if (LineAccess* port = openPort()) {
        (port->*set)(high);
        dropIfFailed();
    }
}

int SerialLines::readDataIn() {
    LinkState& state = m_ctx.state;
    if (LineAccess* port = openPort()) {
        int dataIn = port->readDataIn();
        if (port->failed()) {
            dropIfFailed();
        } else {
            state.modemStatus = (state.modemStatus & ~modemCtsOn) | (dataIn != 0 ? modemCtsOn : 0u);
        }
    }
    // An unanswered read leaves modemStatus as it was, and that is what counts.
    return (state.modemStatus & modemCtsOn) != 0 ? 1 : 0;
}

bool SerialLines::readLoopBack() {
    return (readModemStatus() & modemDsrOn) != 0;
}

std::uint32_t SerialLines::readModemStatus() {
    LinkState& state = m_ctx.state;
    if (LineAccess* port = openPort()) {
        std::uint32_t status = port->readModemStatus();
        if (port->failed()) {
            dropIfFailed();
        } else {
            state.modemStatus = status & (modemCtsOn | modemDsrOn);
        }
    }
    return state.modemStatus;
}

std::uint32_t SerialLines::exchangeBits(std::uint32_t bits, int count,
                                        const BitClocking& clocking) {
    LineAccess* port = openPort();
    if (port == nullptr || !port->traits().exchangesAtOnce) {
        return LineAccess::exchangeBits(bits, count, clocking);
    }
    const std::uint32_t samples = port->exchangeBits(bits, count, clocking);
    dropIfFailed();
    return samples;
}

bool SerialLines::exchangeSequence(std::span<const ExchangeStep> steps, const BitClocking& clocking,
                                   std::vector<std::uint32_t>& samples) {
    LineAccess* port = openPort();
    if (port == nullptr || !port->traits().exchangesAtOnce ||
        !port->exchangeSequence(steps, clocking, samples)) {
        return false;
    }
    dropIfFailed();
    return true;
}

const ui::SystemError* SerialLines::fault() const {
    return m_ctx.state.portLost ? &m_ctx.state.lineFault : nullptr;
}

LineTraits SerialLines::traits() const {
    LineTraits traits{.idleDataOutHigh = m_ctx.state.adapterDetected, .delayAfterSample = true};
    if (m_ctx.state.portOpen && m_ctx.state.serialPort) {
        const LineTraits port = m_ctx.state.serialPort->traits();
        traits.linesRaisedOnOpen = port.linesRaisedOnOpen;
        traits.statusReportIntervalNs = port.statusReportIntervalNs;
        traits.dataInConstant = port.dataInConstant;
        traits.breakHeld = port.breakHeld;
    }
    return traits;
}

// The one place where the port kind picks the lines.
SelectedLines::SelectedLines(LinkContext& ctx)
    : m_serial(ctx),
      m_parallel(ctx),
      m_selected(ctx.port.kind == PortKind::Serial ? static_cast<LineAccess*>(&m_serial)
                                                   : &m_parallel) {}

void reportSystemError(LinkContext& ctx, const ui::SystemError& error) {
    const std::string line = error.describe();
    ctx.host.logEvent(line);
    ctx.host.setPendingDetail(line);
}

void serialSetClock(LinkContext& ctx, bool high) {
    SerialLines(ctx).setClock(high);
}

void serialSetDataOut(LinkContext& ctx, bool high) {
    SerialLines(ctx).setDataOut(high);
}

void serialSetReset(LinkContext& ctx, bool high) {
    SerialLines(ctx).setReset(high);
}

int serialReadDataIn(LinkContext& ctx) {
    return SerialLines(ctx).readDataIn();
}

void writeOutputImage(LinkContext& ctx) {
    ParallelLines(ctx).writeOutputImage();
}

void readInputWord(LinkContext& ctx) {
    ParallelLines(ctx).readInputWord();
}

void setClock(LinkContext& ctx, bool high) {
    SelectedLines(ctx)->setClock(high);
}

void setDataOut(LinkContext& ctx, bool high) {
    SelectedLines(ctx)->setDataOut(high);
}

void setReset(LinkContext& ctx, bool high) {
    SelectedLines(ctx)->setReset(high);
}

int readDataIn(LinkContext& ctx) {
    return SelectedLines(ctx)->readDataIn();
}

// Asking for the fault changes nothing, so a context that may not be changed will do.
bool linesFailed(const LinkContext& ctx) {
    return SelectedLines(const_cast<LinkContext&>(ctx))->failed();
}

bool linesFaultShown(const LinkContext& ctx) {
    SelectedLines lines(const_cast<LinkContext&>(ctx));
    return lines->failed() && lines->traits().showsOwnFault;
}

const ui::SystemError* linesFault(const LinkContext& ctx) {
    return SelectedLines(const_cast<LinkContext&>(ctx))->fault();
}

BitClocking bitClocking(LinkContext& ctx, const LineAccess& lines) {
    BitClocking clocking{.readsPerDelay = bitDelayReads(ctx), .traits = lines.traits()};
    // Only a slow port or a cached status needs the clock; a native port's sequence is
    // its reads alone.
    if (clocking.readsPerDelay == 0) {
        clocking.clock = &ctx.clock;
        clocking.unitNs = bitDelayUnitNs(ctx);
    }
    if (clocking.traits.statusReportIntervalNs != 0) {
        clocking.clock = &ctx.clock;
    }
    clocking.keepAlive = [&ctx] { keepAlive(ctx); };
    return clocking;
}

std::uint32_t exchangeBits(LinkContext& ctx, std::uint32_t bits, int count) {
    SelectedLines lines(ctx);
    return lines->exchangeBits(bits, count, bitClocking(ctx, *lines));
}

bool exchangeSequence(LinkContext& ctx, std::span<const ExchangeStep> steps,
                      std::vector<std::uint32_t>& samples) {
    SelectedLines lines(ctx);
    return lines->exchangeSequence(steps, bitClocking(ctx, *lines), samples);
}

}  // namespace adapter
