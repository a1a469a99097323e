#include "sim/line_trace.h"

#include <algorithm>
#include <sstream>

#include "sim/setup_memory.h"

namespace sim {

namespace {

constexpr const char* wireNames[4] = {"CLOCK", "DATA_OUT", "RESET", "DATA_IN"};
constexpr char wireIds[4] = {'c', 'o', 'r', 'i'};

}  // namespace

LineTrace::LineTrace()
    : m_initial{false, false, true, false}, m_levels{false, false, true, false} {}

void LineTrace::record(std::uint64_t timeNs, Line line, bool high) {
    bool& current = m_levels[static_cast<int>(line)];
    if (current == high) {
        return;
    }
    current = high;
    if (m_enabled && m_events.size() < m_limit) {
        m_events.push_back({timeNs, line, high});
    }
}

void LineTrace::clear() {
    std::copy(std::begin(m_levels), std::end(m_levels), std::begin(m_initial));
    m_events.clear();
}

void LineTrace::writeVcd(std::ostream& out) const {
    out << "$timescale 1 ns $end\n$scope module adapter $end\n";
    for (int i = 0; i < 4; ++i) {
        out << "$var wire 1 " << wireIds[i] << ' ' << wireNames[i] << " $end\n";
    }
    out << "$upscope $end\n$enddefinitions $end\n#0\n$dumpvars\n";
    for (int i = 0; i < 4; ++i) {
        out << (m_initial[i] ? '1' : '0') << wireIds[i] << '\n';
    }
    out << "$end\n";
    // Events arrive in time order; stable sorting only guards against a late DATA-IN entry.
    std::vector<LineEvent> sorted = m_events;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const LineEvent& a, const LineEvent& b) { return a.timeNs < b.timeNs; });
    std::uint64_t stamp = 0;
    for (const LineEvent& event : sorted) {
        if (event.timeNs != stamp) {
            stamp = event.timeNs;
            out << '#' << stamp << '\n';
        }
        out << (event.high ? '1' : '0') << wireIds[static_cast<int>(event.line)] << '\n';
    }
}

std::string LineTrace::saveVcd(const std::string& path) const {
    std::ostringstream text;
    writeVcd(text);
    return saveFile(path, text.str());
}

}  // namespace sim
