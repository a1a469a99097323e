#include "sim/test_rig.h"

namespace sim {

TestRig::TestRig(ControllerConfig config)
    : m_controller(std::move(config)),
      m_serialPorts(m_clock, m_controller),
      m_portIo(m_clock, m_controller),
      m_link{m_port, m_state, m_messageText, m_clock, m_serialPorts, m_portIo, m_host} {
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

}  // namespace sim
