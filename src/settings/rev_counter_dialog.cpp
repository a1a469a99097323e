// "Drehzahl messen": releases the motor and counts the controller's pulses on DATA-IN in
// 2-second windows.
#include <cstdint>
#include <string>

#include "adapter/adapter.h"
#include "controller/connect.h"
#include "link/link.h"
#include "resources/main_dialog_ids.h"
#include "resources/rev_counter_dialog.h"
#include "resources/texts.h"
#include "settings/command_steps.h"
#include "settings/conversions.h"
#include "settings/motor_data_entry.h"
#include "settings/rpm_figures.h"
#include "settings/settings.h"

namespace settings {

namespace {

using namespace subdialogs;
using namespace controller;

constexpr std::int32_t firstRevCounterVersion = 0x1011;

// revCounterStart: the controller sees RESET rise with CLOCK and DATA-OUT high, which
// makes its firmware release the motor and report each electrical revolution.
constexpr std::uint32_t linesSettleMs = 100;
constexpr std::uint32_t resetLowMs = 100;
constexpr std::uint32_t releaseLevelsMs = 50;

constexpr int waitSeconds = 10;
constexpr std::uint32_t secondMs = 1000;
constexpr std::uint32_t windowMs = 2000;
constexpr std::uint64_t nsPerMs = 1'000'000;
// The host is asked for a stop at each new tick, and at least this often in reads, so
// that a stalled clock cannot lock the pilot out.
constexpr int readsPerStopPoll = 256;

constexpr const char* propSpeedLabel = "Prop-Drehzahl,  U/min";
constexpr const char* remainingLabel = "Sek. Restzeit";
constexpr MotorDataFields motorFields{rev_ids::PoleCountField, rev_ids::GearRatioField};

class RevCounterDialog {
  public:
    RevCounterDialog(SettingsContext& ctx, ui::Dialog& dialog)
        : m_ctx(ctx), m_clock(ctx.link.clock), m_dialog(dialog) {}

    void onInit() { loadAndShowMotorData(m_ctx, m_dialog, motorFields); }

    ui::Outcome onCommand(ui::ControlId id) {
        if (id == rev_ids::EndButton || id == rev_ids::Cancel) {
            m_dialog.end(1);
        } else if (id == rev_ids::SaveMotorDataButton && m_dialog.enabled(id)) {
            return saveMotorData(m_ctx, m_dialog, motorFields);
        } else if (id == rev_ids::ReleaseMotorButton && m_dialog.enabled(id)) {
            return measureRevs();
        }
        return ui::Outcome::Done;
    }

  private:
    ui::UiHost& host() { return m_ctx.link.host; }
    std::uint32_t since(std::uint32_t startTick) { return m_clock.tickCount() - startTick; }

    void revCounterStart() {
        adapter::lowerLines(m_ctx.link);
        adapter::delayMs(m_ctx.link, linesSettleMs);
        // The open port's modem lines, whatever the port kind says.
        adapter::SerialLines lines(m_ctx.link);
        lines.setReset(false);
        adapter::delayMs(m_ctx.link, resetLowMs);
        lines.setClock(true);
        lines.setDataOut(true);
        adapter::delayMs(m_ctx.link, releaseLevelsMs);
        lines.setReset(true);
        lines.setDataOut(true);
        adapter::bitDelay(m_ctx.link, 1);
    }

    void setButtonsEnabled(bool enabled) {
        m_dialog.setEnabled(rev_ids::ReleaseMotorButton, enabled);
        m_dialog.setEnabled(rev_ids::EndButton, enabled);
        m_dialog.setEnabled(rev_ids::SaveMotorDataButton, enabled);
    }

    // One read of DATA-IN; also where the host is asked whether the pilot wants to stop.
    int readDataIn() {
        const std::uint32_t tick = m_clock.tickCount();
        if (tick != m_lastPollTick || ++m_readsSincePoll >= readsPerStopPoll) {
            m_lastPollTick = tick;
            m_readsSincePoll = 0;
            m_stopped = m_stopped || host().stopRequested(m_dialog);
        }
        return adapter::SerialLines(m_ctx.link).readDataIn();
    }

    // A high-to-low change of DATA-IN that completes before limitMs have passed since
    // startTick. A change begun but not completed in time is not taken.
    bool fallingEdgeWithin(std::uint32_t startTick, std::uint32_t limitMs) {
        bool sawHigh = false;
        while (!m_stopped && since(startTick) < limitMs) {
            const int level = readDataIn();
            if (!sawHigh) {
                sawHigh = level != 0;
            } else if (level == 0) {
                return true;
            }
        }
        return false;
    }

    // Windows start on a tick boundary, so that each lasts its full 2000 ms: a late start
    // would shorten the first window by the lateness and drop pulses at high rates.
    void waitForNextTick() {
        const std::uint32_t tick = m_clock.tickCount();
        while (m_clock.tickCount() == tick) {
            const std::uint64_t now = m_clock.nowNs();
            m_clock.waitUntilNs(now - now % nsPerMs + nsPerMs);
        }
    }

    // Counts completed pulses in one window from its start tick.
    int countWindow() {
        const std::uint32_t startTick = m_clock.tickCount();
        int pulses = 0;
        while (fallingEdgeWithin(startTick, windowMs)) {
            ++pulses;
        }
        return pulses;
    }

