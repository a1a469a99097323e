// The Qt serial back-end's failure paths, on a pseudo-terminal and on missing devices.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "adapter/adapter.h"
#include "adapter/serial_port_qt.h"
#include "adapter/testing/recording_lines.h"

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

TEST(QtSerialPorts, AMissingDeviceOrOneThatIsNoTerminalCannotBeOpened) {
    for (const char* device : {"/dev/zek-no-such-port", "/dev/null"}) {
        QtSerialPortFactory factory;
        SerialOpenResult result = SerialOpenResult::Ok;
        EXPECT_EQ(factory.open(device, result), nullptr);
        EXPECT_EQ(result, SerialOpenResult::CannotOpen) << device;
        EXPECT_FALSE(factory.lastError().empty());
    }
}

TEST(QtSerialPorts, ATerminalWithoutModemLinesIsNoSerialPort) {
    PseudoTerminal pty;
    ASSERT_FALSE(pty.path.empty());
    QtSerialPortFactory factory;
    SerialOpenResult result = SerialOpenResult::Ok;
    EXPECT_EQ(factory.open(pty.path, result), nullptr);
    EXPECT_EQ(result, SerialOpenResult::CannotReadSettings);
    EXPECT_NE(factory.lastError().find("TIOCMGET"), std::string::npos);
    // Closed again: a second attempt meets the same answer, not a busy port.
    EXPECT_EQ(factory.open(pty.path, result), nullptr);
    EXPECT_EQ(result, SerialOpenResult::CannotReadSettings);

    // The adapter test reports it, and a missing device too.
    testing::RecordingRig rig;
    LinkContext ctx{rig.port, rig.state,  rig.messageText, rig.recorder.clock,
                    factory,  rig.portIo, rig.host,        nullptr};
    rig.port.comDeviceName = pty.path;
    EXPECT_EQ(detectAdapter(ctx), 1);
    EXPECT_EQ(rig.messageText, "Kann COM-Port Einstellung nicht lesen.");
    EXPECT_FALSE(rig.state.portOpen);
    rig.port.comDeviceName = "/dev/zek-no-such-port";
    EXPECT_EQ(detectAdapter(ctx), 1);
    EXPECT_EQ(rig.messageText, "COM-Init-Error!");
}

}  // namespace
}  // namespace adapter
