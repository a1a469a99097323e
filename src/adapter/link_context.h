// What the line driver, the link and the procedures above them need of the
// application: the port selection, linkState, messageText, the clock, the two kinds
// of port, and the host for the few boxes the driver shows itself.
#pragma once

#include <string>

#include "adapter/clock.h"
#include "adapter/link_state.h"
#include "adapter/port_io.h"
#include "adapter/port_selection.h"
#include "adapter/serial_port.h"
#include "ui/dialog.h"
#include "ui/ui_host.h"

namespace adapter {

struct LinkContext;

// Sees every write to the controller before it is sent: the automatic backup is taken
// there, and a dry run records the write instead. false: the write counts as done but is
// not sent.
class WriteGate {
  public:
    virtual ~WriteGate() = default;
    virtual bool beforeSetupWrite(LinkContext& ctx, int address, int value) = 0;
    virtual bool beforeFlashWrite(int offset, int value) = 0;
    virtual bool beforeFlashCommit(int page) = 0;
    // A setup byte the controller was seen to hold, so a backup can carry it.
    virtual void afterSetupRead(int /*address*/, int /*value*/) {}
};

struct LinkContext {
    PortSelection& port;
    LinkState& state;
    std::string& messageText;
    Clock& clock;
    SerialPortFactory& serialPorts;
    PortIo& portIo;
    ui::UiHost& host;
    // The dialog named by the main window handle: its status field shows progress, and a
    // driver access failure ends it. May be null in low-level tests.
    ui::Dialog* mainWindow = nullptr;
    WriteGate* writeGate = nullptr;
};

}  // namespace adapter
