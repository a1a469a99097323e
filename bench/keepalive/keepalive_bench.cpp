// How long a command leaves the window system unanswered: the longest stretch of the
// adapter's (virtual) time between two points where a desktop host services its events,
// for "Lesen", "Schreiben", an update, the oscillator calibration and the rev counter, on
// every driver profile of the virtual serial adapter and on the virtual FTDI chip.
//
// "before" counts only the points a host had without the keep-alive: repaint, the
// update's progress, the stop poll, message boxes and sub-dialogs. "after" adds the
// keep-alive. The goal is under 200 ms everywhere.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

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

constexpr double goalMs = 200;

// Records the time of every point where the host would service its events.
class GapHost final : public ui::RecordingHost {
  public:
    explicit GapHost(adapter::Clock& clock) : m_clock(clock) {}

    void begin() {
        m_lastOld = m_lastAny = m_clock.nowNs();
        m_longestOld = m_longestAny = 0;
    }
    void end() { serviced(); }
    double longestBeforeMs() const { return static_cast<double>(m_longestOld) / 1e6; }
    double longestAfterMs() const { return static_cast<double>(m_longestAny) / 1e6; }

    ui::Answer messageBox(const ui::Dialog* owner, std::string_view text, std::string_view caption,
                          ui::Buttons buttons) override {
        serviced();
        return RecordingHost::messageBox(owner, text, caption, buttons);
    }
    void repaint(ui::Dialog& dialog) override {
        serviced();
        RecordingHost::repaint(dialog);
    }
    int runModal(ui::Dialog& dialog, const ui::Dialog* owner, const std::function<void()>& onInit,
                 const CommandFunction& onCommand) override {
        serviced();
        return RecordingHost::runModal(dialog, owner, onInit, onCommand);
    }
    bool stopRequested(ui::Dialog& dialog) override {
        serviced();
        return RecordingHost::stopRequested(dialog);
    }
    void showProgress(int, int, int) override { serviced(); }
    void keepAlive() override { keptAlive(); }

  private:
    void serviced() {
        const std::uint64_t now = m_clock.nowNs();
        m_longestOld = std::max(m_longestOld, now - m_lastOld);
        m_lastOld = now;
        keptAlive();
    }
    void keptAlive() {
        const std::uint64_t now = m_clock.nowNs();
        m_longestAny = std::max(m_longestAny, now - m_lastAny);
        m_lastAny = now;
    }

    adapter::Clock& m_clock;
    std::uint64_t m_lastOld = 0;
    std::uint64_t m_lastAny = 0;
    std::uint64_t m_longestOld = 0;
    std::uint64_t m_longestAny = 0;
};

// One program against one virtual controller, on a driver profile or on the FTDI chip.
struct Station {
    explicit Station(std::optional<sim::SerialDriver> driver) {
        dir.write("qvsetup.cfg", "COM2");
        rig.port().startDirectory = dir.path();
        rig.setupMemory()[13] = 0xFE;
        rig.setupMemory()[32] = 0x30;
        rig.setupMemory()[33] = 0x12;
        if (driver) {
            sim::useDriver(rig.serialConfig(), *driver);
        } else {
            rig.port().comDeviceName = "ftdi:ZEK0001";
            rig.serialPorts().setAttached(false);
        }
        settings::fillMainDialogLists(mainDialog);
        mainDialog.setEnabled(ids::StatusField, false);
    }

    testing_support::TempDirectory dir;
    sim::TestRig rig;
    sim::VirtualFtdiBus bus{rig.clock(), rig.controller()};
    adapter::FtdiPortFactory ports{bus, rig.clock(), rig.serialPorts()};
    GapHost host{rig.clock()};
    ui::Dialog mainDialog{resources::mainDialogTemplate()};
    adapter::LinkContext link{rig.port(),  rig.linkState(), rig.messageText(),
                              rig.clock(), ports,           rig.portIo(),
                              host,        &mainDialog};
    settings::SetupImage image;
    settings::MotorData motorData;
    std::uint8_t lockByte = 0;
    settings::SettingsContext settingsCtx{link, mainDialog, image, motorData, lockByte};
};

