// Setup memory and flash files, the default image, and the VCD form of the trace.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "sim/test_rig.h"

namespace sim {
namespace {

namespace fs = std::filesystem;

struct MemoryFiles : ::testing::Test {
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("zek-sim-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string writeBytes(const std::string& name, std::size_t count, char fill) {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary) << std::string(count, fill);
        return path.string();
    }
};

TEST_F(MemoryFiles, SetupFileRoundTrip) {
    SetupBytes memory = defaultSetupImage();
    memory[200] = 0x42;
    const std::string path = (dir / "setup.bin").string();
    ASSERT_EQ(saveSetupFile(path, memory), "");
    EXPECT_EQ(fs::file_size(path), 256u);
    SetupBytes loaded{};
    ASSERT_EQ(loadSetupFile(path, loaded), "");
    EXPECT_EQ(loaded, memory);
}

TEST_F(MemoryFiles, WrongSizesAndMissingFilesAreRefusedWithoutChange) {
    const SetupBytes original = defaultSetupImage();
    for (std::size_t size : {0u, 255u, 257u, 4096u}) {
        SetupBytes memory = original;
        const std::string error =
            loadSetupFile(writeBytes("size" + std::to_string(size), size, '\x11'), memory);
        EXPECT_NE(error.find("exactly 256 bytes"), std::string::npos) << size << ": " << error;
        EXPECT_EQ(memory, original);
    }
    SetupBytes memory = original;
    EXPECT_NE(loadSetupFile((dir / "absent.bin").string(), memory), "");
    EXPECT_NE(saveSetupFile((dir / "no" / "such" / "dir.bin").string(), memory), "");
    EXPECT_NE(loadSetupFile(dir.string(), memory), "");  // a directory is no file
    EXPECT_EQ(memory, original);
}

TEST_F(MemoryFiles, DefaultImageIsASetUpFamilyOneController) {
    const SetupBytes m = defaultSetupImage();
    EXPECT_EQ(m[12], 0x66);
    EXPECT_EQ(m[13], 0xFF);
    EXPECT_EQ(m[30], 16);
    EXPECT_EQ(m[31], 0x1F);
    EXPECT_EQ((m[32] << 8) | m[33], 0x1011);
    EXPECT_EQ(m[35], 0x20);
    EXPECT_NE(m[41], 0xFF);  // both model memories hold settings
    EXPECT_NE(m[51], 0xFF);
    const int stop = m[4] | (m[5] << 8);
    const int full = m[8] | (m[9] << 8);
    EXPECT_GE(stop * 0.0005, 0.79);
    EXPECT_LE(full * 0.0005, 2.3);
}

TEST_F(MemoryFiles, FlashSavesAllPages) {
    FlashMemory flash;
    std::array<std::uint8_t, flashPageSize> page;
    page.fill(0x5A);
    flash.writePage(255, page);
    const std::string path = (dir / "flash.bin").string();
    ASSERT_EQ(flash.save(path), "");
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 256u * 64u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes.back()), 0x5A);
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
    EXPECT_NE(trace.saveVcd((dir / "no" / "dir" / "t.vcd").string()), "");
}

TEST_F(MemoryFiles, TraceStopsAtItsLimit) {
    LineTrace trace;
    trace.setLimit(2);
    for (int i = 0; i < 5; ++i) {
        trace.record(static_cast<std::uint64_t>(i), Line::Clock, i % 2 == 0);
    }
    EXPECT_EQ(trace.events().size(), 2u);
    EXPECT_TRUE(trace.truncated());
    EXPECT_TRUE(trace.level(Line::Clock));  // levels are still followed
}

}  // namespace
}  // namespace sim
