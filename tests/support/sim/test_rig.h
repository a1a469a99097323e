// One object with everything a test or the demo needs to run the real procedures
// against the virtual controller: clock, controller, both adapters and the FTDI chip (its
// "ftdi:" port names reach it, as in the program), the port selection, linkState,
// messageText, a recording host and a LinkContext over all of them.
//
// At the start the controller runs (RESET pulled high, no port drives it yet). Opening the
// serial port leaves RTS, DTR and break off, so the controller is then held in reset until
// a start sequence raises RESET; the parallel lines follow the first data register write.
#pragma once

#include <string>
#include <vector>

#include "adapter/clock.h"
#include "adapter/ftdi_lines.h"
#include "adapter/link_context.h"
#include "adapter/link_state.h"
#include "adapter/port_selection.h"
#include "sim/controller.h"
#include "sim/parallel_adapter.h"
#include "sim/serial_adapter.h"
#include "sim/virtual_ftdi_chip.h"
#include "ui/recording_host.h"

namespace sim {

class TestRig {
  public:
    explicit TestRig(ControllerConfig config = {});
    TestRig(const TestRig&) = delete;
    TestRig& operator=(const TestRig&) = delete;

    // The parallel adapter at 0x378 with direct port access; the controller moves to it.
    void selectParallel();
    // Back to the serial adapter on COM2 (the start-up choice).
    void selectSerial();
    // The FTDI chip in synchronous bit-bang mode, "ftdi:ZEK0001"; the serial adapter gone.
    void selectFtdiChip();

    adapter::LinkContext& link() { return m_link; }
    adapter::VirtualClock& clock() { return m_clock; }
    Controller& controller() { return m_controller; }
    VirtualSerialFactory& serialPorts() { return m_serialPorts; }
    VirtualPortIo& portIo() { return m_portIo; }
    VirtualFtdiBus& ftdiBus() { return m_ftdiBus; }
    adapter::PortSelection& port() { return m_port; }
    adapter::LinkState& linkState() { return m_state; }
    std::string& messageText() { return m_messageText; }
    ui::RecordingHost& host() { return m_host; }

    // --- the controller's memories
    SetupBytes& setupMemory() { return m_controller.setupMemory(); }
    FlashMemory& flash() { return m_controller.flash(); }
    std::vector<PageLogEntry>& pageLog() { return m_controller.flash().pageLog(); }
    LineTrace& trace() { return m_controller.trace(); }

    // --- the knobs; changes take effect from the next line change
    ControllerConfig& controllerConfig() { return m_controller.config(); }
    IspConfig& ispConfig() { return m_controller.config().isp; }
    MotorConfig& motorConfig() { return m_controller.config().motor; }
    SerialAdapterConfig& serialConfig() { return m_serialPorts.config(); }
    ParallelAdapterConfig& parallelConfig() { return m_portIo.config(); }

  private:
    adapter::VirtualClock m_clock;
    Controller m_controller;
    VirtualSerialFactory m_serialPorts;
    VirtualPortIo m_portIo;
    VirtualFtdiBus m_ftdiBus;
    adapter::FtdiPortFactory m_ports;
    adapter::PortSelection m_port;
    adapter::LinkState m_state;
    std::string m_messageText;
    ui::RecordingHost m_host;
    adapter::LinkContext m_link;
};

}  // namespace sim