ui::Outcome runUpdate(Station& s) {
    // 16 pages: long enough for the page loop to show its rhythm.
    s.dir.write("A3012B3012.upd",
                testing_support::plainUpdateFile(testing_support::consecutiveRecords(0, 1024)));
    s.host.files.push_back(s.dir.file("A3012B3012.upd"));
    update::UpdateState state;
    std::int32_t controllerVersion = 50000;
    update::UpdateContext ctx{s.link, state, controllerVersion};
    return update::runUpdate(ctx);
}

ui::Outcome runCalibration(Station& s) {
    s.rig.setupMemory()[15] = 0xFF;
    isp::IspState state;
    isp::IspContext ctx{s.link, state};
    return isp::calibrateOscillator(ctx);
}

// Waits for the motor, then two windows of counting; the pilot stops it after those.
ui::Outcome runRevCounter(Station& s) {
    s.rig.motorConfig().pulseRateHz = 1000;
    s.rig.motorConfig().runMs = 10'000;
    s.rig.setupMemory()[13] = 0xFD;
    s.image.controllerVersion = 0x1011;
    s.image.clockMHz = 8;
    int windows = 0;
    s.host.onRepaint = [&](ui::Dialog& dialog) {
        if (dialog.id() == rev_ids::Dialog && dialog.text(rev_ids::RatePerMinuteField).size() > 1) {
            ++windows;
        }
    };
    s.host.stopPredicate = [&](ui::Dialog&) { return windows >= 2; };
    s.host.modalScripts.push_back(
        [](ui::Dialog&, const std::function<void(ui::ControlId)>& command) {
            command(rev_ids::ReleaseMotorButton);
        });
    return settings::openRevCounter(s.settingsCtx);
}

struct Command {
    const char* name;
    std::function<ui::Outcome(Station&)> run;
};

const Command commands[] = {
    {"Lesen",
     [](Station& s) {
         return settings::readSettings(s.settingsCtx, settings::SettingsArea::Current);
     }},
    {"Schreiben",
     [](Station& s) {
         (void)settings::readSettings(s.settingsCtx, settings::SettingsArea::Current);
         s.host.begin();
         return settings::writeSettings(s.settingsCtx, settings::SettingsArea::Current);
     }},
    {"update 1 KiB", runUpdate},
    {"calibration", runCalibration},
    {"rev counter", runRevCounter},
};

// One row; false when the keep-alive misses the goal on a command that ran.
bool report(const std::string& adapterName, std::optional<sim::SerialDriver> driver) {
    bool ok = true;
    for (const Command& command : commands) {
        Station station(driver);
        station.host.begin();
        const std::uint64_t startNs = station.rig.clock().nowNs();
        const ui::Outcome outcome = command.run(station);
        station.host.end();
        const double lengthMs = static_cast<double>(station.rig.clock().nowNs() - startNs) / 1e6;
        const double afterMs = station.host.longestAfterMs();
        ok = ok && afterMs < goalMs;
        std::printf("%-14s %-13s %-9s %10.1f %10.1f %9.1f%s\n", adapterName.c_str(), command.name,
                    std::string(ui::outcomeName(outcome)).c_str(), lengthMs,
                    station.host.longestBeforeMs(), afterMs, afterMs < goalMs ? "" : "  over");
    }
    return ok;
}

}  // namespace

int main() {
    std::printf("longest virtual time without servicing the window system (ms)\n");
    std::printf("%-14s %-13s %-9s %10s %10s %9s\n", "adapter", "command", "outcome", "length",
                "before", "after");
    bool ok = true;
    for (sim::SerialDriver driver : sim::allSerialDrivers) {
        ok = report(std::string(sim::driverName(driver)), driver) && ok;
    }
    ok = report("ftdi-bitbang", std::nullopt) && ok;
    return ok ? 0 : 1;
}
