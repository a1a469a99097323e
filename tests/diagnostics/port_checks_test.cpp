// The port checks on a fake sysfs, /dev, /proc and /etc; only the virtual port opens.
#include "diagnostics/port_checks.h"

#include <gmock/gmock.h>
#include <sys/stat.h>

#include <algorithm>
#include <tuple>

#include "adapter/fake_sysfs.h"
#include "sim/test_rig.h"

// Devices differ from the default converter in a field or two, named.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using diagnostics::Finding;
using diagnostics::Status;
using testing::HasSubstr;
using testing::Not;
using testing_fs::UsbSerialDevice;

constexpr unsigned pilotUid = 4000, pilotGroup = 4000;

class PortChecksTest : public ::testing::Test {
  protected:
    PortChecksTest() {
        options.roots = {fake.sys(), fake.dev()};
        options.procRoot = fake.proc();
        options.etcRoot = fake.etc();
        options.runRoot = fake.run();
        options.lockDirs = {fake.run() / "lock"};
        options.udevRuleDirs = {fake.rules()};
        options.identity = {pilotUid, "pilot", std::vector<unsigned>{pilotGroup}};
        options.mayReadWrite = [this](const std::filesystem::path&) { return kernelAllows; };
    }

    // The converter's nodes are rw for their group, which the group file calls "dialout".
    void addConverter(UsbSerialDevice device = {}) {
        fake.addUsbSerial(device);
        chmod((fake.dev() / "bus/usb/001/005").c_str(), 0660);  // every test's bus and device
        chmod((fake.dev() / device.tty).c_str(), 0660);
        struct stat info {};
        stat((fake.dev() / device.tty).c_str(), &info);
        dialoutGid = info.st_gid;
        writeGroups("");
    }
    void writeGroups(const std::string& members) {
        fake.write(fake.etc() / "group",
                   "pilot:x:4000:\ndialout:x:" + std::to_string(dialoutGid) + ":" + members + "\n");
    }
    void addProcess(const std::string& pid, const std::string& comm, const std::string& file) {
        fake.write(fake.proc() / pid / "comm", comm + "\n");
        std::filesystem::create_directories(fake.proc() / pid / "fd");
        std::filesystem::create_symlink(file, fake.proc() / pid / "fd" / "3");
    }

    std::vector<Finding> run() { return diagnostics::runChecks(options); }
    static Finding find(const std::vector<Finding>& checks, const std::string& name,
                        const std::string& port = "ttyUSB0") {
        const auto it = std::ranges::find_if(
            checks, [&](const Finding& f) { return f.check == name && f.port == port; });
        return it != checks.end() ? *it : Finding{port, name + " is missing"};
    }
    // One check of a fresh run: its status and a part of its result.
    void expect(const std::string& name, Status status, const std::string& part,
                const std::string& port = "ttyUSB0") {
        const Finding check = find(run(), name, port);
        EXPECT_EQ(check.status, status) << check.result;
        EXPECT_THAT(check.result, HasSubstr(part));
    }

    testing_fs::FakeSystem fake;
    diagnostics::CheckOptions options;
    unsigned dialoutGid = 0;
    bool kernelAllows = false;  // what faccessat answers
};

