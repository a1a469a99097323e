// The program against the adapters pilots own: each driver profile of the virtual serial
// adapter as the driver behaves, the virtual FTDI chip in synchronous bit-bang mode, and
// every command that can work on them, end to end.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "adapter/adapter.h"
#include "adapter/fake_sysfs.h"
#include "adapter/ftdi_lines.h"
#include "resources/rev_counter_dialog.h"
#include "sim/procedure_rig.h"
#include "update/update_file_builder.h"

namespace {

using sim::Line;
using sim::SerialDriver;

constexpr std::uint64_t msNs = 1'000'000;

// The adapters that carry all four lines: the serial port with a live status (the
// cp210x profile is the ftdi one) or a cached one (pl2303 is ch341), and the FTDI chip.
struct Route {
    SerialDriver driver;
    bool chip = false;
};
constexpr Route working[] = {{SerialDriver::Native},
                             {SerialDriver::Ftdi},
                             {SerialDriver::Ch341},
                             {SerialDriver::Native, true}};
std::string nameOf(Route route) {
    return route.chip ? "ftdi-bitbang" : std::string(sim::driverName(route.driver));
}
// The two drivers that cannot carry them.
const struct Refusal {
    SerialDriver driver;
    const char* cause;
} refusals[] = {
    {SerialDriver::CdcAcm, "CTS always reads on"},
    {SerialDriver::Ch341NoBreak, "cannot hold a break"},
};

TEST(DriverProfiles, NamesMapBothWaysAndUnknownNamesAreRefused) {
    for (SerialDriver driver : sim::allSerialDrivers) {
        EXPECT_EQ(sim::driverProfileByName(sim::driverName(driver)), driver);
    }
    for (const char* name : {"", "FTDI", "ch340", "cdc_acm", "native "}) {
        sim::SerialAdapterConfig config;
        EXPECT_FALSE(sim::applySimDriver(config, name)) << name;
        EXPECT_EQ(config.driver, SerialDriver::Native);
        EXPECT_FALSE(config.raisesLinesOnOpen);
    }
    sim::SerialAdapterConfig config;
    config.vanishAfterOps = 7;
    ASSERT_TRUE(sim::applySimDriver(config, "ch341-nobreak"));
    EXPECT_EQ(config.opCostNs, msNs);
    EXPECT_EQ(config.statusReportIntervalNs, msNs);
    EXPECT_NE(config.breakPulseNs, 0u);
    EXPECT_EQ(config.vanishAfterOps, 7u);  // the other knobs stay
}

struct PortRig {
    explicit PortRig(SerialDriver driver) { sim::useDriver(rig.serialConfig(), driver); }
    std::unique_ptr<adapter::LineAccess> open() {
        adapter::SerialOpenResult result{};
        return rig.serialPorts().open("COM2", result);
    }
    sim::TestRig rig;
};

TEST(DriverProfiles, OpeningRaisesDtrAndRtsTheLastCloseDropsThem) {
    PortRig p(SerialDriver::Ftdi);
    auto first = p.open();
    EXPECT_TRUE(p.rig.trace().level(Line::Clock));
    EXPECT_TRUE(p.rig.trace().level(Line::DataOut));
    EXPECT_FALSE(p.rig.trace().level(Line::Reset));
    auto second = p.open();
    first.reset();
    EXPECT_TRUE(p.rig.trace().level(Line::Clock));  // still open once
    second.reset();
    EXPECT_FALSE(p.rig.trace().level(Line::Clock));
    EXPECT_FALSE(p.rig.trace().level(Line::DataOut));
}

TEST(DriverProfiles, LineCallsCostWhatTheDriverTakes) {
    const struct {
        SerialDriver driver;
        std::uint64_t changeNs;
        std::uint64_t readNs;
    } cases[] = {
        {SerialDriver::Native, 2'000, 2'000},
        {SerialDriver::Ftdi, msNs, msNs},
        {SerialDriver::Ch341, msNs, 5'000},
        {SerialDriver::CdcAcm, msNs, msNs},
    };
    for (const auto& c : cases) {
        PortRig p(c.driver);
        auto port = p.open();
        std::uint64_t before = p.rig.clock().nowNs();
        port->setClock(true);
        EXPECT_EQ(p.rig.clock().nowNs() - before, c.changeNs) << sim::driverName(c.driver);
        before = p.rig.clock().nowNs();
        (void)port->readDataIn();
        EXPECT_EQ(p.rig.clock().nowNs() - before, c.readNs) << sim::driverName(c.driver);
    }
}

TEST(DriverProfiles, CachedStatusShowsAChangeOnlyAfterTheNextReport) {
    PortRig p(SerialDriver::Pl2303);
    auto port = p.open();
    p.rig.clock().waitUntilNs(10 * msNs + 100'000);  // a report at 10 ms, DTR still high
    port->setDataOut(false);                         // 11.1 ms; the 11 ms report saw it high
    EXPECT_TRUE(port->readLoopBack());
    p.rig.clock().waitUntilNs(12 * msNs);
    EXPECT_FALSE(port->readLoopBack());

    PortRig live(SerialDriver::Ftdi);
    auto livePort = live.open();
    livePort->setDataOut(false);
    EXPECT_FALSE(livePort->readLoopBack());
}

TEST(DriverProfiles, AnUnheldBreakEndsAsOnePulseACdcAcmCtsReadsOn) {
    PortRig p(SerialDriver::Ch341NoBreak);
    auto port = p.open();
    port->setReset(true);
    EXPECT_TRUE(p.rig.trace().level(Line::Reset));
    p.rig.clock().waitUntilNs(p.rig.clock().nowNs() + 300 * msNs);
    (void)port->readDataIn();
    EXPECT_FALSE(p.rig.trace().level(Line::Reset));
    std::vector<sim::LineEvent> resets;
    for (const sim::LineEvent& event : p.rig.trace().events()) {
        if (event.line == Line::Reset) {
            resets.push_back(event);
        }
    }
    ASSERT_GE(resets.size(), 2u);
    const sim::LineEvent& rise = resets[resets.size() - 2];
    const sim::LineEvent& drop = resets.back();
    EXPECT_TRUE(rise.high);
    EXPECT_FALSE(drop.high);
    EXPECT_NEAR(static_cast<double>(drop.timeNs - rise.timeNs), 217e6, 2e6);
    EXPECT_FALSE(port->traits().breakHeld);

    PortRig acm(SerialDriver::CdcAcm);
    auto acmPort = acm.open();
    acm.rig.controllerConfig().kind = sim::DeviceKind::NothingAttached;
    EXPECT_EQ(acmPort->readDataIn(), 1);
    EXPECT_TRUE(acmPort->traits().dataInConstant);
}

// The main dialog's commands on the adapter of a route: the serial port with the driver's
// profile, or the FTDI chip.
struct CommandRig : sim::ProcedureRig {
    explicit CommandRig(Route route) : onChip(route.chip) {
        sim::useDriver(rig.serialConfig(), route.driver);
        if (onChip) {
            rig.selectFtdiChip();
        }
        memory()[15] = 0xFF;  // the oscillator calibration not copied yet
        setControllerVersion(0x3012);
    }
    explicit CommandRig(SerialDriver driver) : CommandRig(Route{driver}) {}
    ui::Outcome update(const std::string& bytes) {
        return ProcedureRig::update("A3012B3012.upd", bytes);
    }
    std::string boxes() {
        std::string text;
        for (const auto& message : host().messages) {
            text += message.text + "|";
        }
        return text;
    }

    bool onChip;
    sim::VirtualFtdiBus& bus = rig.ftdiBus();
    settings::SettingsContext& ctx = settingsCtx;
    isp::IspContext& isp = ispCtx;
    adapter::LinkContext& link = rig.link();
};

TEST(DriverProfiles, ReadWriteAndCalibrationWorkWhereTheAdapterCarriesTheLines) {
    for (const Route route : working) {
        SCOPED_TRACE(nameOf(route));
        CommandRig c(route);
        const sim::SetupBytes memory = c.rig.setupMemory();
        EXPECT_EQ(settings::readSettings(c.ctx, settings::SettingsArea::Current),
                  ui::Outcome::Done);
        // What was read goes back: a bit lost or shifted on the way fails the read-back.
        EXPECT_EQ(settings::writeSettings(c.ctx, settings::SettingsArea::Current),
                  ui::Outcome::Done);
        EXPECT_EQ(settings::readSettings(c.ctx, settings::SettingsArea::Current),
                  ui::Outcome::Done);
        for (std::size_t address = 0; address < memory.size(); ++address) {
            if (address != 6) {  // neutral 1.50 ms is stored truncated
                EXPECT_EQ(c.rig.setupMemory()[address], memory[address]) << address;
            }
        }
        EXPECT_EQ(isp::calibrateOscillator(c.isp), ui::Outcome::Done);
        EXPECT_EQ(c.rig.host().lastText(), "soll: A5\n\nalt: FF\nneu: A5");
        EXPECT_EQ(c.rig.setupMemory()[15], 0xA5);
        EXPECT_EQ(c.boxes().find("rror"), std::string::npos) << c.boxes();
        EXPECT_EQ(c.bus.overruns(), 0u);
        // The chip's pulses are never shorter than the serial port's bit delay unit.
        EXPECT_GE(c.bus.shortestPulseNs(), route.chip ? adapter::ftdi::pinStateNs : 0u);
    }
}

TEST(DriverProfiles, WhatCannotWorkIsRefusedBeforeAnyWrite) {
    for (const Refusal& k : refusals) {
        SCOPED_TRACE(std::string(sim::driverName(k.driver)));
        CommandRig c(k.driver);
        const sim::SetupBytes memory = c.rig.setupMemory();
        EXPECT_EQ(settings::readSettings(c.ctx, settings::SettingsArea::Current),
                  ui::Outcome::Failed);
        EXPECT_NE(isp::calibrateOscillator(c.isp), ui::Outcome::Done);
        EXPECT_EQ(c.rig.setupMemory(), memory);
        ASSERT_FALSE(c.rig.host().messages.empty());
        EXPECT_EQ(c.rig.host().messages.front().text, "No Adaptor found at COM2\n");
        EXPECT_NE(c.rig.host().pendingDetail().find(k.cause), std::string::npos)
            << c.rig.host().pendingDetail();
    }
}

// Three pages, the last one partly filled, so that page selection, commit and the last
// partial page all run on the adapter's timing.
const std::string threePageFile =
    testing_support::plainUpdateFile(testing_support::consecutiveRecords(0, 150));

TEST(DriverProfiles, AnUpdateProgramsEveryByteWhereTheAdapterCarriesTheLines) {
    for (const Route route : working) {
        SCOPED_TRACE(nameOf(route));
        CommandRig c(route);
        EXPECT_EQ(c.update(threePageFile), ui::Outcome::Done) << c.boxes();
        EXPECT_EQ(c.rig.host().beeps, 1);
        EXPECT_EQ(c.boxes(), "Update starten?|");
        for (std::uint32_t address = 0; address < 150; ++address) {
            ASSERT_EQ(c.rig.flash().byteAt(address), std::uint8_t(address * 37 + 11)) << address;
        }
        EXPECT_EQ(c.rig.flash().byteAt(150), 0xFF);
        EXPECT_EQ(c.bus.overruns(), 0u);
    }
}

TEST(DriverProfiles, AnUpdateIsRefusedBeforeAnyPageWhereTheDriverCannot) {
    for (const Refusal& k : refusals) {
        SCOPED_TRACE(std::string(sim::driverName(k.driver)));
        CommandRig c(k.driver);
        EXPECT_EQ(c.update(threePageFile), ui::Outcome::Failed);
        EXPECT_TRUE(c.rig.pageLog().empty());
        EXPECT_EQ(c.rig.flash().byteAt(0), 0xFF);
        EXPECT_EQ(c.rig.host().beeps, 0);
        EXPECT_EQ(c.boxes(), "No Adaptor found at COM2\n|");
        EXPECT_NE(c.rig.host().pendingDetail().find(k.cause), std::string::npos)
            << c.rig.host().pendingDetail();
    }
}

// "Motor-Freigabe" against a motor at rateHz with square pulses, for windows windows;
// what each window showed, as pulses counted.
std::vector<double> countedPerWindow(CommandRig& c, double rateHz, std::size_t windows) {
    c.rig.motorConfig().pulseRateHz = rateHz;
    c.rig.motorConfig().runMs = 60'000;
    // Half the period high: a tachometer's square wave, which a port that reads once a
    // millisecond can still follow.
    c.rig.motorConfig().pulseWidthUs = static_cast<std::uint32_t>(500'000 / rateHz);
    c.rig.setupMemory()[13] = 0xFD;  // test program locked
    c.image.controllerVersion = 0x1011;
    c.image.clockMHz = 8;
    std::vector<double> counted;
    c.rig.host().onRepaint = [&](ui::Dialog& dialog) {
        if (dialog.id() == rev_ids::Dialog && dialog.text(rev_ids::RatePerMinuteField).size() > 1) {
            // 2 poles and no gear (no motor record in the cfg): 30 per minute per pulse.
            counted.push_back(std::stoi(dialog.text(rev_ids::RatePerMinuteField)) / 30.0);
        }
    };
    c.rig.host().stopPredicate = [&](ui::Dialog&) { return counted.size() >= windows; };
    c.rig.host().modalScripts.push_back(
        [](ui::Dialog&, const std::function<void(ui::ControlId)>& command) {
            command(rev_ids::ReleaseMotorButton);
        });
    (void)settings::openRevCounter(c.ctx);
    return counted;
}

// A 1 ms read follows at most about 500 pulses a second; 200 Hz lies well inside that on
// every profile and still gives 400 pulses a window to lose. The chip's samples stream
// through the wait for the first tick, so it counts 20 kHz, the first window included.
TEST(DriverProfiles, TheRevCounterCountsEveryPulseWhereTheAdapterCarriesTheLines) {
    for (const Route route : working) {
        SCOPED_TRACE(nameOf(route));
        const double rateHz = route.chip ? 20'000 : 200;
        CommandRig c(route);
        const std::vector<double> counted = countedPerWindow(c, rateHz, 3);
        ASSERT_EQ(counted.size(), 3u) << c.boxes();
        for (double pulses : counted) {
            EXPECT_NEAR(pulses, rateHz * 2, 1.0);
        }
        EXPECT_EQ(c.boxes(), "");
        EXPECT_EQ(c.bus.overruns(), 0u);
    }
}

TEST(DriverProfiles, TheRevCounterIsRefusedWhereTheDriverCannot) {
    for (const Refusal& k : refusals) {
        SCOPED_TRACE(std::string(sim::driverName(k.driver)));
        CommandRig c(k.driver);
        EXPECT_TRUE(countedPerWindow(c, 200, 1).empty());
        EXPECT_EQ(c.boxes(), "No Adaptor found at COM2\n|");
        EXPECT_NE(c.rig.host().pendingDetail().find(k.cause), std::string::npos)
            << c.rig.host().pendingDetail();
        EXPECT_EQ(c.rig.controller().mode(), sim::ControllerMode::InReset);
    }
}

// The chip unplugged at stages of an update, and a serial port lost at the same stages:
// the same outcome and box, and the detail names the chip.
TEST(FtdiChip, VanishingMidUpdateEndsAsAVanishedSerialPort) {
    const std::string file =
        testing_support::plainUpdateFile(testing_support::consecutiveRecords(0, 130));
    struct Stage {
        const char* status;  // from the first repaint that shows it
        int after;           // writes to the chip, line operations on the serial port
    };
    const Stage stages[] = {{"connected", 1}, {"Update laeuft", 3}, {"Update laeuft", 300}};
    for (const Stage& stage : stages) {
        SCOPED_TRACE(std::string(stage.status) + " + " + std::to_string(stage.after));
        CommandRig chip(Route{SerialDriver::Native, true});
        CommandRig serial(SerialDriver::Native);
        for (CommandRig* c : {&chip, &serial}) {
            c->rig.host().onRepaint = [c, stage, armed = false](ui::Dialog& dialog) mutable {
                if (armed || dialog.text(ids::StatusField) != stage.status) {
                    return;
                }
                armed = true;
                if (c->onChip) {
                    c->bus.config().vanishAtWrite = c->bus.writes() + stage.after;
                } else {
                    c->rig.serialConfig().vanishAfterOps =
                        c->rig.serialPorts().operationCount() + stage.after;
                }
            };
        }
        const ui::Outcome chipOutcome = chip.update(file);
        EXPECT_EQ(chipOutcome, serial.update(file));
        EXPECT_NE(chipOutcome, ui::Outcome::Done);
        EXPECT_TRUE(chip.bus.vanished());
        EXPECT_EQ(chip.boxes(), serial.boxes());
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
    EXPECT_NE(settings::readSettings(chip.ctx, settings::SettingsArea::Current), ui::Outcome::Done);
    EXPECT_EQ(chip.boxes() + chip.rig.host().lastCaption(), "COM-Init-Error!|Error");
    const std::string detail = chip.rig.host().pendingDetail();
    EXPECT_NE(detail.find("ftdi:ZEK0001: ftdi_usb_open_dev failed: libusb_open() failed"),
              std::string::npos)
        << detail;
    EXPECT_NE(detail.find("plain serial port"), std::string::npos) << detail;

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
}

// The polarity of an EEPROM-inverted DSR pin is learnt from the adapter test.
TEST(FtdiChip, AnInvertedDsrPinIsLearntFromTheLoopBack) {
    CommandRig chip(Route{SerialDriver::Native, true});
    chip.bus.config().dsrPinInverted = true;
    EXPECT_EQ(adapter::detectAdapter(chip.link), 0);
    const auto* lines =
        dynamic_cast<const adapter::FtdiBitbangLines*>(chip.rig.linkState().serialPort.get());
    ASSERT_NE(lines, nullptr);
    EXPECT_FALSE(lines->polarity().inputsInverted);
}

}  // namespace
