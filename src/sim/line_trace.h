// Every line change with its time, and its VCD form for waveform viewers and decoders.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace sim {

enum class Line { Clock, DataOut, Reset, DataIn };

struct LineEvent {
    std::uint64_t timeNs;
    Line line;
    bool high;
};

class LineTrace {
  public:
    LineTrace();

    // Records a change; a level equal to the line's last one is not a change.
    void record(std::uint64_t timeNs, Line line, bool high);
    bool level(Line line) const { return m_levels[static_cast<int>(line)]; }

    const std::vector<LineEvent>& events() const { return m_events; }
    void clear();
    void setEnabled(bool enabled) { m_enabled = enabled; }
    // Recording stops at this many events (a whole firmware update makes millions).
    void setLimit(std::size_t events) { m_limit = events; }

    // timescale 1 ns; 1-bit wires CLOCK, DATA_OUT, RESET, DATA_IN.
    void writeVcd(std::ostream& out) const;
    // Empty on success, else the reason.
    std::string saveVcd(const std::string& path) const;

  private:
    bool m_initial[4];  // the levels before the first event
    bool m_levels[4];
    std::vector<LineEvent> m_events;
    bool m_enabled = true;
    std::size_t m_limit = 4'000'000;
};

}  // namespace sim
