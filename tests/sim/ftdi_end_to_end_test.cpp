// The procedures end to end on the virtual FTDI chip in synchronous bit-bang mode, and
// beside the virtual serial adapter where the two must agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "adapter/adapter.h"
#include "adapter/ftdi_lines.h"
#include "config/temp_directory.h"
#include "isp/isp.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "resources/rev_counter_dialog.h"
#include "settings/settings.h"
#include "sim/test_rig.h"
#include "sim/virtual_ftdi_chip.h"
#include "update/update.h"
#include "update/update_file_builder.h"

namespace {

using testing_support::consecutiveRecords;
using testing_support::plainUpdateFile;

enum class Adapter { Serial, Ftdi };

// One program run against one virtual controller, on the serial adapter or the chip.
struct Station {
    explicit Station(Adapter adapter) : onChip(adapter == Adapter::Ftdi) {
        dir.write("qvsetup.cfg", "COM2");
        rig.port().startDirectory = dir.path();
        if (onChip) {
            rig.port().comDeviceName = "ftdi:ZEK0001";
            rig.serialPorts().setAttached(false);
        }
        mainDialog.setEnabled(ids::StatusField, false);
        settings::fillMainDialogLists(mainDialog);
        rig.setupMemory()[32] = 0x30;
        rig.setupMemory()[33] = 0x12;
    }
    ui::RecordingHost& host() { return rig.host(); }
    std::string box() {
        return rig.host().messages.empty()
                   ? ""
                   : rig.host().lastText() + "|" + rig.host().messages.back().caption;
    }
    ui::Outcome update(const std::string& bytes) {
        dir.write("A3012B3012.upd", bytes);
        host().files.push_back(dir.file("A3012B3012.upd"));
        return update::runUpdate(updateCtx);
    }
    // The chip's lines while they are open.
    const adapter::FtdiBitbangLines* chipLines() {
        return dynamic_cast<const adapter::FtdiBitbangLines*>(rig.linkState().serialPort.get());
    }

