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
    const std::string missingDir = (dir / "no" / "such" / "f.bin").string();
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
};

TEST_F(MemoryFiles, SetupAndFlashImagesAreSavedWhole) {
    SetupBytes memory = defaultSetupImage();
    memory[200] = 0x42;
    const std::string path = (dir / "setup.bin").string();
    ASSERT_EQ(saveSetupFile(path, memory), "");
    EXPECT_EQ(fs::file_size(path), 256u);
    SetupBytes loaded{};
    ASSERT_EQ(loadSetupFile(path, loaded), "");
    EXPECT_EQ(loaded, memory);

    FlashMemory flash;
    std::array<std::uint8_t, flashPageSize> page;
    page.fill(0x5A);
    flash.writePage(255, page);
    ASSERT_EQ(flash.save(path), "");
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 256u * 64u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes.back()), 0x5A);
}

TEST_F(MemoryFiles, WrongSizesAndMissingFilesAreRefusedWithoutChange) {
    const SetupBytes original = defaultSetupImage();
    SetupBytes memory = original;
    for (std::size_t size : {0u, 255u, 257u, 4096u}) {
        const fs::path path = dir / ("size" + std::to_string(size));
        std::ofstream(path, std::ios::binary) << std::string(size, '\x11');
        const std::string error = loadSetupFile(path.string(), memory);
        EXPECT_NE(error.find("exactly 256 bytes"), std::string::npos) << size << ": " << error;
    }
    EXPECT_NE(loadSetupFile((dir / "absent.bin").string(), memory), "");
    EXPECT_NE(loadSetupFile(dir.string(), memory), "");  // a directory is no file
    EXPECT_EQ(memory, original);
    EXPECT_NE(saveSetupFile(missingDir, memory), "");
    EXPECT_NE(FlashMemory().save(missingDir), "");
    EXPECT_NE(LineTrace().saveVcd(missingDir), "");
}

TEST_F(MemoryFiles, VcdHasHeaderInitialValuesAndTimedChanges) {
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
}

TEST(LineTrace, StopsRecordingAtItsLimitButFollowsLevels) {
    LineTrace trace;
    trace.setLimit(2);
    for (int i = 0; i < 5; ++i) {
        trace.record(static_cast<std::uint64_t>(i), Line::Clock, i % 2 == 0);
    }
    EXPECT_EQ(trace.events().size(), 2u);
    EXPECT_TRUE(trace.truncated());
    EXPECT_TRUE(trace.level(Line::Clock));
}

}  // namespace
}  // namespace sim
