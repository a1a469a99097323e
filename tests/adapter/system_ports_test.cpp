// The system back-ends without hardware: the COM mapping and the ppdev look-up on a fake
// /proc.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "adapter/com_mapping.h"
#include "adapter/port_io_ppdev.h"

namespace adapter {
namespace {

namespace fs = std::filesystem;

TEST(ComMapping, OnBoardPortsThenUsbConvertersOtherNamesStandAsTheyAre) {
    const std::pair<const char*, const char*> cases[] = {
        {"COM1", "/dev/ttyS0"},
        {"COM4", "/dev/ttyS3"},
        {"COM5", "/dev/ttyUSB0"},
        {"com8", "/dev/ttyUSB3"},
        {"/dev/ttyACM0", "/dev/ttyACM0"},
        {"COM9", "COM9"},
        {"COM0", "COM0"},
        {"COM10", "COM10"},
    };
    for (auto [name, device] : cases) {
        EXPECT_EQ(systemDeviceFor(name), device) << name;
    }
    EXPECT_EQ(comDeviceHint("COM6"), "/dev/ttyUSB1");
    EXPECT_EQ(comDeviceHint("COM9"), "");
}

class FakeParportTree : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("zek-parport-" + std::to_string(::getpid()));
        fs::create_directories(root / "proc" / "parport0");
        fs::create_directories(root / "proc" / "parport1");
        fs::create_directories(root / "dev");
        std::ofstream(root / "proc" / "parport0" / "base-addr") << "632\t1656\n";
        std::ofstream(root / "proc" / "parport1" / "base-addr") << "888\t1912\n";
    }
    void TearDown() override { fs::remove_all(root); }
    PpdevPortIo io() { return PpdevPortIo((root / "proc").string(), (root / "dev").string()); }

    fs::path root;
};

TEST_F(FakeParportTree, FindsTheDeviceByItsBaseAddressAnUnclaimableOneFailsEveryAccess) {
    EXPECT_EQ(io().deviceFor(0x278), (root / "dev" / "parport0").string());
    EXPECT_EQ(io().deviceFor(0x378), (root / "dev" / "parport1").string());
    EXPECT_EQ(io().deviceFor(0x3BC), "");
    EXPECT_FALSE(io().anyPortUsable());

    std::ofstream(root / "dev" / "parport1") << "";  // opens, but is no parallel port
    PpdevPortIo ports = io();
    EXPECT_TRUE(ports.anyPortUsable());
    std::uint16_t word = 0x1234;
    std::uint8_t control = 0x56;
    EXPECT_FALSE(ports.writeData(0x378, 0x0B));
    EXPECT_FALSE(ports.readWord(0x378, word));
    EXPECT_FALSE(ports.readControl(0x3BC, control));
    EXPECT_FALSE(ports.writeControl(0x278, 0));
    EXPECT_EQ(word, 0x1234);
    EXPECT_EQ(control, 0x56);
}

}  // namespace
}  // namespace adapter
