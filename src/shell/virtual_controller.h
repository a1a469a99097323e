// The virtual controller as a port choice of both front ends: its clock, the controller
// and its serial adapter, built from the shared --sim options. The desktop program offers
// it in the Port menu; --simulate starts on it.
#pragma once

#include <memory>
#include <string>

#include "adapter/clock.h"
#include "adapter/ftdi_lines.h"
#include "shell/app.h"
#include "shell/start_options.h"
#include "sim/controller.h"
#include "sim/parallel_adapter.h"
#include "sim/serial_adapter.h"
#include "sim/virtual_ftdi_chip.h"

namespace shell {

class VirtualController {
  public:
    explicit VirtualController(const SimOptions& options = {});
    VirtualController(const VirtualController&) = delete;
    VirtualController& operator=(const VirtualController&) = delete;

    // Loads --sim-memory; empty on success, else the reason.
    std::string loadMemory();
    // What App::setVirtualBackends takes.
    Backends backends();
    // Writes --sim-save, --sim-flash-save and --trace; empty on success, else the reasons.
    std::string saveOutputs();

    sim::SetupBytes& setupMemory() { return m_controller.setupMemory(); }
    sim::SerialAdapterConfig& serialConfig() { return m_serialPorts.config(); }

  private:
    SimOptions m_options;
    adapter::VirtualClock m_clock;
    sim::Controller m_controller;
    sim::VirtualSerialFactory m_serialPorts;
    sim::VirtualPortIo m_portIo;
    // --sim-driver ftdi-bitbang: the virtual FTDI chip behind every port name.
    std::unique_ptr<sim::VirtualFtdiBus> m_ftdiBus;
    std::unique_ptr<adapter::FtdiPortFactory> m_ftdiPorts;
};

}  // namespace shell
