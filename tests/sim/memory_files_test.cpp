// Setup memory and flash files, and the VCD form of the trace.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "sim/test_rig.h"

namespace sim {
namespace {

namespace fs = std::filesystem;

struct MemoryFiles : ::testing::Test {
    const fs::path dir =
        fs::temp_directory_path() /
        ("zek-sim-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
};

TEST_F(MemoryFiles, ImagesAreSavedWholeAndWrongFilesRefusedWithoutChange) {
    SetupBytes memory = defaultSetupImage();
    memory[200] = 0x42;
    const std::string path = (dir / "setup.bin").string();
    ASSERT_EQ(saveSetupFile(path, memory), "");
    SetupBytes loaded{};
    ASSERT_EQ(loadSetupFile(path, loaded), "");
    EXPECT_EQ(loaded, memory);

    FlashMemory flash;
    std::array<std::uint8_t, flashPageSize> page;
    page.fill(0x5A);
    flash.writePage(255, page);
    ASSERT_EQ(flash.save(path), "");
    std::ifstream in(path, std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    ASSERT_EQ(bytes.size(), 256u * 64u);
    EXPECT_EQ(bytes.front(), '\xFF');
    EXPECT_EQ(bytes.back(), '\x5A');

    // A flash image is no setup file; nor is a missing file, or a directory.
    for (const fs::path& wrong : {fs::path(path), dir / "absent.bin", dir}) {
        EXPECT_NE(loadSetupFile(wrong.string(), loaded), "") << wrong;
    }
    std::ofstream(dir / "short.bin", std::ios::binary) << std::string(255, '\x11');
    EXPECT_NE(loadSetupFile((dir / "short.bin").string(), loaded).find("exactly 256 bytes"),
              std::string::npos);
    EXPECT_EQ(loaded, memory);
    const std::string missingDir = (dir / "no" / "f.bin").string();
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
    EXPECT_TRUE(trace.truncated());
    EXPECT_TRUE(trace.level(Line::Clock));
}

}  // namespace
}  // namespace sim
