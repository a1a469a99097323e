// DATA-IN as the controller drives it: changes take effect at a given time, some later
// than the event that caused them, and a pending change can be withdrawn.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/line_trace.h"

namespace sim {

class DataInDriver {
  public:
    explicit DataInDriver(LineTrace& trace) : m_trace(trace) {}

    // DATA-IN becomes level at timeNs; tag lets the change be withdrawn before it happens.
    void setAt(std::uint64_t timeNs, bool level, int tag = 0);
    void cancel(int tag);
    void clearPending() { m_pending.clear(); }
    // Applies every pending change up to and including timeNs, in time order.
    void advanceTo(std::uint64_t timeNs);
    bool level() const { return m_level; }

  private:
    struct Pending {
        std::uint64_t timeNs;
        bool level;
        int tag;
    };
    LineTrace& m_trace;
    std::vector<Pending> m_pending;
    bool m_level = false;
};

}  // namespace sim
