// Setup memory and flash files, and the VCD form of the trace.
#include <gtest/gtest.h>

#include <sstream>

#include "config/temp_directory.h"
#include "sim/test_rig.h"

namespace sim {
namespace {

TEST(MemoryFiles, ImagesAreSavedWholeAndWrongFilesRefusedWithoutChange) {
    testing_support::TempDirectory dir;
    SetupBytes memory = defaultSetupImage();
    memory[200] = 0x42;
    const std::string path = dir.file("setup.bin");
    ASSERT_EQ(saveSetupFile(path, memory), "");
    SetupBytes loaded{};
    ASSERT_EQ(loadSetupFile(path, loaded), "");
    EXPECT_EQ(loaded, memory);

    FlashMemory flash;
    std::array<std::uint8_t, flashPageSize> page;
    page.fill(0x5A);
    flash.writePage(255, page);
    ASSERT_EQ(flash.save(path), "");
    const std::string bytes = dir.read("setup.bin");
    ASSERT_EQ(bytes.size(), 256u * 64u);
    EXPECT_EQ(bytes.front(), '\xFF');
    EXPECT_EQ(bytes.back(), '\x5A');

    // A flash image is no setup file; nor is a missing file, or a directory.
    for (const std::string& wrong : {path, dir.file("absent.bin"), dir.path()}) {
        EXPECT_NE(loadSetupFile(wrong, loaded), "") << wrong;
    }
    dir.write("short.bin", std::string(255, '\x11'));
    EXPECT_NE(loadSetupFile(dir.file("short.bin"), loaded).find("exactly 256 bytes"),
              std::string::npos);
    EXPECT_EQ(loaded, memory);
    const std::string missingDir = dir.file("no/f.bin");
    EXPECT_NE(saveSetupFile(missingDir, memory), "");
    EXPECT_NE(flash.save(missingDir), "");
    EXPECT_NE(LineTrace().saveVcd(missingDir), "");
}

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
