// The VCD form of the line trace, as --trace writes it.
#include <gtest/gtest.h>

#include <sstream>

#include "sim/line_trace.h"

namespace sim {
namespace {

TEST(LineTrace, VcdHasHeaderInitialValuesAndTimedChangesUpToTheLimit) {
    LineTrace trace;
    trace.record(2000, Line::Clock, true);
    trace.record(2000, Line::Clock, true);  // no change, no entry
    trace.record(2100, Line::DataIn, true);
    trace.record(4000, Line::Reset, false);
    std::ostringstream out;
    trace.writeVcd(out);
    const std::string vcd = out.str();
    EXPECT_NE(vcd.find("$timescale 1 ns $end"), std::string::npos);
    for (const char* wire : {"CLOCK", "DATA_OUT", "RESET", "DATA_IN"}) {
        EXPECT_NE(vcd.find(std::string(" ") + wire + " $end"), std::string::npos) << wire;
    }
    EXPECT_NE(vcd.find("$dumpvars\n0c\n0o\n1r\n0i\n$end\n#2000\n1c\n#2100\n1i\n#4000\n0r\n"),
              std::string::npos)
        << vcd;

    // Past its limit the trace stops recording but follows the levels.
    trace.setLimit(4);
    trace.record(5000, Line::Clock, false);
    trace.record(6000, Line::Clock, true);
    EXPECT_EQ(trace.events().size(), 4u);
    EXPECT_TRUE(trace.level(Line::Clock));
}

}  // namespace
}  // namespace sim
