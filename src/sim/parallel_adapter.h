// The virtual parallel adapter: the port's registers, with the data register wired to
// the virtual controller.
//
//   data register  bit 0 (D0) -> DATA-OUT   bit 1 (D1) -> CLOCK   bit 3 (D3) -> RESET
//   status register bit 6 (ACK) <- DATA-IN, read as bit 14 of the word at the base
#pragma once

#include <cstdint>

#include "adapter/clock.h"
#include "adapter/port_io.h"
#include "sim/controller.h"

namespace sim {

struct ParallelAdapterConfig {
    std::uint16_t adapterBase = 0x378;
    // What one register access costs on the clock.
    std::uint64_t opCostNs = 1000;
};

class VirtualPortIo final : public adapter::PortIo {
  public:
    VirtualPortIo(adapter::VirtualClock& clock, Controller& controller)
        : m_clock(clock), m_controller(controller) {}

    bool writeData(std::uint16_t base, std::uint8_t value) override;
    bool readWord(std::uint16_t base, std::uint16_t& word) override;
    bool readControl(std::uint16_t base, std::uint8_t& value) override;
    bool writeControl(std::uint16_t base, std::uint8_t value) override;

    ParallelAdapterConfig& config() { return m_config; }
    void setAttached(bool attached) { m_attached = attached; }
    std::uint64_t operationCount() const { return m_operations; }

  private:
    // One register access costs its time; returns the time after it.
    std::uint64_t access();
    void applyLines(std::uint64_t now);
    bool atAdapter(std::uint16_t base) const { return m_attached && base == m_config.adapterBase; }

    adapter::VirtualClock& m_clock;
    Controller& m_controller;
    ParallelAdapterConfig m_config;
    bool m_attached = false;
    std::uint8_t m_data = 0;
    std::uint8_t m_control = 0x0C;  // nInit high, select-in low, forward direction
    std::uint64_t m_operations = 0;
};

}  // namespace sim
