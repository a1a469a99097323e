// The Qt serial back-end's failure paths, on a pseudo-terminal and on missing devices.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

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
    EXPECT_NE(factory.lastError().find("TIOCMGET"), std::string::npos);
    // Closed again: a second attempt meets the same answer, not a busy port.
    EXPECT_EQ(factory.open(pty.path, result), nullptr);
    EXPECT_EQ(result, SerialOpenResult::CannotReadSettings);

    // The adapter test reports it with the system's text, and the reason behind it as the
    // next box's detail and in the log; a missing device too.
    testing::RecordingRig rig;
    LinkContext ctx{rig.port, rig.state,  rig.messageText, rig.recorder.clock,
                    factory,  rig.portIo, rig.host,        nullptr};
    rig.port.comDeviceName = pty.path;
    EXPECT_EQ(detectAdapter(ctx), 1);
    EXPECT_EQ(rig.messageText, "Kann COM-Port Einstellung nicht lesen.");
    EXPECT_FALSE(rig.state.portOpen);
    const std::string ptyDetail = rig.host.pendingDetail();
    EXPECT_EQ(ptyDetail.rfind(pty.path + ": ioctl(TIOCMGET) failed: ", 0), 0u) << ptyDetail;
    EXPECT_EQ(rig.host.log, std::vector<std::string>{ptyDetail});

    rig.port.comDeviceName = "/dev/zek-no-such-port";
    EXPECT_EQ(detectAdapter(ctx), 1);
    EXPECT_EQ(rig.messageText, "COM-Init-Error!");
    EXPECT_EQ(rig.host.pendingDetail(),
              "/dev/zek-no-such-port: open failed: No such file or directory");
}

}  // namespace
}  // namespace adapter
