// The line operations of both back-ends. Serial operations act on the open port whatever
// PortKind says; parallel ones write outputImage and read inputWord through PortIo.
#include "adapter/adapter.h"
#include "adapter/parallel_register.h"

namespace adapter {

namespace {

const char* const driverAccessText = "Error during driver access!";

// The port vanished under us: close it so that the next command tries to open it again
// and reports what it finds.
void dropIfFailed(LinkContext& ctx) {
    LinkState& state = ctx.state;
    if (state.serialPort && state.serialPort->failed()) {
        state.serialPort.reset();
        state.portOpen = false;
        state.portLost = true;
    }
}

LineAccess* openPort(LinkContext& ctx) {
    return ctx.state.portOpen ? ctx.state.serialPort.get() : nullptr;
}

bool parallelReachable(LinkContext& ctx) {
    if (driverFaultStands(ctx)) {
        return false;
    }
    if (!ctx.port.directPortIo && !ctx.port.portDriverReady) {
        reportDriverFault(ctx);
        return false;
    }
    return true;
}

void setImageBit(LinkContext& ctx, std::int32_t bit, bool high) {
    if (high) {
        ctx.state.outputImage |= bit;
    } else {
        ctx.state.outputImage &= ~bit;
    }
    writeOutputImage(ctx);
}

}  // namespace

// Shown once: the operation in progress runs to its end with dead lines, and the
// dialog named by the main window handle ends.
void reportDriverFault(LinkContext& ctx) {
    if (ctx.state.driverFault) {
        return;
    }
    ctx.state.driverFault = true;
    ctx.host.messageBox(nullptr, driverAccessText, "Error");
    if (ctx.mainWindow != nullptr) {
        ctx.mainWindow->end(1);
    }
}

bool driverFaultStands(LinkContext& ctx) {
    // The fault ended the dialog it happened in. A command in a dialog that is still
    // open (a sub-dialog was ended, the main dialog goes on) tries the port again, and
    // reports it again if it still fails.
    if (ctx.state.driverFault && ctx.mainWindow != nullptr && !ctx.mainWindow->ended()) {
        ctx.state.driverFault = false;
    }
    return ctx.state.driverFault;
}

void serialSetClock(LinkContext& ctx, bool high) {
    if (LineAccess* port = openPort(ctx)) {
        port->setClock(high);
        dropIfFailed(ctx);
    }
}

void serialSetDataOut(LinkContext& ctx, bool high) {
    if (LineAccess* port = openPort(ctx)) {
        port->setDataOut(high);
        dropIfFailed(ctx);
    }
}

void serialSetReset(LinkContext& ctx, bool high) {
    if (LineAccess* port = openPort(ctx)) {
        port->setReset(high);
        dropIfFailed(ctx);
    }
}

int serialReadDataIn(LinkContext& ctx) {
    if (LineAccess* port = openPort(ctx)) {
        int dataIn = port->readDataIn();
        if (port->failed()) {
            dropIfFailed(ctx);
        } else {
            ctx.state.modemStatus =
                (ctx.state.modemStatus & ~modemCtsOn) | (dataIn != 0 ? modemCtsOn : 0u);
        }
    }
    // An unanswered read leaves modemStatus as it was, and that is what counts.
    return (ctx.state.modemStatus & modemCtsOn) != 0 ? 1 : 0;
}

std::uint32_t serialReadModemStatus(LinkContext& ctx) {
    if (LineAccess* port = openPort(ctx)) {
        std::uint32_t status = port->readModemStatus();
        if (port->failed()) {
            dropIfFailed(ctx);
        } else {
            ctx.state.modemStatus = status & (modemCtsOn | modemDsrOn);
        }
    }
    return ctx.state.modemStatus;
}

void writeOutputImage(LinkContext& ctx) {
    if (!parallelReachable(ctx)) {
        return;
    }
    auto value = static_cast<std::uint8_t>(ctx.state.outputImage & 0xFF);
    if (!ctx.portIo.writeData(ctx.port.parallelBase, value)) {
        reportDriverFault(ctx);
    }
}

void readInputWord(LinkContext& ctx) {
    if (!parallelReachable(ctx)) {
        return;
    }
    std::uint16_t word = 0;
    if (ctx.portIo.readWord(ctx.port.parallelBase, word)) {
        ctx.state.inputWord = word;
    } else {
        reportDriverFault(ctx);
    }
}

void setClock(LinkContext& ctx, bool high) {
    if (ctx.port.kind == PortKind::Serial) {
        serialSetClock(ctx, high);
    } else {
        setImageBit(ctx, clockBit, high);
    }
}

void setDataOut(LinkContext& ctx, bool high) {
    if (ctx.port.kind == PortKind::Serial) {
        serialSetDataOut(ctx, high);
    } else {
        setImageBit(ctx, dataOutBit, high);
    }
}

void setReset(LinkContext& ctx, bool high) {
    if (ctx.port.kind == PortKind::Serial) {
        serialSetReset(ctx, high);
    } else {
        setImageBit(ctx, resetBit, high);
    }
}

int readDataIn(LinkContext& ctx) {
    if (ctx.port.kind == PortKind::Serial) {
        return serialReadDataIn(ctx);
    }
    readInputWord(ctx);
    return (ctx.state.inputWord & dataInInputBit) != 0 ? 1 : 0;
}

bool linesFailed(const LinkContext& ctx) {
    return ctx.port.kind == PortKind::Serial ? ctx.state.portLost : ctx.state.driverFault;
}

}  // namespace adapter
