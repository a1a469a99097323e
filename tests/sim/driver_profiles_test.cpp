// The program against the serial drivers pilots own: each profile of the virtual serial
// adapter as the driver behaves, and every command that can work on it, end to end.
#include <gtest/gtest.h>

#include "isp/isp.h"
#include "resources/main_dialog.h"
#include "settings/settings.h"
#include "sim/test_rig.h"

namespace {

using sim::Line;
using sim::SerialDriver;

constexpr std::uint64_t msNs = 1'000'000;

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
        {SerialDriver::Native, 2'000, 2'000}, {SerialDriver::Ftdi, msNs, msNs},
        {SerialDriver::Cp210x, msNs, msNs},   {SerialDriver::Ch341, msNs, 5'000},
        {SerialDriver::Pl2303, msNs, 5'000},  {SerialDriver::CdcAcm, msNs, msNs},
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

// The main dialog's commands on a rig whose serial adapter has the driver's profile.
struct CommandRig {
    explicit CommandRig(SerialDriver driver) {
        sim::useDriver(rig.serialConfig(), driver);
        rig.link().mainWindow = &dialog;
        settings::fillMainDialogLists(dialog);
        rig.setupMemory()[15] = 0xFF;  // the oscillator calibration not copied yet
    }
    std::string boxes() {
        std::string text;
        for (const auto& message : rig.host().messages) {
            text += message.text + "|";
        }
        return text;
    }

    sim::TestRig rig;
    ui::Dialog dialog{resources::mainDialogTemplate()};
    settings::SetupImage image;
    settings::MotorData motorData;
    std::uint8_t lockByte = 0;
    settings::SettingsContext ctx{rig.link(), dialog, image, motorData, lockByte};
    isp::IspState ispState;
    isp::IspContext isp{rig.link(), ispState};
};

TEST(DriverProfiles, ReadWriteAndCalibrationWorkWhereTheDriverCarriesTheLines) {
    for (SerialDriver driver : {SerialDriver::Native, SerialDriver::Ftdi, SerialDriver::Cp210x,
                                SerialDriver::Ch341, SerialDriver::Pl2303}) {
        SCOPED_TRACE(std::string(sim::driverName(driver)));
        CommandRig c(driver);
        EXPECT_EQ(settings::readSettings(c.ctx, settings::SettingsArea::Current),
                  ui::Outcome::Done);
        // What was read goes back byte for byte: a bit lost or shifted on the way would
        // change the memory or fail the read-back.
        const sim::SetupBytes before = c.rig.setupMemory();
        EXPECT_EQ(settings::writeSettings(c.ctx, settings::SettingsArea::Current),
                  ui::Outcome::Done);
        EXPECT_EQ(settings::readSettings(c.ctx, settings::SettingsArea::Current),
                  ui::Outcome::Done);
        EXPECT_EQ(isp::calibrateOscillator(c.isp), ui::Outcome::Done);
        EXPECT_EQ(c.rig.setupMemory()[15], 0xA5);
        EXPECT_EQ(c.boxes().find("rror"), std::string::npos) << c.boxes();
    }
}

TEST(DriverProfiles, WhatCannotWorkIsRefusedBeforeAnyWrite) {
    const struct {
        SerialDriver driver;
        const char* cause;
    } cases[] = {
        {SerialDriver::CdcAcm, "CTS always reads on"},
        {SerialDriver::Ch341NoBreak, "cannot hold a break"},
    };
    for (const auto& k : cases) {
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

}  // namespace