TEST_F(PortChecksTest, TheKernelDecidesAccessAndGroupsOnlySayWhy) {
    const struct {
        bool kernelAllows, inGroupNow;
        std::string members;  // of dialout in the group file
        unsigned uid;
        Status expected;
        std::string result, advice;
    } cases[] = {
        {true, true, "pilot", pilotUid, Status::Ok, "is in group dialout", ""},
        {false, false, "other,pilot", pilotUid, Status::Warning, "after this login began",
         "log out and in again"},
        {false, false, "other", pilotUid, Status::Failed, "pilot is not in group dialout",
         "sudo usermod -aG dialout pilot"},
        {false, false, "", 0, Status::Ok, "running as root", ""},
        // udev's uaccess gives the seat's user an access list entry: no group is needed.
        {true, false, "other", pilotUid, Status::Ok, "by its access list", ""},
    };
    addConverter();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        writeGroups(c.members);
        kernelAllows = c.kernelAllows;
        options.identity.uid = c.uid;
        options.identity.groups = c.inGroupNow ? std::vector<unsigned>{pilotGroup, dialoutGid}
                                               : std::vector<unsigned>{pilotGroup};
        const std::vector<Finding> checks = run();
        EXPECT_EQ(find(checks, "access").status, c.expected);
        EXPECT_THAT(find(checks, "access").result, HasSubstr(c.result));
        EXPECT_THAT(find(checks, "access").advice, HasSubstr(c.advice));
        if (c.advice.empty()) {  // nor does the fast path's USB node ask to join a group
            EXPECT_EQ(find(checks, "USB access").advice, "");
        }
    }
    // The primary group in passwd is a membership too.
    writeGroups("");
    kernelAllows = false;
    fake.write(fake.etc() / "passwd",
               "pilot:x:4000:" + std::to_string(dialoutGid) + "::/:/bin/sh\n");
    expect("access", Status::Warning, "after this login began");
}

TEST_F(PortChecksTest, TheConsolesPortIsNamedNeverUsableAndNeverOpened) {
    sim::TestRig rig;
    fake.addUart("ttyS0", "pnp0/00:04", "serial", "4:64");
    fake.addUart("ttyS1", "pnp0/00:05", "serial", "4:65");
    fake.write(fake.sys() / "class/tty/console/active", "tty0 ttyS0\n");
    options.identity.uid = 0;
    options.serialPorts = &rig.serialPorts();
    expect("console", Status::Warning, "is the system console", "ttyS0");
    expect("access", Status::Ok, "running as root", "ttyS1");
    EXPECT_THAT(diagnostics::findingsText(run()), Not(HasSubstr(" open ")));  // none named
    // Named, it fails and stays shut; /proc/consoles alone names it too.
    fake.write(fake.sys() / "class/tty/console/active", "tty0\n");
    fake.write(fake.proc() / "consoles", "ttyS0                -W- (EC p a)    4:64\n");
    options.port = (fake.dev() / "ttyS0").string();
    const std::vector<Finding> checks = run();
    EXPECT_EQ(find(checks, "console", "ttyS0").status, Status::Failed);
    EXPECT_EQ(find(checks, "open", "ttyS0").status, Status::Skipped);
    EXPECT_EQ(rig.serialPorts().openCount(), 0);
    EXPECT_THAT(diagnostics::findingsText(checks), Not(HasSubstr("usable")));
}

// The findings of one converter as the machine around it changes.
TEST_F(PortChecksTest, WhatHoldsTheConverterAndWhatItNeeds) {
    addConverter({.latencyTimer = "16"});
    const std::filesystem::path lock = fake.run() / "lock/LCK..ttyUSB0";
    expect("free", Status::Ok, "no lock file, no process holds it");
    expect("ModemManager", Status::Ok, "not running");
    expect("latency timer", Status::Warning, "16 ms");
    // Without the USB node the serial port still works: a warning, not a failure.
    expect("USB access", Status::Warning, "needed only for the fast FTDI path");
    fake.write(fake.sys() / "bus/usb-serial/devices/ttyUSB0/latency_timer", "1\n");
    expect("latency timer", Status::Ok, "1 ms");
    fake.write(lock, "9999\n");
    expect("free", Status::Warning, "stale lock file");
    addProcess("4242", "minicom", (fake.dev() / "ttyUSB0").string());
    fake.write(lock, "      4242\n");
    expect("free", Status::Failed, "locked by minicom (pid 4242)");
    std::filesystem::remove(lock);
    expect("free", Status::Failed, "held open by minicom (pid 4242)");
    addProcess("812", "ModemManager", "/dev/null");
    expect("ModemManager", Status::Warning, "may probe this port");
    // The udev database file is named by the tty's device numbers (188:0 here).
    fake.write(fake.run() / "udev/data/c188:0", "I:123\nE:ID_MM_DEVICE_IGNORE=1\nG:systemd\n");
    expect("ModemManager", Status::Ok, "told to ignore");

    // brltty's rules name the id without leading zeros, or by both attributes.
    expect("brltty", Status::Ok, "not installed");
    for (const char* rules : {"ENV{PRODUCT}==\"403/60010/*\"\n  # ENV{PRODUCT}==\"403/6001/*\"\n",
                              "ENV{PRODUCT}==\"403/6001/*\", ENV{BRLTTY_BRAILLE_DRIVER}=\"bm\"\n",
                              "ATTRS{idVendor}==\"0403\", ATTRS{idProduct}==\"6001\", RUN\n"}) {
        const bool claims = std::string(rules).find('#') == std::string::npos;
        fake.write(fake.rules() / "85-brltty.rules", rules);
        expect("brltty", claims ? Status::Failed : Status::Ok,
               claims ? "claims 0403:6001" : "do not claim 0403:6001");
    }
}

