// The program on the driver profiles of the virtual serial adapter, each as its driver
// treats the modem lines, and on the virtual FTDI chip in synchronous bit-bang mode.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "adapter/adapter.h"
#ifndef _WIN32  // a fake Linux sysfs: the FTDI names resolve through it on Linux only
#include "adapter/fake_sysfs.h"
#endif
#include "adapter/ftdi_lines.h"
#include "adapter/test_rig.h"
#include "link/link.h"
#include "resources/rev_counter_dialog.h"
#include "sim/procedure_rig.h"
#include "update/update_file_builder.h"

namespace {

using sim::SerialDriver;

// The adapters that carry all four lines: the serial port on a driver with a live status
// or a cached one, and the FTDI chip.
struct Route {
    SerialDriver driver;
    bool chip = false;
};
constexpr Route working[] = {{SerialDriver::Native},
                             {SerialDriver::Ftdi},
                             {SerialDriver::Ch341},
                             {SerialDriver::Native, true}};

// The main dialog's commands on the adapter of a route.
struct CommandRig : sim::ProcedureRig {
    explicit CommandRig(Route route) {
        sim::useDriver(rig.serialConfig(), route.driver);
        if (route.chip) {
            rig.selectFtdiChip();
        }
        setControllerVersion(0x3012);
    }
    std::string boxes() { return adapter::testing::boxes(host()); }

