// Opening and closing the serial adapter's port.
#include "adapter/adapter.h"
#include "resources/texts.h"

namespace adapter {

namespace {

const char* openFailureText(SerialOpenResult result) {
    switch (result) {
        case SerialOpenResult::CannotReadSettings:
            return texts::CannotReadComSettings;
        case SerialOpenResult::CannotWriteSettings:
            return texts::CannotWriteComSettings;
        case SerialOpenResult::CannotWriteTimeouts:
            return texts::CannotWriteTimeouts;
        case SerialOpenResult::Ok:
        case SerialOpenResult::CannotOpen:
            break;
    }
    return texts::ComInitError;
}

}  // namespace

int openSerialPort(LinkContext& ctx) {
    LinkState& state = ctx.state;
    if (state.portOpen) {
        return 0;
    }
    const std::string device = ctx.serialPorts.devicePath(ctx.port.comDeviceName);
    SerialOpenResult result = SerialOpenResult::CannotOpen;
    ui::SystemError error;
    std::unique_ptr<LineAccess> port = ctx.serialPorts.open(ctx.port.comDeviceName, result, error);
    // A factory that reports success but hands out nothing could not open the port.
    if (result != SerialOpenResult::Ok || !port) {
        // The handle of a half-configured port is closed here (the unique_ptr), so that
        // the next attempt can open it again.
        ctx.messageText =
            openFailureText(result == SerialOpenResult::Ok ? SerialOpenResult::CannotOpen : result);
        if (error.empty()) {
            error = ui::SystemError{device, "open", 0, {}};
        } else if (error.subject.empty()) {
            error.subject = device;
        }
        reportSystemError(ctx, error);
        return 1;
    }
    state.serialPort = std::move(port);
    state.portOpen = true;
    state.portLost = false;
    state.serialDevice = device;
    state.readCostNs = 0;
    ctx.host.logEvent(device + ": port opened");
    if (state.serialPort->traits().linesRaisedOnOpen) {
        // The open raised RTS and DTR; a running controller would take that CLOCK edge
        // as a bit, so both go back low before anything else is clocked.
        SerialLines lines(ctx);
        lines.setClock(false);
        lines.setDataOut(false);
    }
    return 0;
}

void closeSerialPort(LinkContext& ctx) {
    if (ctx.state.serialPort) {
        ctx.state.serialPort.reset();
        ctx.host.logEvent(ctx.state.serialDevice + ": port closed");
    }
    ctx.state.portOpen = false;
    ctx.state.portLost = false;
}

}  // namespace adapter
