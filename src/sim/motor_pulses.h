// The released motor's speed pulses on DATA-IN: one high pulse per electrical revolution.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/controller_config.h"
#include "sim/data_in_driver.h"

namespace sim {

class MotorPulses {
  public:
    explicit MotorPulses(const MotorConfig& config) : m_config(config) {}

    void start(std::uint64_t timeNs);
    void stop() { m_running = false; }
    bool running() const { return m_running; }
    // Puts every pulse edge up to timeNs on DATA-IN.
    void emitUpTo(std::uint64_t timeNs, DataInDriver& dataIn);

  private:
    // Rising edge of pulse index, in ns after the start; false when there is none.
    bool pulseStart(std::uint64_t index, std::uint64_t& offsetNs) const;
    std::uint64_t widthNs() const;

    const MotorConfig& m_config;
    bool m_running = false;
    std::uint64_t m_startNs = 0;
    std::uint64_t m_next = 0;              // the first pulse not yet put on DATA-IN
    std::vector<std::uint64_t> m_timesUs;  // the configured list, in time order
};

}  // namespace sim
