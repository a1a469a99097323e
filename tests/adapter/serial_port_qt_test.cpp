// The Qt serial back-end's failure paths, on a pseudo-terminal and on /dev/null.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "adapter/serial_port_qt.h"
#include "test_rig.h"

namespace adapter {
namespace {

// A pseudo-terminal: a tty without modem-control lines.
struct PseudoTerminal {
    ~PseudoTerminal() { ::close(master); }
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    std::string path = ::grantpt(master) == 0 && ::unlockpt(master) == 0 ? ::ptsname(master) : "";
};

// A device that is no terminal cannot be opened, with the system's reason; a terminal
// without modem lines is no serial port, and is closed again: a second attempt meets the
// same answer, not a busy port. (A missing device: the command line's end-to-end tests.)
TEST(QtSerialPorts, NoTerminalOrNoModemLinesIsNoSerialPort) {
    QtSerialPortFactory factory;
    const ui::SystemError error =
        testing::refusedOpen(factory, "/dev/null", SerialOpenResult::CannotOpen);
    EXPECT_EQ(error.describe().rfind("/dev/null: open failed: ", 0), 0u) << error.describe();
    EXPECT_FALSE(error.reason.empty());
    EXPECT_EQ(factory.lastError(), error.describe());

    PseudoTerminal pty;
    ASSERT_FALSE(pty.path.empty());
    for (int attempt = 0; attempt < 2; ++attempt) {
        testing::refusedOpen(factory, pty.path, SerialOpenResult::CannotReadSettings);
        EXPECT_EQ(factory.lastError().rfind(pty.path + ": ioctl(TIOCMGET) failed: ", 0), 0u)
            << factory.lastError();
    }
}

}  // namespace
}  // namespace adapter
