#include "sim/motor_pulses.h"

#include <algorithm>

namespace sim {

namespace {

// Far above any motor; it keeps a mistyped rate from flooding the trace nanosecond by
// nanosecond.
constexpr double maximumRateHz = 1e6;

double effectiveRate(double rateHz) {
    return std::min(rateHz, maximumRateHz);
}

}  // namespace

void MotorPulses::start(std::uint64_t timeNs) {
    m_running = true;
    m_startNs = timeNs;
    m_next = 0;
    m_timesUs = m_config.pulseTimesUs;
    std::sort(m_timesUs.begin(), m_timesUs.end());
}

std::uint64_t MotorPulses::widthNs() const {
    std::uint64_t width = std::max<std::uint64_t>(m_config.pulseWidthUs, 1) * 1000;
    const double rate = effectiveRate(m_config.pulseRateHz);
    const double halfPeriodNs = rate > 0.0 ? 5e8 / rate : 0.0;
    if (m_timesUs.empty() && halfPeriodNs > 0.0 && halfPeriodNs < static_cast<double>(width)) {
        // A pulse never lasts longer than half a period, so consecutive pulses stay apart.
        width = std::max<std::uint64_t>(static_cast<std::uint64_t>(halfPeriodNs), 1);
    }
    return width;
}

bool MotorPulses::pulseStart(std::uint64_t index, std::uint64_t& offsetNs) const {
    if (!m_timesUs.empty()) {
        if (index >= m_timesUs.size()) {
            return false;
        }
        // Times beyond a few centuries are held there, clear of overflow.
        offsetNs = std::min<std::uint64_t>(m_timesUs[index], 1ull << 53) * 1000;
        return true;
    }
    const double rate = effectiveRate(m_config.pulseRateHz);
    if (!(rate > 0.0)) {
        return false;
    }
    const double offset = static_cast<double>(index) * 1e9 / rate;
    if (offset >= static_cast<double>(m_config.runMs) * 1e6) {
        return false;  // the motor has stopped
    }
    offsetNs = static_cast<std::uint64_t>(offset);
    return true;
}

void MotorPulses::emitUpTo(std::uint64_t timeNs, DataInDriver& dataIn) {
    if (!m_running) {
        return;
    }
    const std::uint64_t width = widthNs();
    std::uint64_t offset = 0;
    while (pulseStart(m_next, offset) && m_startNs + offset <= timeNs) {
        dataIn.setAt(m_startNs + offset, true);
        dataIn.setAt(m_startNs + offset + width, false);
        ++m_next;
    }
}

}  // namespace sim
