#include "sim/controller.h"

#include <algorithm>

namespace sim {

Controller::Controller(ControllerConfig config)
    : m_config(std::move(config)),
      m_setup(defaultSetupImage()),
      m_dataIn(m_trace),
      m_firmware(m_config, m_setup, m_flash),
      m_link(m_firmware, m_dataIn),
      m_isp(m_config.isp, m_dataIn),
      m_motor(m_config.motor) {
    // Before any port drives it, RESET is pulled high: the controller is running.
}

void Controller::advanceTo(std::uint64_t timeNs) {
    m_nowNs = std::max(m_nowNs, timeNs);
    m_motor.emitUpTo(m_nowNs, m_dataIn);
    m_dataIn.advanceTo(m_nowNs);
}

void Controller::enterReset(std::uint64_t timeNs) {
    m_mode = ControllerMode::InReset;
    m_motor.stop();
    m_dataIn.clearPending();
    m_firmware.restart();
    m_isp.enterReset(timeNs);
}

void Controller::start(std::uint64_t timeNs) {
    m_dataIn.clearPending();
    m_firmware.restart();
    m_link.restart(timeNs);
    m_listensFromNs = timeNs + m_config.bootNs;
    // CLOCK high while RESET rises is the firmware's signal to release the motor.
    if (input(Line::Clock)) {
        m_mode = ControllerMode::MotorReleased;
        m_motor.start(timeNs);
    } else {
        m_mode = ControllerMode::Firmware;
    }
}

void Controller::setLine(std::uint64_t timeNs, Line line, bool high) {
    advanceTo(timeNs);
    timeNs = m_nowNs;
    const bool was = input(line);
    m_trace.record(timeNs, line, high);
    if (was == high || m_config.kind == DeviceKind::NothingAttached) {
        return;
    }
    if (line == Line::Reset) {
        high ? start(timeNs) : enterReset(timeNs);
        return;
    }
    if (line != Line::Clock) {
        return;  // DATA-OUT is only looked at on rising CLOCK edges
    }
    const bool dataOut = input(Line::DataOut);
    if (m_mode == ControllerMode::InReset) {
        high ? m_isp.risingClock(timeNs, dataOut) : m_isp.fallingClock(timeNs);
    } else if (m_mode == ControllerMode::Firmware && timeNs >= m_listensFromNs) {
        high ? m_link.risingClock(timeNs, dataOut) : m_link.fallingClock(timeNs);
    }
}

bool Controller::readDataIn(std::uint64_t timeNs) {
    advanceTo(timeNs);
    if (m_config.kind == DeviceKind::NothingAttached) {
        // Nothing drives the line: it sits at whatever the adapter's input floats to.
        m_trace.record(m_nowNs, Line::DataIn, m_config.nothingAttachedLevel);
        return m_config.nothingAttachedLevel;
    }
    return m_dataIn.level();
}

}  // namespace sim
