#include "sim/parallel_adapter.h"

#include <algorithm>

namespace sim {

namespace {

constexpr std::uint8_t dataOutBit = 0x01;
constexpr std::uint8_t clockBit = 0x02;
constexpr std::uint8_t resetBit = 0x08;
constexpr std::uint8_t dataInStatusBit = 0x40;
// The other status inputs at rest: nError and select high, paper-out low, busy low.
constexpr std::uint8_t idleStatus = 0x18;
// Control bit 5 set turns the data pins around (input): they stop driving the lines.
constexpr std::uint8_t reverseDirectionBit = 0x20;

}  // namespace

std::uint64_t VirtualPortIo::access() {
    ++m_operations;
    // At least 2 ns, so that data bits written together with CLOCK settle just before it.
    m_clock.advanceNs(std::max<std::uint64_t>(m_config.opCostNs, 2));
    return m_clock.nowNs();
}

bool VirtualPortIo::writeData(std::uint16_t base, std::uint8_t value) {
    const std::uint64_t now = access();
    if (base != m_config.adapterBase) {
        return true;  // another port: nothing of ours there
    }
    m_data = value;
    if (!atAdapter(base) || (m_control & reverseDirectionBit) != 0) {
        return true;
    }
    applyLines(now);
    return true;
}

void VirtualPortIo::applyLines(std::uint64_t now) {
    // One write changes several lines at once; DATA-OUT and RESET count as settled one
    // nanosecond before the CLOCK edge of the same write.
    m_controller.setLine(now - 1, Line::DataOut, (m_data & dataOutBit) != 0);
    m_controller.setLine(now - 1, Line::Reset, (m_data & resetBit) != 0);
    m_controller.setLine(now, Line::Clock, (m_data & clockBit) != 0);
}

bool VirtualPortIo::readWord(std::uint16_t base, std::uint16_t& word) {
    const std::uint64_t now = access();
    if (base != m_config.adapterBase) {
        word = 0xFFFF;  // no port: the bus reads high
        return true;
    }
    std::uint8_t status = idleStatus;
    if (atAdapter(base) && m_controller.readDataIn(now)) {
        status |= dataInStatusBit;
    }
    word = static_cast<std::uint16_t>((status << 8) | m_data);
    return true;
}

bool VirtualPortIo::readControl(std::uint16_t base, std::uint8_t& value) {
    (void)access();
    value = base == m_config.adapterBase ? m_control : std::uint8_t{0xFF};
    return true;
}

bool VirtualPortIo::writeControl(std::uint16_t base, std::uint8_t value) {
    const std::uint64_t now = access();
    if (base != m_config.adapterBase) {
        return true;
    }
    const bool wasReversed = (m_control & reverseDirectionBit) != 0;
    m_control = value;
    if (wasReversed && (value & reverseDirectionBit) == 0 && m_attached) {
        // The pins drive again: the lines take the data register's levels.
        applyLines(now);
    }
    return true;
}

}  // namespace sim
