#include "cli/doctor.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "adapter/fake_sysfs.h"
#include "sim/test_rig.h"

namespace {

using cli::CheckStatus;
using cli::DoctorCheck;
using testing_fs::FakeSystem;
using testing_fs::UsbSerialDevice;

constexpr unsigned pilotUid = 4000;
constexpr unsigned pilotGroup = 4000;

class DoctorTest : public ::testing::Test {
  protected:
    DoctorTest() {
        options.roots = {fake.sys(), fake.dev()};
        options.procRoot = fake.proc();
        options.etcRoot = fake.etc();
        options.runRoot = fake.run();
        options.lockDirs = {fake.run() / "lock"};
        options.udevRuleDirs = {fake.rules()};
        options.identity.uid = pilotUid;
        options.identity.userName = "pilot";
        options.identity.groups = std::vector<unsigned>{pilotGroup};
    }

    // The converter's device node is rw for its group, which the group file names
    // "dialout", whatever gid the test's files get.
    void addConverter(UsbSerialDevice device = {}) {
        fake.addUsbSerial(device);
        const std::string node = (fake.dev() / device.tty).string();
        chmod(node.c_str(), 0660);
        struct stat info {};
        stat(node.c_str(), &info);
        dialoutGid = info.st_gid;
        char usbNode[16];
        std::snprintf(usbNode, sizeof usbNode, "%03d/%03d", device.bus, device.device);
        chmod((fake.dev() / "bus/usb" / usbNode).c_str(), 0660);
        writeGroups("");
    }

    void writeGroups(const std::string& dialoutMembers) {
        fake.write(fake.etc() / "group", "pilot:x:" + std::to_string(pilotGroup) +
                                             ":\ndialout:x:" + std::to_string(dialoutGid) + ":" +
                                             dialoutMembers + "\n");
    }

    void addProcess(const std::string& pid, const std::string& comm,
                    const std::string& openFile = {}) {
        fake.write(fake.proc() / pid / "comm", comm + "\n");
        std::filesystem::create_directories(fake.proc() / pid / "fd");
        if (!openFile.empty()) {
            std::filesystem::create_symlink(openFile, fake.proc() / pid / "fd" / "3");
        }
    }

    std::vector<DoctorCheck> run() { return cli::runDoctorChecks(options); }

    // A copy: callers often pass the temporary list of run().
    static DoctorCheck find(const std::vector<DoctorCheck>& checks, const std::string& name,
                            const std::string& port = "ttyUSB0") {
        for (const DoctorCheck& check : checks) {
            if (check.check == name && check.port == port) {
                return check;
            }
        }
        ADD_FAILURE() << "no check " << name << " for " << port;
        return {"", "missing", CheckStatus::Skipped, "", ""};
    }

