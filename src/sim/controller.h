// The virtual controller at the level of line changes. Every input comes with the clock
// time of the change; DATA-IN is computed for the time it is read.
//
//   RESET low ........ held in reset; the processor's serial programming interface listens
//   RESET rises ...... the firmware starts: with CLOCK low it answers link commands after
//                      its boot time, with CLOCK high it releases the motor (speed pulses)
#pragma once

#include <cstdint>

#include "sim/controller_config.h"
#include "sim/data_in_driver.h"
#include "sim/firmware.h"
#include "sim/flash_memory.h"
#include "sim/isp_slave.h"
#include "sim/line_trace.h"
#include "sim/link_slave.h"
#include "sim/motor_pulses.h"
#include "sim/setup_memory.h"

namespace sim {

enum class ControllerMode { InReset, Firmware, MotorReleased };

class Controller {
  public:
    explicit Controller(ControllerConfig config = {});
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    // A line from the PC changes at timeNs (CLOCK, DATA-OUT or RESET); times never go back.
    void setLine(std::uint64_t timeNs, Line line, bool high);
    // DATA-IN as the PC reads it at timeNs.
    bool readDataIn(std::uint64_t timeNs);

    ControllerMode mode() const { return m_mode; }
    ControllerConfig& config() { return m_config; }
    SetupBytes& setupMemory() { return m_setup; }
    FlashMemory& flash() { return m_flash; }
    LineTrace& trace() { return m_trace; }
    const IspSlave& isp() const { return m_isp; }

  private:
    void advanceTo(std::uint64_t timeNs);
    void enterReset(std::uint64_t timeNs);
    void start(std::uint64_t timeNs);
    bool input(Line line) const { return m_trace.level(line); }

    ControllerConfig m_config;
    SetupBytes m_setup;
    FlashMemory m_flash;
    LineTrace m_trace;
    DataInDriver m_dataIn;
    Firmware m_firmware;
    LinkSlave m_link;
    IspSlave m_isp;
    MotorPulses m_motor;
    ControllerMode m_mode = ControllerMode::Firmware;
    std::uint64_t m_listensFromNs = 0;
    std::uint64_t m_nowNs = 0;
};

}  // namespace sim
