#include "sim/data_in_driver.h"

#include <algorithm>

namespace sim {

void DataInDriver::setAt(std::uint64_t timeNs, bool level, int tag) {
    // Keep the list in time order; equal times keep their order of scheduling.
    auto at = std::upper_bound(m_pending.begin(), m_pending.end(), timeNs,
                               [](std::uint64_t t, const Pending& p) { return t < p.timeNs; });
    m_pending.insert(at, {timeNs, level, tag});
}

void DataInDriver::cancel(int tag) {
    std::erase_if(m_pending, [tag](const Pending& p) { return p.tag == tag; });
}

void DataInDriver::advanceTo(std::uint64_t timeNs) {
    std::size_t applied = 0;
    while (applied < m_pending.size() && m_pending[applied].timeNs <= timeNs) {
        const Pending& change = m_pending[applied++];
        m_level = change.level;
        m_trace.record(change.timeNs, Line::DataIn, change.level);
    }
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(applied));
}

}  // namespace sim
