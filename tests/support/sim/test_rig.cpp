#include "sim/test_rig.h"

namespace sim {

TestRig::TestRig(ControllerConfig config)
    : m_controller(std::move(config)),
      m_serialPorts(m_clock, m_controller),
      m_portIo(m_clock, m_controller),
      m_ftdiBus(m_clock, m_controller),
      // No port list behind the chip: its advice on a failed opening stays general.
      m_ports(m_ftdiBus, m_clock, m_serialPorts, adapter::FtdiPortFactory::Routing::FtdiNames,
              {"/nonexistent/sys", "/nonexistent/dev"}),
      m_link{m_port, m_state, m_messageText, m_clock, m_ports, m_portIo, m_host} {
    selectSerial();
}

void TestRig::selectParallel() {
    m_port.kind = adapter::PortKind::Parallel;
    m_port.portName = "0378";
    m_port.parallelBase = 0x378;
    m_port.directPortIo = true;
    m_port.portDriverReady = false;
    m_portIo.config().adapterBase = 0x378;
    m_serialPorts.setAttached(false);
    m_portIo.setAttached(true);
}

void TestRig::selectSerial() {
    m_port.kind = adapter::PortKind::Serial;
    m_port.portName = "COM2";
    m_port.comDeviceName = "COM2";
    m_portIo.setAttached(false);
    m_serialPorts.setAttached(true);
}

void TestRig::selectFtdiChip() {
    selectSerial();
    m_port.comDeviceName = "ftdi:ZEK0001";
    m_serialPorts.setAttached(false);
}

}  // namespace sim
