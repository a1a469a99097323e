// The Qt serial back-end's failure paths, on a pseudo-terminal and on missing devices.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <utility>

#include "adapter/serial_port_qt.h"

namespace adapter {
namespace {

// A pseudo-terminal: a tty without modem-control lines.
struct PseudoTerminal {
    PseudoTerminal() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0) {
            path = ::ptsname(master);
        }
    }
    ~PseudoTerminal() {
        if (master >= 0) {
            ::close(master);
        }
    }
    int master = -1;
    std::string path;
};

TEST(QtSerialPorts, AMissingDeviceOrOneThatIsNoTerminalCannotBeOpenedAndSaysWhy) {
    const std::pair<const char*, const char*> cases[] = {
        {"/dev/zek-no-such-port", "/dev/zek-no-such-port: open failed: No such file or directory"},
        {"/dev/null", "/dev/null: open failed: "},  // the reason is the system's
    };
    for (auto [device, detail] : cases) {
        QtSerialPortFactory factory;
        SerialOpenResult result = SerialOpenResult::Ok;
        ui::SystemError error;
        EXPECT_EQ(factory.open(device, result, error), nullptr);
        EXPECT_EQ(result, SerialOpenResult::CannotOpen) << device;
        EXPECT_EQ(error.describe().rfind(detail, 0), 0u) << error.describe();
        EXPECT_FALSE(error.reason.empty()) << device;
        EXPECT_EQ(factory.lastError(), error.describe());
    }
}

TEST(QtSerialPorts, ATerminalWithoutModemLinesIsNoSerialPort) {
    PseudoTerminal pty;
    ASSERT_FALSE(pty.path.empty());
    QtSerialPortFactory factory;
    SerialOpenResult result = SerialOpenResult::Ok;
    EXPECT_EQ(factory.open(pty.path, result), nullptr);
    EXPECT_EQ(result, SerialOpenResult::CannotReadSettings);
    EXPECT_EQ(factory.lastError().rfind(pty.path + ": ioctl(TIOCMGET) failed: ", 0), 0u)
        << factory.lastError();
    // Closed again: a second attempt meets the same answer, not a busy port.
    EXPECT_EQ(factory.open(pty.path, result), nullptr);
    EXPECT_EQ(result, SerialOpenResult::CannotReadSettings);
}

}  // namespace
}  // namespace adapter