    // Cancelled when the pilot stopped it; a measurement that saw no pulse is still done.
    ui::Outcome measureRevs() {
        // The release levels go out on the serial lines only; a parallel adapter would
        // leave the motor held and the pilot waiting for nothing.
        if (m_ctx.link.port.kind != adapter::PortKind::Serial ||
            adapter::detectAdapter(m_ctx.link) != 0) {
            host().messageBox(nullptr, "adapter?", texts::ErrorBangCaption);
            m_dialog.end(1);
            return ui::Outcome::Failed;
        }
        revCounterStart();
        m_stopped = false;
        m_readsSincePoll = 0;
        m_lastPollTick = m_clock.tickCount();

        setButtonsEnabled(false);
        m_dialog.setText(rev_ids::PropSpeedLabel, remainingLabel);
        host().repaint(m_dialog);
        if (!waitForFirstPulse()) {
            endWait();
            return m_stopped ? ui::Outcome::Cancelled : ui::Outcome::Done;
        }

        m_dialog.setText(rev_ids::PropSpeedLabel, propSpeedLabel);
        host().repaint(m_dialog);
        waitForNextTick();
        for (;;) {
            const int pulses = countWindow();
            if (pulses == 0 || m_stopped) {
                break;
            }
            showFigures(revFiguresFromPulses(pulses, m_ctx.motorData));
            host().repaint(m_dialog);
        }
        endMeasurement();
        return m_stopped ? ui::Outcome::Cancelled : ui::Outcome::Done;
    }

    // One second at a time; false when the countdown ran out or the pilot stopped.
    bool waitForFirstPulse() {
        for (int secondsLeft = waitSeconds; secondsLeft > 0;) {
            if (fallingEdgeWithin(m_clock.tickCount(), secondMs)) {
                return true;
            }
            if (m_stopped) {
                return false;
            }
            --secondsLeft;
            m_dialog.setText(rev_ids::PropSpeedField, std::to_string(secondsLeft));
            host().repaint(m_dialog);
        }
        return false;
    }

    void showFigures(const RevFigures& figures) {
        m_dialog.setText(rev_ids::RatePerMinuteField, std::to_string(figures.perMinute));
        m_dialog.setText(rev_ids::FrequencyField, std::to_string(figures.hz));
        m_dialog.setText(rev_ids::MotorSpeedField, std::to_string(figures.motorSpeed));
        m_dialog.setText(rev_ids::PropSpeedField, formatInteger(figures.propSpeed, 4));
    }

    void endWait() {
        m_dialog.setText(rev_ids::PropSpeedLabel, propSpeedLabel);
        setButtonsEnabled(true);
        m_dialog.setText(rev_ids::PropSpeedField, " ");
        host().beep();
        host().repaint(m_dialog);
        // Held in reset, the controller keeps the motor still.
        adapter::SerialLines(m_ctx.link).setReset(false);
    }

    void endMeasurement() {
        setButtonsEnabled(true);
        for (ui::ControlId id : {rev_ids::RatePerMinuteField, rev_ids::FrequencyField,
                                 rev_ids::MotorSpeedField, rev_ids::PropSpeedField}) {
            m_dialog.setText(id, " ");
        }
        adapter::SerialLines(m_ctx.link).setReset(false);
        host().beep();
        host().repaint(m_dialog);
    }

    SettingsContext& m_ctx;
    adapter::Clock& m_clock;
    ui::Dialog& m_dialog;
    bool m_stopped = false;
    int m_readsSincePoll = 0;
    std::uint32_t m_lastPollTick = 0;
};

// The steps of the opening that talk to the controller; Done, or the outcome after
// their message.
ui::Outcome controllerReadyForRevs(SettingsContext& ctx) {
    adapter::startController(ctx.link, adapter::StartForm::Standard);
    const Connection connection = connect(ctx.link, Reprobe::Always);
    if (connection == Connection::NoAdapter) {
        reportAdapterFailure(ctx.link, &ctx.mainDialog);
        return ui::Outcome::Failed;
    }
    if (connection != Connection::Ready) {
        reportNotReady(ctx.link, connection);
        return ui::Outcome::Failed;
    }
    ctx.lockByte =
        static_cast<std::uint8_t>(clink::readSetupByte(ctx.link, address::lockFlags) & 0xFF);
    // The test program would drive the motor itself while the pilot measures.
    if ((ctx.lockByte & lock::testProgramFree) != 0) {
        ctx.link.host.messageBox(nullptr, "nur mögl. wenn Testprogramm gesperrt",
                                 texts::ErrorBangCaption);
        clink::clearStatus(ctx.link);
        return ui::Outcome::Refused;
    }
    return ui::Outcome::Done;
}

}  // namespace

ui::Outcome openRevCounter(SettingsContext& ctx) {
    if (!ctx.image.valuesRead()) {
        return refuseBeforeRead(ctx);
    }
    if (ctx.image.controllerVersion < firstRevCounterVersion) {
        ctx.link.host.messageBox(nullptr, "Verfügbar ab V10.11", texts::ErrorBangCaption);
        return ui::Outcome::Refused;
    }
    if (const ui::Outcome ready = controllerReadyForRevs(ctx); ready != ui::Outcome::Done) {
        return ready;
    }

    ui::Dialog dialog(resources::revCounterDialogTemplate());
    RevCounterDialog revCounter(ctx, dialog);
    return runSubDialog(
        ctx, dialog, [&revCounter] { revCounter.onInit(); },
        [&revCounter](ui::ControlId id) { return revCounter.onCommand(id); });
}

}  // namespace settings