    sim::VirtualFtdiBus& bus = rig.ftdiBus();
};

// Three pages, the last one partly filled: page selection, the page runs, the commits
// and the last partial page all run on the adapter's timing.
TEST(DriverProfiles, AnUpdateProgramsEveryByteWhereTheAdapterCarriesTheLines) {
    const std::string file =
        testing_support::plainUpdateFile(testing_support::consecutiveRecords(0, 150));
    for (const Route route : working) {
        SCOPED_TRACE(route.chip ? "ftdi-bitbang" : std::string(sim::driverName(route.driver)));
        CommandRig c(route);
        EXPECT_EQ(c.update("A3012B3012.upd", file), ui::Outcome::Done) << c.boxes();
        EXPECT_EQ(c.boxes(), "0 Warning!: Update starten?");
        for (std::uint32_t address = 0; address < 150; ++address) {
            ASSERT_EQ(c.rig.flash().byteAt(address), std::uint8_t(address * 37 + 11)) << address;
        }
        EXPECT_EQ(c.rig.flash().byteAt(150), 0xFF);
        EXPECT_EQ(c.bus.overruns(), 0u);
        // The chip's pulses are never shorter than the serial port's bit delay unit.
        EXPECT_GE(c.bus.shortestPulseNs(), route.chip ? adapter::ftdi::pinStateNs : 0u);
    }
}

// The adapter test refuses a driver that cannot hold a break, so the command stops before it
// sends anything (a CDC-ACM port's refusal: the command line's run table).
TEST(DriverProfiles, WhatCannotWorkIsRefusedBeforeAnyWrite) {
    CommandRig c(Route{SerialDriver::Ch341NoBreak});
    EXPECT_EQ(settings::readSettings(c.settingsCtx, settings::SettingsArea::Current),
              ui::Outcome::Failed);
    EXPECT_EQ(c.boxes(), "1227 Error: No Adaptor found at COM2\n");
    EXPECT_NE(c.host().pendingDetail().find("cannot hold a break"), std::string::npos)
        << c.host().pendingDetail();
    EXPECT_EQ(c.rig.controller().mode(), sim::ControllerMode::InReset);
}

// The chip's samples stream on through the rev counter's wait for the first tick, so it
// counts a 20 kHz motor, the first window included.
TEST(FtdiChip, TheRevCounterCountsEveryPulse) {
    CommandRig c(Route{SerialDriver::Native, true});
    constexpr double rateHz = 20'000;
    c.rig.motorConfig().pulseRateHz = rateHz;
    c.rig.motorConfig().runMs = 60'000;
    c.rig.motorConfig().pulseWidthUs = static_cast<std::uint32_t>(500'000 / rateHz);
    c.rig.setupMemory()[13] = 0xFD;  // test program locked
    c.image.controllerVersion = 0x1011;
    c.image.clockMHz = 8;
    std::vector<double> counted;
    c.host().onRepaint = [&](ui::Dialog& dialog) {
        if (dialog.id() == rev_ids::Dialog && dialog.text(rev_ids::RatePerMinuteField).size() > 1) {
            // 2 poles and no gear (no motor record in the cfg): 30 per minute per pulse.
            counted.push_back(std::stoi(dialog.text(rev_ids::RatePerMinuteField)) / 30.0);
        }
    };
    c.host().stopPredicate = [&](ui::Dialog&) { return counted.size() >= 3; };
    c.host().modalScripts.push_back(
        [](ui::Dialog&, const auto& command) { command(rev_ids::ReleaseMotorButton); });
    (void)settings::openRevCounter(c.settingsCtx);
    ASSERT_EQ(counted.size(), 3u) << c.boxes();
    for (double pulses : counted) {
        EXPECT_NEAR(pulses, rateHz * 2, 1.0);
    }
    EXPECT_EQ(c.boxes(), "");
    EXPECT_EQ(c.bus.overruns(), 0u);
}

// The chip unplugged during a single exchange or a page's run: its lines fail as a lost
// serial port's do, the port is closed, and the fault names the chip.
TEST(FtdiChip, UnpluggedItFailsAsALostSerialPort) {
    const std::vector<clink::PageByte> bytes{{0, 0x10}, {1, 0x11}};
    const std::function<void(adapter::LinkContext&)> operations[] = {
        [](adapter::LinkContext& link) { (void)clink::exchangeByte(link, 0xFE); },
        [&](adapter::LinkContext& link) { (void)clink::loadPageBytes(link, bytes, [] {}); },
    };
    for (const auto& operation : operations) {
        CommandRig chip(Route{SerialDriver::Native, true});
        adapter::LinkContext& link = chip.rig.link();
        ASSERT_EQ(adapter::detectAdapter(link), 0);
        chip.bus.config().vanishAtWrite = chip.bus.writes() + 1;
        operation(link);
        EXPECT_TRUE(chip.bus.vanished());
        EXPECT_TRUE(adapter::linesFailed(link));
        EXPECT_FALSE(link.state.portOpen);
        EXPECT_TRUE(chip.rig.linkState().lineFault.describe().starts_with(
            "ftdi:ZEK0001: ftdi_write_data failed: usb bulk write failed"))
            << chip.rig.linkState().lineFault.describe();
    }
}

// A chip that cannot be opened says why and offers its tty: the one with its serial
// number where the port list has it.
TEST(FtdiChip, ThatCannotBeOpenedSaysWhyAndOffersThePlainPort) {
    CommandRig chip(Route{SerialDriver::Native, true});
    chip.bus.config().openFailure = -4;
    chip.bus.config().openFailureText = "libusb_open() failed (Access denied)";
    EXPECT_EQ(adapter::openSerialPort(chip.rig.link()), 1);
    EXPECT_EQ(chip.rig.messageText(), "COM-Init-Error!");
    const std::string detail = chip.host().pendingDetail();
    EXPECT_NE(detail.find("ftdi:ZEK0001: ftdi_usb_open_dev failed: libusb_open() failed"),
              std::string::npos)
        << detail;
    EXPECT_NE(detail.find("plain serial port"), std::string::npos) << detail;

#ifndef _WIN32
    testing_fs::FakeSystem fake;
    for (const auto& [serial, name, usbPath] :
         {std::tuple{"OTHER", "ttyUSB0", "1-1"}, {"ZEK0001", "ttyUSB1", "1-2"}}) {
        testing_fs::UsbSerialDevice tty;
        std::tie(tty.serial, tty.tty, tty.usbPath) = std::tie(serial, name, usbPath);
        fake.addUsbSerial(tty);
    }
    adapter::FtdiPortFactory ports{chip.bus,
                                   chip.rig.clock(),
                                   chip.rig.serialPorts(),
                                   adapter::FtdiPortFactory::Routing::FtdiNames,
                                   {fake.sys(), fake.dev()}};
    adapter::SerialOpenResult result{};
    ui::SystemError error;
    EXPECT_EQ(ports.open("ftdi:ZEK0001", result, error), nullptr);
    EXPECT_TRUE(error.reason.ends_with("as the serial port " + (fake.dev() / "ttyUSB1").string()))
        << error.reason;
#endif
}

// The polarity of an EEPROM-inverted DSR pin is learnt from the adapter test.
TEST(FtdiChip, AnInvertedDsrPinIsLearntFromTheLoopBack) {
    CommandRig chip(Route{SerialDriver::Native, true});
    chip.bus.config().dsrPinInverted = true;
    EXPECT_EQ(adapter::detectAdapter(chip.rig.link()), 0);
    const auto* lines =
        dynamic_cast<const adapter::FtdiBitbangLines*>(chip.rig.linkState().serialPort.get());
    ASSERT_NE(lines, nullptr);
    EXPECT_FALSE(lines->polarity().inputsInverted);
}

}  // namespace