    FakeSystem fake;
    cli::DoctorOptions options;
    unsigned dialoutGid = 0;
};

TEST_F(DoctorTest, GroupMembershipDecidesAccessAndANewLoginIsAskedFor) {
    struct Case {
        const char* what;
        bool inProcessGroups;
        std::string groupFileMembers;
        unsigned uid;
        CheckStatus expected;
        std::string resultPart;
        std::string advicePart;
    };
    addConverter();
    const Case cases[] = {
        {"in the group now", true, "pilot", pilotUid, CheckStatus::Ok, "is in group dialout", ""},
        {"joined after login", false, "other,pilot", pilotUid, CheckStatus::Warning,
         "after this login began", "log out and in again"},
        {"not a member", false, "other", pilotUid, CheckStatus::Failed,
         "pilot is not in group dialout", "sudo usermod -aG dialout pilot"},
        {"root", false, "", 0, CheckStatus::Ok, "running as root", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeGroups(c.groupFileMembers);
        options.identity.uid = c.uid;
        options.identity.groups = c.inProcessGroups ? std::vector<unsigned>{pilotGroup, dialoutGid}
                                                    : std::vector<unsigned>{pilotGroup};
        const DoctorCheck access = find(run(), "access");
        EXPECT_EQ(access.status, c.expected);
        EXPECT_NE(access.result.find(c.resultPart), std::string::npos) << access.result;
        EXPECT_NE(access.advice.find(c.advicePart), std::string::npos) << access.advice;
    }
}

TEST_F(DoctorTest, APrimaryGroupInPasswdCountsAsMembership) {
    addConverter();
    fake.write(fake.etc() / "passwd",
               "pilot:x:4000:" + std::to_string(dialoutGid) + "::/home/pilot:/bin/sh\n");
    EXPECT_EQ(find(run(), "access").status, CheckStatus::Warning);
}

TEST_F(DoctorTest, NamesWhatHoldsThePort) {
    struct Case {
        const char* what;
        std::string lockPid;  // empty: no lock file
        bool holderRunning;
        CheckStatus expected;
        std::string resultPart;
    };
    const Case cases[] = {
        {"nothing", "", false, CheckStatus::Ok, "no lock file, no process holds it"},
        {"live lock", "      4242\n", true, CheckStatus::Failed, "locked by minicom (pid 4242)"},
        {"stale lock", "9999\n", false, CheckStatus::Warning, "stale lock file"},
        {"open file", "", true, CheckStatus::Failed, "held open by minicom (pid 4242)"},
    };
    addConverter();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(fake.proc());
        std::filesystem::create_directories(fake.proc());
        std::filesystem::remove(fake.run() / "lock/LCK..ttyUSB0");
        if (!c.lockPid.empty()) {
            fake.write(fake.run() / "lock/LCK..ttyUSB0", c.lockPid);
        }
        if (c.holderRunning) {
            addProcess("4242", "minicom", (fake.dev() / "ttyUSB0").string());
        }
        addProcess("1", "systemd", "/dev/null");
        const DoctorCheck free = find(run(), "free");
        EXPECT_EQ(free.status, c.expected);
        EXPECT_NE(free.result.find(c.resultPart), std::string::npos) << free.result;
    }
}

TEST_F(DoctorTest, ModemManagerIsFineOnlyWhenToldToIgnoreTheDevice) {
    addConverter();
    EXPECT_EQ(find(run(), "ModemManager").result, "not running");
    addProcess("812", "ModemManager");
    const DoctorCheck probing = find(run(), "ModemManager");
    EXPECT_EQ(probing.status, CheckStatus::Warning);
    EXPECT_NE(probing.advice.find("ID_MM_DEVICE_IGNORE"), std::string::npos);
    // The udev database file is named by the tty's device numbers (188:0 here).
    fake.write(fake.run() / "udev/data/c188:0", "I:123\nE:ID_MM_DEVICE_IGNORE=1\nG:systemd\n");
    EXPECT_EQ(find(run(), "ModemManager").status, CheckStatus::Ok);
}

TEST_F(DoctorTest, BrlttyMattersOnlyWhenItsRulesClaimTheConvertersId) {
    struct Case {
        const char* what;
        std::string rules;  // empty: brltty not installed
        CheckStatus expected;
        std::string resultPart;
    };
    const Case cases[] = {
        {"not installed", "", CheckStatus::Ok, "not installed"},
        {"claims by PRODUCT",
         "ENV{PRODUCT}==\"1a86/7523/*\", ENV{BRLTTY_BRAILLE_DRIVER}=\"bm\", GOTO=\"run\"\n",
         CheckStatus::Failed, "claims 1a86:7523"},
        {"claims by attributes", "ATTRS{idVendor}==\"1A86\", ATTRS{idProduct}==\"7523\", RUN\n",
         CheckStatus::Failed, "claims 1a86:7523"},
        {"other devices only", "ENV{PRODUCT}==\"1a86/75230/*\"\nENV{PRODUCT}==\"403/6001/*\"\n",
         CheckStatus::Ok, "do not claim"},
        {"commented out", "  # ENV{PRODUCT}==\"1a86/7523/*\"\n", CheckStatus::Ok, "do not claim"},
    };
    UsbSerialDevice device;
    device.driver = "ch341";
    device.vendorId = 0x1a86;
    device.productId = 0x7523;
    addConverter(device);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(fake.rules() / "85-brltty.rules");
        if (!c.rules.empty()) {
            fake.write(fake.rules() / "85-brltty.rules", c.rules);
        }
        const DoctorCheck brltty = find(run(), "brltty");
        EXPECT_EQ(brltty.status, c.expected);
        EXPECT_NE(brltty.result.find(c.resultPart), std::string::npos) << brltty.result;
    }
}

