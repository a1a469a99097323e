// The adapter test and the line sequences that hold the controller in reset or start it.
#include "adapter/adapter.h"
#include "adapter/parallel_register.h"

namespace adapter {

namespace {

// The adapter's DTR-to-DSR loop-back needs this long to follow a change.
constexpr std::uint32_t loopBackSettleMs = 150;
// The parallel port's pins settle after the direction change and after lowering.
constexpr std::uint32_t parallelSettleMs = 10;
// The controller is held in reset this long before and after its reset pulse.
constexpr std::uint32_t resetHoldMs = 100;
constexpr std::uint32_t longResetRunMs = 200;
constexpr std::uint32_t shortResetPulseMs = 1;
constexpr std::uint32_t parallelLowerSettleMs = 30;
constexpr int parallelResetPulseUnits = 10;
// The firmware needs this long after RESET rises before it answers link commands.
constexpr std::uint32_t firmwareStartMs = 500;
constexpr std::uint32_t bootloaderStartMs = 1000;

void adapterNotFound(LinkContext& ctx) {
    ctx.messageText = "No Adaptor found at " + ctx.port.portName + "\n";
}

void writeLinesLow(LinkContext& ctx) {
    ctx.state.outputImage &= ~lineBits;
    writeOutputImage(ctx);
}

void parallelReset(LinkContext& ctx, ResetForm form) {
    lowerLines(ctx);
    if (form == ResetForm::Short) {
        delayMs(ctx, parallelLowerSettleMs);
        setReset(ctx, true);
        bitDelay(ctx, parallelResetPulseUnits);
        setReset(ctx, false);
    } else {
        writeLinesLow(ctx);
        delayMs(ctx, shortResetPulseMs);
        setReset(ctx, true);
        delayMs(ctx, shortResetPulseMs);
        delayMs(ctx, longResetRunMs);
        setReset(ctx, false);
    }
    delayMs(ctx, resetHoldMs);
}

void serialReset(LinkContext& ctx, ResetForm form) {
    serialSetClock(ctx, false);
    serialSetDataOut(ctx, false);
    serialSetReset(ctx, false);
    delayMs(ctx, resetHoldMs);
    serialSetReset(ctx, true);
    delayMs(ctx, form == ResetForm::Short ? shortResetPulseMs : longResetRunMs);
    serialSetReset(ctx, false);
    delayMs(ctx, resetHoldMs);
}

}  // namespace

int detectAdapter(LinkContext& ctx) {
    if (ctx.port.kind == PortKind::Parallel) {
        return 0;
    }
    if (openSerialPort(ctx) != 0) {
        return 1;
    }
    ctx.state.adapterDetected = false;
    serialSetDataOut(ctx, true);
    delayMs(ctx, loopBackSettleMs);
    if ((serialReadModemStatus(ctx) & modemDsrOn) == 0 || !ctx.state.portOpen) {
        adapterNotFound(ctx);
        return 1;
    }
    serialSetDataOut(ctx, false);
    delayMs(ctx, loopBackSettleMs);
    if ((serialReadModemStatus(ctx) & modemDsrOn) != 0 || !ctx.state.portOpen) {
        adapterNotFound(ctx);
        return 1;
    }
    ctx.state.adapterDetected = true;
    return 0;
}

void lowerLines(LinkContext& ctx) {
    if (ctx.port.kind == PortKind::Serial) {
        return;
    }
    if (ctx.port.directPortIo) {
        if (driverFaultStands(ctx)) {
            return;
        }
        std::uint8_t control = 0;
        if (!ctx.portIo.readControl(ctx.port.parallelBase, control) ||
            !ctx.portIo.writeControl(ctx.port.parallelBase,
                                     static_cast<std::uint8_t>(control & ~controlDirectionBit))) {
            reportDriverFault(ctx);
            return;
        }
        delayMs(ctx, parallelSettleMs);
        writeLinesLow(ctx);
        delayMs(ctx, parallelSettleMs);
    } else if (ctx.port.portDriverReady) {
        writeLinesLow(ctx);
    }
}

int resetController(LinkContext& ctx, ResetForm form) {
    if (ctx.port.kind == PortKind::Parallel) {
        if (form == ResetForm::Short) {
            calibrateBitDelay(ctx);
        }
        parallelReset(ctx, form);
        return 0;
    }
    // The port is opened before the calibration so that it measures reads of the port the
    // link will use, not calls on a closed one that cost nothing. Neither touches a line,
    // and a failed opening still recalibrates.
    const int opened = openSerialPort(ctx);
    if (form == ResetForm::Short) {
        calibrateBitDelay(ctx);
    }
    if (opened != 0) {
        return 1;
    }
    serialReset(ctx, form);
    return 0;
}

void startController(LinkContext& ctx, StartForm form) {
    serialSetReset(ctx, false);
    switch (form) {
        case StartForm::Standard:
            serialSetDataOut(ctx, true);
            serialSetClock(ctx, false);
            break;
        case StartForm::Update:
            serialSetClock(ctx, false);
            break;
        case StartForm::Release:
            serialSetClock(ctx, true);
            break;
    }
    delayMs(ctx, resetHoldMs);
    serialSetReset(ctx, true);
    delayMs(ctx, form == StartForm::Update ? bootloaderStartMs : firmwareStartMs);
}

}  // namespace adapter
