// The adapter test and the line sequences that hold the controller in reset or start it.
#include "adapter/adapter.h"
#include "resources/texts.h"

namespace adapter {

namespace {

// The adapter's DTR-to-DSR loop-back needs this long to follow a change.
constexpr std::uint32_t loopBackSettleMs = 150;
// The controller is held in reset this long before and after its reset pulse.
constexpr std::uint32_t resetHoldMs = 100;
constexpr std::uint32_t longResetRunMs = 200;
constexpr std::uint32_t shortResetPulseMs = 1;
constexpr std::uint32_t parallelLowerSettleMs = 30;
constexpr int parallelResetPulseUnits = 10;
// The firmware needs this long after RESET rises before it answers link commands.
constexpr std::uint32_t firmwareStartMs = 500;
constexpr std::uint32_t bootloaderStartMs = 1000;

// The selected port as the log names it: the serial device, or the parallel base.
std::string portForLog(LinkContext& ctx) {
    if (ctx.port.kind == PortKind::Serial) {
        return ctx.serialPorts.devicePath(ctx.port.comDeviceName);
    }
    return parallelPortName(ctx.port.parallelBase);
}

int adapterNotFound(LinkContext& ctx) {
    ctx.messageText = texts::NoAdaptorFoundAt + ctx.port.portName + "\n";
    ctx.host.logEvent(portForLog(ctx) + ": adapter test failed, no adapter found");
    return 1;
}

void parallelReset(LinkContext& ctx, ResetForm form) {
    ParallelLines lines(ctx);
    lines.lowerLines();
    if (form == ResetForm::Short) {
        delayMs(ctx, parallelLowerSettleMs);
        lines.setReset(true);
        bitDelay(ctx, parallelResetPulseUnits);
        lines.setReset(false);
    } else {
        ctx.state.outputImage &= ~lineBits;
        lines.writeOutputImage();
        delayMs(ctx, shortResetPulseMs);
        lines.setReset(true);
        delayMs(ctx, shortResetPulseMs);
        delayMs(ctx, longResetRunMs);
        lines.setReset(false);
    }
    delayMs(ctx, resetHoldMs);
}

void serialReset(LinkContext& ctx, ResetForm form) {
    SerialLines lines(ctx);
    lines.setClock(false);
    lines.setDataOut(false);
    lines.setReset(false);
    delayMs(ctx, resetHoldMs);
    lines.setReset(true);
    delayMs(ctx, form == ResetForm::Short ? shortResetPulseMs : longResetRunMs);
    lines.setReset(false);
    delayMs(ctx, resetHoldMs);
}

const char* formName(StartForm form) {
    constexpr const char* names[] = {"standard", "bootloader", "release"};  // by StartForm
    return names[static_cast<int>(form)];
}

// A port whose driver cannot carry the adapter's lines: said before anything is sent,
// with the cause and the remedy as the detail of the adapter test's box.
bool refuseUnusablePort(LinkContext& ctx) {
    const LineTraits traits = SerialLines(ctx).traits();
    const char* cause = nullptr;
    if (traits.dataInConstant) {
        cause =
            "CTS always reads on (a CDC-ACM port has no real modem lines), so DATA-IN cannot "
            "be read; use a USB-serial converter with real modem lines (FTDI, CP210x, "
            "PL2303) or an on-board port";
    } else if (!traits.breakHeld) {
        cause =
            "the driver cannot hold a break (RESET becomes a pulse of about 217 ms), so the "
            "controller cannot be kept running; use a converter whose driver holds a break "
            "(FTDI, CP210x, PL2303) or an on-board port";
    }
    if (cause == nullptr) {
        return false;
    }
    ctx.messageText = texts::NoAdaptorFoundAt + ctx.port.portName + "\n";
    reportSystemError(ctx, ui::SystemError{portForLog(ctx), {}, 0, cause});
    ctx.host.logEvent(portForLog(ctx) + ": adapter test refused, the port cannot work");
    return true;
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
    if (refuseUnusablePort(ctx)) {
        return 1;
    }
    SerialLines lines(ctx);
    // DSR must follow DTR up and down again.
    for (const bool dtr : {true, false}) {
        lines.setDataOut(dtr);
        delayMs(ctx, loopBackSettleMs);
        if (((lines.readModemStatus() & modemDsrOn) != 0) != dtr || !ctx.state.portOpen) {
            return adapterNotFound(ctx);
        }
    }
    ctx.state.adapterDetected = true;
    ctx.host.logEvent(portForLog(ctx) + ": adapter test passed");
    return 0;
}

void lowerLines(LinkContext& ctx) {
    if (ctx.port.kind == PortKind::Parallel) {
        ParallelLines(ctx).lowerLines();
    }
}

int resetController(LinkContext& ctx, ResetForm form) {
    ctx.host.logEvent(portForLog(ctx) + ": reset, " +
                      (form == ResetForm::Short ? "short" : "long") + " form");
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
    ctx.host.logEvent(portForLog(ctx) + ": start, " + formName(form) + " form");
    SerialLines lines(ctx);
    lines.setReset(false);
    switch (form) {
        case StartForm::Standard:
            lines.setDataOut(true);
            lines.setClock(false);
            break;
        case StartForm::Update:
            lines.setClock(false);
            break;
        case StartForm::Release:
            lines.setClock(true);
            break;
    }
    delayMs(ctx, resetHoldMs);
    lines.setReset(true);
    delayMs(ctx, form == StartForm::Update ? bootloaderStartMs : firmwareStartMs);
}

}  // namespace adapter