TEST_F(DoctorTest, FtdiConverterGetsItsLatencyTimerAndUsbNodeChecked) {
    UsbSerialDevice device;
    device.latencyTimer = "16";
    addConverter(device);
    options.identity.groups = std::vector<unsigned>{pilotGroup, dialoutGid};
    std::vector<DoctorCheck> checks = run();
    EXPECT_EQ(find(checks, "latency timer").status, CheckStatus::Warning);
    EXPECT_NE(find(checks, "latency timer").result.find("16 ms"), std::string::npos);
    EXPECT_EQ(find(checks, "USB access").status, CheckStatus::Ok);
    EXPECT_EQ(find(checks, "driver").status, CheckStatus::Info);

    fake.write(fake.sys() / "bus/usb-serial/devices/ttyUSB0/latency_timer", "1\n");
    options.identity.groups = std::vector<unsigned>{pilotGroup};
    checks = run();
    EXPECT_EQ(find(checks, "latency timer").status, CheckStatus::Ok);
    // Without the USB node the serial port still works: a warning, not a failure.
    EXPECT_EQ(find(checks, "USB access").status, CheckStatus::Warning);
}

TEST_F(DoctorTest, CdcAcmIsRefusedAndOtherConvertersHaveNoFtdiChecks) {
    UsbSerialDevice device;
    device.tty = "ttyACM0";
    device.driver = "cdc_acm";
    device.vendorId = 0x2341;
    device.productId = 0x0043;
    addConverter(device);
    const std::vector<DoctorCheck> checks = run();
    EXPECT_EQ(find(checks, "driver", "ttyACM0").status, CheckStatus::Failed);
    for (const DoctorCheck& check : checks) {
        EXPECT_NE(check.check, "latency timer");
        EXPECT_NE(check.check, "USB access");
    }
}

TEST_F(DoctorTest, WithoutAPortNamedNothingIsOpened) {
    sim::TestRig rig;
    addConverter();
    fake.addUart("ttyS0", "pnp0/00:04", "serial", "4:64");
    options.serialPorts = &rig.serialPorts();
    options.clock = &rig.clock();
    const std::vector<DoctorCheck> checks = run();
    EXPECT_EQ(rig.serialPorts().openCount(), 0);
    EXPECT_EQ(find(checks, "driver", "ttyS0").status, CheckStatus::Ok);
    for (const DoctorCheck& check : checks) {
        EXPECT_NE(check.check, "open");
    }
}

