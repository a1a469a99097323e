// The system back-ends without hardware: the COM mapping and the ppdev port on a fake
// /proc and faked calls.
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>
// After sys/ioctl.h, whose macros it uses.
#include <linux/ppdev.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

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
        {"COM8", "/dev/ttyUSB3"},
        {"com2", "/dev/ttyS1"},
        {"/dev/ttyACM0", "/dev/ttyACM0"},
        {"COM9", "COM9"},
        {"COM0", "COM0"},
        {"COM10", "COM10"},
        {"LPT1", "LPT1"},
        {"", ""},
    };
    for (auto [name, device] : cases) {
        EXPECT_EQ(systemDeviceFor(name), device) << name;
    }
    EXPECT_EQ(comDeviceHint("COM6"), "/dev/ttyUSB1");
    EXPECT_EQ(comDeviceHint("COM9"), "");
}

// ppdev's calls answered here: the registers hold what a test puts there, and a request
// in errors fails with its errno (EINTR only once).
class FakePpdev final : public PpdevCalls {
  public:
    int open(const std::string& path) override {
        opened.push_back(path);
        errno = openError;
        return openError == 0 ? 7 : -1;
    }
    int ioctl(int, unsigned long request, void* argument) override {
        requests.push_back(request);
        if (auto failing = errors.find(request); failing != errors.end()) {
            errno = failing->second;
            if (errno == EINTR) {
                errors.erase(failing);
            }
            return -1;
        }
        auto* byte = static_cast<unsigned char*>(argument);
        if (request == PPRDATA || request == PPRSTATUS || request == PPRCONTROL) {
            *byte = request == PPRDATA ? data : request == PPRSTATUS ? status : control;
        } else if (request == PPWDATA || request == PPWCONTROL) {
            (request == PPWDATA ? data : control) = *byte;
        }
        return 0;
    }
    void close(int fd) override { closed.push_back(fd); }

    int openError = 0;
    std::map<unsigned long, int> errors;
    unsigned char data = 0, status = 0, control = 0;
    std::vector<std::string> opened;
    std::vector<unsigned long> requests;
    std::vector<int> closed;
};

TEST(Ppdev, TheWordHoldsStatusOverDataFailuresCarryTheSystemsReason) {
    const fs::path root = fs::temp_directory_path() / ("zek-parport-" + std::to_string(getpid()));
    fs::create_directories(root / "parport1");
    std::ofstream(root / "parport1" / "base-addr") << "888\t1912\n";
    FakePpdev calls;
    auto io = [&] { return PpdevPortIo(root.string(), "/dev", calls); };
    std::uint16_t word = 0x1234;
    {
        PpdevPortIo ports = io();
        EXPECT_FALSE(ports.readWord(0x278, word));  // no port has that base
        calls.status = 0x78;
        EXPECT_TRUE(ports.writeData(0x378, 0x0B));
        EXPECT_TRUE(ports.readWord(0x378, word));
        EXPECT_EQ(word, 0x780B);
        std::uint8_t control = 0;
        EXPECT_TRUE(ports.writeControl(0x378, 0x24) && ports.readControl(0x378, control));
        EXPECT_EQ(control, 0x24);
        EXPECT_EQ(std::ranges::count(calls.requests, PPCLAIM), 1);
    }
    EXPECT_EQ(calls.requests.back(), PPRELEASE);
    EXPECT_EQ(calls.closed, std::vector<int>{7});

    calls.openError = EACCES;
    PpdevPortIo denied = io();
    EXPECT_FALSE(denied.writeData(0x378, 1) || denied.readWord(0x378, word));
    EXPECT_EQ(denied.error().describe(), "/dev/parport1: open failed: Permission denied");
    EXPECT_EQ(calls.opened.size(), 2u);  // once for each object
    calls.openError = 0;
    calls.errors = {{PPCLAIM, EBUSY}};
    PpdevPortIo busy = io();
    EXPECT_FALSE(busy.writeControl(0x378, 0));
    EXPECT_EQ(busy.error().call, "ioctl(PPCLAIM)");
    EXPECT_EQ(calls.closed, (std::vector<int>{7, 7}));
    // An interrupted call is made again; a failed one leaves the word as it was.
    calls.errors = {{PPRDATA, EINTR}, {PPRSTATUS, EIO}};
    word = 0x1234;
    PpdevPortIo failing = io();
    EXPECT_FALSE(failing.readWord(0x378, word));
    EXPECT_EQ(failing.error().describe(),
              "/dev/parport1: ioctl(PPRSTATUS) failed: Input/output error");
    EXPECT_EQ(word, 0x1234);
    calls.errors.clear();
    EXPECT_TRUE(failing.readWord(0x378, word));
    fs::remove_all(root);
}

}  // namespace
}  // namespace adapter
