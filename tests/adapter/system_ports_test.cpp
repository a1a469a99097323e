// The system back-ends without hardware: the COM mapping, the modem-line calls on a
// pseudo-terminal (which has no modem lines) and the ppdev look-up on a fake /proc.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "adapter/com_mapping.h"
#include "adapter/modem_lines.h"
#include "adapter/port_io_ppdev.h"

namespace adapter {
namespace {

namespace fs = std::filesystem;

TEST(ComMapping, OnBoardPortsFirstThenUsbConverters) {
    EXPECT_EQ(systemDeviceFor("COM1"), "/dev/ttyS0");
    EXPECT_EQ(systemDeviceFor("COM4"), "/dev/ttyS3");
    EXPECT_EQ(systemDeviceFor("COM5"), "/dev/ttyUSB0");
    EXPECT_EQ(systemDeviceFor("COM8"), "/dev/ttyUSB3");
    EXPECT_EQ(systemDeviceFor("com2"), "/dev/ttyS1");
    EXPECT_EQ(comDeviceHint("COM6"), "/dev/ttyUSB1");
}

TEST(ComMapping, PathsAndUnknownNamesStandAsTheyAre) {
    EXPECT_EQ(systemDeviceFor("/dev/ttyACM0"), "/dev/ttyACM0");
    for (const char* name : {"COM9", "COM0", "COM10", "LPT1", ""}) {
        EXPECT_EQ(systemDeviceFor(name), name);
        EXPECT_EQ(comDeviceHint(name), "");
    }
}

// A pseudo-terminal: a tty without modem-control lines.
struct PseudoTerminal {
    PseudoTerminal() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0) {
            path = ::ptsname(master);
            slave = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        }
    }
    ~PseudoTerminal() {
        if (slave >= 0) {
            ::close(slave);
        }
        if (master >= 0) {
            ::close(master);
        }
    }
    int master = -1;
    int slave = -1;
    std::string path;
};

TEST(HandleLines, APortWithoutModemLinesFailsOnceAndStaysFailed) {
    PseudoTerminal pty;
    ASSERT_GE(pty.slave, 0);
    modem::HandleLines lines(pty.slave);
    EXPECT_FALSE(lines.failed());
    lines.setClock(true);
    EXPECT_TRUE(lines.failed());
    EXPECT_EQ(lines.error().call, "ioctl(TIOCMBIS)");
    EXPECT_NE(lines.error().code, 0);
    // Later operations no longer reach the port and read nothing.
    EXPECT_EQ(lines.readDataIn(), 0);
    EXPECT_EQ(lines.error().call, "ioctl(TIOCMBIS)");
}

TEST(HandleLines, AReadOfAVanishedPortFails) {
    modem::HandleLines lines(-1);
    EXPECT_EQ(lines.readModemStatus(), 0u);
    EXPECT_TRUE(lines.failed());
    EXPECT_EQ(lines.error().call, "ioctl(TIOCMGET)");
    EXPECT_EQ(lines.error().code, EBADF);
}

class FakeParportTree : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("zek-parport-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(root / "proc" / "parport0");
        fs::create_directories(root / "proc" / "parport1");
        fs::create_directories(root / "dev");
        std::ofstream(root / "proc" / "parport0" / "base-addr") << "632\t1656\n";
        std::ofstream(root / "proc" / "parport1" / "base-addr") << "888\t1912\n";
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path root;
};

TEST_F(FakeParportTree, FindsTheDeviceByItsBaseAddress) {
    PpdevPortIo io((root / "proc").string(), (root / "dev").string());
    EXPECT_EQ(io.deviceFor(0x278), (root / "dev" / "parport0").string());
    EXPECT_EQ(io.deviceFor(0x378), (root / "dev" / "parport1").string());
    EXPECT_EQ(io.deviceFor(0x3BC), "");
}

TEST_F(FakeParportTree, AMissingOrUnclaimablePortFailsEveryAccess) {
    std::ofstream(root / "dev" / "parport1") << "";  // opens, but is no parallel port
    PpdevPortIo io((root / "proc").string(), (root / "dev").string());
    EXPECT_TRUE(io.anyPortUsable());
    std::uint16_t word = 0x1234;
    std::uint8_t control = 0x56;
    EXPECT_FALSE(io.writeData(0x378, 0x0B));
    EXPECT_FALSE(io.readWord(0x378, word));
    EXPECT_FALSE(io.readControl(0x3BC, control));
    EXPECT_FALSE(io.writeControl(0x278, 0));
    EXPECT_EQ(word, 0x1234);
    EXPECT_EQ(control, 0x56);
}

TEST_F(FakeParportTree, NoDevicesMeansNoUsablePort) {
    PpdevPortIo io((root / "proc").string(), (root / "dev").string());
    EXPECT_FALSE(io.anyPortUsable());
}

}  // namespace
}  // namespace adapter