TEST_F(DoctorTest, ANamedPortIsOpenedTestedAndMeasured) {
    struct Case {
        const char* what;
        sim::LoopBack loopBack;
        std::uint64_t opCostNs;
        CheckStatus adapterTest;
        std::string readText;
        CheckStatus revCounter;
        std::string revCounterPart;
    };
    const Case cases[] = {
        {"native port", sim::LoopBack::FollowsDtr, 2'000, CheckStatus::Ok,
         "2.0 us per DATA-IN read", CheckStatus::Ok, "about 250000 Hz"},
        {"USB converter", sim::LoopBack::FollowsDtr, 1'000'000, CheckStatus::Ok,
         "1000.0 us per DATA-IN read", CheckStatus::Warning, "about 500 Hz"},
        {"no adapter", sim::LoopBack::Missing, 2'000, CheckStatus::Failed,
         "2.0 us per DATA-IN read", CheckStatus::Ok, "about 250000 Hz"},
    };
    UsbSerialDevice device;
    device.byId = "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
    addConverter(device);
    UsbSerialDevice other;
    other.tty = "ttyUSB1";
    other.usbPath = "1-4";
    fake.addUsbSerial(other);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::TestRig rig;
        rig.serialConfig().loopBack = c.loopBack;
        rig.serialConfig().opCostNs = c.opCostNs;
        options.serialPorts = &rig.serialPorts();
        options.clock = &rig.clock();
        options.port = (fake.dev() / "serial/by-id" / device.byId).string();
        const std::vector<DoctorCheck> checks = run();
        for (const DoctorCheck& check : checks) {
            EXPECT_EQ(check.port, "ttyUSB0") << "only the named port: " << check.check;
        }
        EXPECT_EQ(rig.serialPorts().openCount(), 1);
        EXPECT_EQ(find(checks, "open").status, CheckStatus::Ok);
        EXPECT_EQ(find(checks, "adapter test").status, c.adapterTest);
        EXPECT_EQ(find(checks, "read").result, c.readText);
        EXPECT_EQ(find(checks, "rev counter").status, c.revCounter);
        EXPECT_NE(find(checks, "rev counter").result.find(c.revCounterPart), std::string::npos)
            << find(checks, "rev counter").result;
    }
}

TEST_F(DoctorTest, AFailedOpenSaysSoAndMeasuresNothing) {
    sim::TestRig rig;
    rig.serialConfig().openResult = adapter::SerialOpenResult::CannotOpen;
    addConverter();
    options.serialPorts = &rig.serialPorts();
    options.clock = &rig.clock();
    options.port = (fake.dev() / "ttyUSB0").string();
    const std::vector<DoctorCheck> checks = run();
    EXPECT_EQ(find(checks, "open").status, CheckStatus::Failed);
    EXPECT_NE(find(checks, "open").result.find("COM-Init-Error!"), std::string::npos);
    for (const DoctorCheck& check : checks) {
        EXPECT_NE(check.check, "read");
    }
}

TEST_F(DoctorTest, ReportAsJsonAndExitStatusFollowTheFailures) {
    std::ostringstream text;
    EXPECT_EQ(cli::runDoctor(options, text, false), 0);
    EXPECT_NE(text.str().find("no serial port found"), std::string::npos);

    UsbSerialDevice device;
    device.tty = "ttyACM0";
    device.driver = "cdc_acm";
    addConverter(device);
    std::ostringstream json;
    EXPECT_EQ(cli::runDoctor(options, json, true), 1);
    const nlohmann::json report = nlohmann::json::parse(json.str());
    EXPECT_FALSE(report["ok"].get<bool>());
    bool sawDriver = false;
    for (const auto& check : report["checks"]) {
        if (check["check"] == "driver") {
            sawDriver = true;
            EXPECT_EQ(check["status"], "failed");
            EXPECT_EQ(check["port"], "ttyACM0");
        }
    }
    EXPECT_TRUE(sawDriver);
}

TEST(RevCounterLimit, MatchesTheReadmeTableWherePulsesOutlastTheRead) {
    // The README's measurements: 248 kHz at 2 µs, 49.6 kHz at 10 µs, 4.96 kHz at 100 µs.
    EXPECT_NEAR(cli::revCounterLimitHz(2'000), 248'000, 248'000 * 0.02);
    EXPECT_NEAR(cli::revCounterLimitHz(10'000), 49'600, 49'600 * 0.02);
    EXPECT_NEAR(cli::revCounterLimitHz(100'000), 4'960, 4'960 * 0.02);
    EXPECT_EQ(cli::revCounterLimitHz(0), 0.0);
}

}  // namespace