    bool onChip;
    testing_support::TempDirectory dir;
    sim::TestRig rig;
    sim::VirtualFtdiBus bus{rig.clock(), rig.controller()};
    adapter::FtdiPortFactory ftdiPorts{bus,
                                       rig.clock(),
                                       rig.serialPorts(),
                                       adapter::FtdiPortFactory::Routing::FtdiNames,
                                       {dir.path() + "/sys", dir.path() + "/dev"}};
    ui::Dialog mainDialog{resources::mainDialogTemplate()};
    adapter::LinkContext link{
        rig.port(),
        rig.linkState(),
        rig.messageText(),
        rig.clock(),
        onChip ? static_cast<adapter::SerialPortFactory&>(ftdiPorts) : rig.serialPorts(),
        rig.portIo(),
        rig.host(),
        &mainDialog};
    settings::SetupImage image;
    settings::MotorData motorData;
    std::uint8_t lockByte = 0;
    settings::SettingsContext settingsCtx{link, mainDialog, image, motorData, lockByte};
    update::UpdateState updateState;
    std::int32_t controllerVersion = 50000;
    update::UpdateContext updateCtx{link, updateState, controllerVersion};
    isp::IspState ispState;
    isp::IspContext ispCtx{link, ispState};
};

std::vector<std::string> mainTexts(const ui::Dialog& dialog) {
    std::vector<std::string> texts;
    for (const auto& control : resources::mainDialogTemplate().controls) {
        if (control.id >= 0) {
            texts.push_back(dialog.text(control.id));
        }
    }
    return texts;
}

TEST(FtdiEndToEnd, ReadAndWriteShowTheSameAsOnTheSerialAdapter) {
    Station serial(Adapter::Serial);
    Station chip(Adapter::Ftdi);
    for (Station* s : {&serial, &chip}) {
        s->rig.setupMemory()[40] = 0x5A;
        EXPECT_EQ(settings::readSettings(s->settingsCtx, settings::SettingsArea::Current),
                  ui::Outcome::Done);
        EXPECT_EQ(s->box(), "");
    }
    EXPECT_EQ(mainTexts(chip.mainDialog), mainTexts(serial.mainDialog));
    ASSERT_NE(chip.chipLines(), nullptr);
    EXPECT_EQ(chip.bus.overruns(), 0u);
    // Pulses never shorter than the native port's bit delay unit.
    EXPECT_GE(chip.bus.shortestPulseNs(), adapter::ftdi::pinStateNs);

    for (Station* s : {&serial, &chip}) {
        EXPECT_EQ(settings::writeSettings(s->settingsCtx, settings::SettingsArea::Current),
                  ui::Outcome::Done)
            << s->box();
        EXPECT_EQ(s->box(), "");
    }
    EXPECT_TRUE(std::ranges::equal(chip.rig.setupMemory(), serial.rig.setupMemory()));
    // The trace shows the four lines as on the serial adapter.
    for (sim::Line line :
         {sim::Line::Clock, sim::Line::DataOut, sim::Line::Reset, sim::Line::DataIn}) {
        const auto& events = chip.rig.trace().events();
        EXPECT_TRUE(std::ranges::any_of(events, [&](const auto& e) { return e.line == line; }));
    }
}

TEST(FtdiEndToEnd, AnUpdateProgramsEveryByte) {
    Station chip(Adapter::Ftdi);
    const std::string file = plainUpdateFile(consecutiveRecords(0, 300));
    EXPECT_EQ(chip.update(file), ui::Outcome::Done) << chip.box();
    EXPECT_EQ(chip.host().beeps, 1);
    for (std::uint32_t address : {0u, 63u, 64u, 299u}) {
        EXPECT_EQ(chip.rig.flash().byteAt(address), std::uint8_t(address * 37 + 11)) << address;
    }
    EXPECT_EQ(chip.bus.overruns(), 0u);
}

TEST(FtdiEndToEnd, CalibrationThroughTheSerialProgrammingInterface) {
    Station chip(Adapter::Ftdi);
    chip.rig.setupMemory()[15] = 0xFF;
    EXPECT_EQ(isp::calibrateOscillator(chip.ispCtx), ui::Outcome::Done) << chip.box();
    EXPECT_EQ(chip.host().lastText(), "soll: A5\n\nalt: FF\nneu: A5");
    EXPECT_EQ(chip.rig.setupMemory()[15], 0xA5);
}

// The chip unplugged at stages of an update, and a serial port lost at the same stages:
// the same outcome and box, and the detail names the chip.
TEST(FtdiEndToEnd, AChipVanishingMidUpdateEndsAsAVanishedSerialPort) {
    const std::string file = plainUpdateFile(consecutiveRecords(0, 130));
    struct Stage {
        const char* status;  // from the first repaint that shows it
        int after;           // writes to the chip, line operations on the serial port
    };
    const Stage stages[] = {{"connected", 1}, {"Update laeuft", 3}, {"Update laeuft", 300}};
    for (const Stage& stage : stages) {
        SCOPED_TRACE(std::string(stage.status) + " + " + std::to_string(stage.after));
        Station chip(Adapter::Ftdi);
        Station serial(Adapter::Serial);
        for (Station* s : {&chip, &serial}) {
            s->host().onRepaint = [s, stage, armed = false](ui::Dialog& dialog) mutable {
                if (armed || dialog.text(ids::StatusField) != stage.status) {
                    return;
                }
                armed = true;
                if (s->onChip) {
                    s->bus.config().vanishAtWrite = s->bus.writes() + stage.after;
                } else {
                    s->rig.serialConfig().vanishAfterOps =
                        s->rig.serialPorts().operationCount() + stage.after;
                }
            };
        }
        const ui::Outcome chipOutcome = chip.update(file);
        EXPECT_EQ(chipOutcome, serial.update(file));
        EXPECT_NE(chipOutcome, ui::Outcome::Done);
        EXPECT_TRUE(chip.bus.vanished());
        EXPECT_EQ(chip.box(), serial.box());
        EXPECT_TRUE(chip.rig.linkState().lineFault.describe().starts_with(
            "ftdi:ZEK0001: ftdi_write_data failed: usb bulk write failed"))
            << chip.rig.linkState().lineFault.describe();
    }
}

TEST(FtdiEndToEnd, AChipThatCannotBeOpenedSaysWhyAndOffersThePlainPort) {
    Station chip(Adapter::Ftdi);
    chip.bus.config().openFailure = -4;
    chip.bus.config().openFailureText = "libusb_open() failed (Access denied)";
    EXPECT_NE(settings::readSettings(chip.settingsCtx, settings::SettingsArea::Current),
              ui::Outcome::Done);
    EXPECT_EQ(chip.box(), "COM-Init-Error!|Error");
    const std::string detail = chip.host().pendingDetail();
    EXPECT_NE(detail.find("ftdi:ZEK0001: ftdi_usb_open_dev failed: libusb_open() failed"),
              std::string::npos)
        << detail;
    EXPECT_NE(detail.find("plain serial port"), std::string::npos) << detail;
}

// The polarity of an EEPROM-inverted DSR pin is learnt from the adapter test.
TEST(FtdiEndToEnd, AnInvertedDsrPinIsLearntFromTheLoopBack) {
    Station chip(Adapter::Ftdi);
    chip.bus.config().dsrPinInverted = true;
    EXPECT_EQ(adapter::detectAdapter(chip.link), 0);
    ASSERT_NE(chip.chipLines(), nullptr);
    EXPECT_FALSE(chip.chipLines()->polarity().inputsInverted);
}

// "Motor-Freigabe" against a motor at 20 kHz, through three windows.
TEST(FtdiEndToEnd, TheRevCounterCountsTwentyKilohertz) {
    Station chip(Adapter::Ftdi);
    constexpr double rateHz = 20'000;
    chip.rig.motorConfig().pulseRateHz = rateHz;
    chip.rig.motorConfig().runMs = 10'000;
    chip.rig.setupMemory()[13] = 0xFD;
    chip.image.controllerVersion = 0x1011;
    chip.image.clockMHz = 8;
    chip.rig.port().startDirectory = "/nonexistent/zek-ftdi-test";
    std::vector<int> shown;
    chip.host().onRepaint = [&](ui::Dialog& dialog) {
        if (dialog.id() == rev_ids::Dialog && dialog.text(rev_ids::RatePerMinuteField).size() > 1) {
            shown.push_back(std::stoi(dialog.text(rev_ids::RatePerMinuteField)));
        }
    };
    chip.host().stopPredicate = [&](ui::Dialog&) { return shown.size() >= 3; };
    chip.host().modalScripts.push_back(
        [](ui::Dialog&, const std::function<void(ui::ControlId)>& command) {
            command(rev_ids::ReleaseMotorButton);
        });
    (void)settings::openRevCounter(chip.settingsCtx);
    ASSERT_GE(shown.size(), 3u);
    // The stream runs through the wait for the first tick, so every window holds every
    // pulse, the first one included.
    for (std::size_t window = 0; window < shown.size(); ++window) {
        EXPECT_NEAR(shown[window] / 30.0, rateHz * 2, 1.0) << window;
    }
    EXPECT_EQ(chip.bus.overruns(), 0u);
}

}  // namespace
