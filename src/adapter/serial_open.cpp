// Opening and closing the serial adapter's port.
#include "adapter/adapter.h"

namespace adapter {

namespace {

const char* openFailureText(SerialOpenResult result) {
    switch (result) {
        case SerialOpenResult::CannotReadSettings:
            return "Kann COM-Port Einstellung nicht lesen.";
        case SerialOpenResult::CannotWriteSettings:
            return "Kann COM-Port Einstellung nicht schreiben.";
        case SerialOpenResult::CannotWriteTimeouts:
            return "Kann TIMEOUTS nicht schreiben.";
        case SerialOpenResult::Ok:
        case SerialOpenResult::CannotOpen:
            break;
    }
    return "COM-Init-Error!";
}

}  // namespace

int openSerialPort(LinkContext& ctx) {
    LinkState& state = ctx.state;
    if (state.portOpen) {
        return 0;
    }
    SerialOpenResult result = SerialOpenResult::CannotOpen;
    std::unique_ptr<LineAccess> port = ctx.serialPorts.open(ctx.port.comDeviceName, result);
    // A factory that reports success but hands out nothing could not open the port.
    if (result != SerialOpenResult::Ok || !port) {
        // The handle of a half-configured port is closed here (the unique_ptr), so that
        // the next attempt can open it again.
        ctx.messageText =
            openFailureText(result == SerialOpenResult::Ok ? SerialOpenResult::CannotOpen : result);
        return 1;
    }
    state.serialPort = std::move(port);
    state.portOpen = true;
    state.portLost = false;
    return 0;
}

void closeSerialPort(LinkContext& ctx) {
    ctx.state.serialPort.reset();
    ctx.state.portOpen = false;
    ctx.state.portLost = false;
}

}  // namespace adapter