TEST_F(PortChecksTest, ANamedPortIsOpenedTestedAndMeasuredAloneAFailedOpenMeasuresNothing) {
    const std::tuple<sim::LoopBack, std::uint64_t, std::string> cases[] = {
        {sim::LoopBack::FollowsDtr, 2'000, "2.0 us per DATA-IN read|about 250000 Hz of pulses"},
        {sim::LoopBack::FollowsDtr, 1'000'000, "1000.0 us per DATA-IN read|about 500 Hz of pulses"},
        {sim::LoopBack::Missing, 2'000, "2.0 us per DATA-IN read|about 250000 Hz of pulses"},
    };
    addConverter({.byId = "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0"});
    fake.addUsbSerial({.tty = "ttyUSB1", .usbPath = "1-4", .majorMinor = "188:1"});
    options.port =
        (fake.dev() / "serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0").string();
    for (const auto& [loopBack, opCostNs, expected] : cases) {
        SCOPED_TRACE(expected);
        sim::TestRig rig;
        rig.serialConfig().loopBack = loopBack;
        rig.serialConfig().opCostNs = opCostNs;
        options.serialPorts = &rig.serialPorts();
        options.clock = &rig.clock();
        const std::vector<Finding> checks = run();
        EXPECT_THAT(diagnostics::findingsText(checks), Not(HasSubstr("ttyUSB1")));
        EXPECT_EQ(rig.serialPorts().openCount(), 1);
        EXPECT_EQ(find(checks, "adapter test").status,
                  loopBack == sim::LoopBack::Missing ? Status::Failed : Status::Ok);
        const std::string rev = find(checks, "rev counter").result;
        EXPECT_EQ(find(checks, "read").result + "|" + rev.substr(0, rev.find(" (")), expected);
        // A read slower than the controller's pulse misses pulses.
        EXPECT_EQ(find(checks, "rev counter").status,
                  opCostNs > 200'000 ? Status::Warning : Status::Ok);
    }
    sim::TestRig rig;
    rig.serialConfig().openResult = adapter::SerialOpenResult::CannotOpen;
    options.serialPorts = &rig.serialPorts();
    options.clock = &rig.clock();
    expect("open", Status::Failed, "COM-Init-Error!");
    EXPECT_THAT(diagnostics::findingsText(run()), Not(HasSubstr("DATA-IN read")));
}

TEST_F(PortChecksTest, TheTableHasAHeadingPerPortAndTheAdviceUnderItsFinding) {
    EXPECT_FALSE(diagnostics::anyFailed(run()));
    EXPECT_EQ(diagnostics::findingsText(run()),
              "this machine\n  warning   ports          no serial port found\n"
              "                           -> plug in the converter and look at the kernel log "
              "(dmesg) for its driver\n");
    addConverter({.tty = "ttyACM0", .driver = "cdc_acm", .vendorId = 0x2341});
    const std::vector<Finding> checks = run();
    EXPECT_TRUE(diagnostics::anyFailed(checks));
    EXPECT_EQ(find(checks, "driver", "ttyACM0").status, Status::Failed);
    // A CDC-ACM port is refused, and has none of the FTDI chip's checks.
    const std::string table = diagnostics::findingsText(checks);
    EXPECT_THAT(table, HasSubstr("ttyACM0\n  ok        device"));
    EXPECT_THAT(table, Not(HasSubstr("USB access")));
}

}  // namespace
