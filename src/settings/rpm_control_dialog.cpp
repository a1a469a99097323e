// "Drehzahlregelung": the RPM regulation's limit and, from V10.11, its P and I terms,
// with the calculator from a desired rotor speed.
#include <optional>
#include <string>

#include "adapter/adapter.h"
#include "controller/connect.h"
#include "controller/identity.h"
#include "link/link.h"
#include "resources/main_dialog_ids.h"
#include "resources/rpm_control_dialog.h"
#include "resources/texts.h"
#include "settings/command_steps.h"
#include "settings/conversions.h"
#include "settings/motor_data_entry.h"
#include "settings/rpm_figures.h"
#include "settings/settings.h"
#include "settings/subdialog_numbers.h"

namespace settings {

namespace {

using namespace subdialogs;
using namespace controller;

constexpr std::int32_t firstRegulatorVersion = 0x1011;
constexpr int minPTerm = 1;
constexpr int maxPTerm = 10;
constexpr int minITerm = 1;
constexpr int maxITerm = 5;
constexpr int iTermBase = 6;
// Shown for a controller that holds no RPM values yet.
constexpr int defaultTerm = 3;

// Speeds and the frequency are read from at most 8 characters, the terms from 2.
constexpr std::size_t speedFieldChars = 8;
constexpr std::size_t termFieldChars = 2;
// The controller needs a moment after the fields were blanked before the first probe.
constexpr std::uint32_t settleBeforeReadMs = 100;

constexpr const char* blankSpeed = "  ";
constexpr MotorDataFields motorFields{rpm_ids::PoleCountField, rpm_ids::GearRatioField};

std::string speedText(int value) {
    return formatInteger(value, 4);
}

class RpmControlDialog {
  public:
    RpmControlDialog(SettingsContext& ctx, ui::Dialog& dialog) : m_ctx(ctx), m_dialog(dialog) {}

    void onInit() { loadAndShowMotorData(m_ctx, m_dialog, motorFields); }

    ui::Outcome onCommand(ui::ControlId id) {
        if (id == rpm_ids::EndButton || id == rpm_ids::Cancel) {
            m_dialog.end(1);
        } else if (id == rpm_ids::ReadButton) {
            return readRpmControl();
        } else if (id == rpm_ids::CalculateButton && m_dialog.enabled(id)) {
            calculateRpm();
        } else if (id == rpm_ids::WriteButton && m_dialog.enabled(id)) {
            // Writing relies on the connection a read of this opening established.
            return writeRpmControl();
        } else if (id == rpm_ids::SaveMotorDataButton) {
            return saveMotorData(m_ctx, m_dialog, motorFields);
        }
        return ui::Outcome::Done;
    }

  private:
    ui::UiHost& host() { return m_ctx.link.host; }
    bool hasRegulatorTerms() const {
        return m_ctx.image.controllerVersion >= firstRegulatorVersion;
    }
    int readByte(int address) { return clink::readSetupByte(m_ctx.link, address) & 0xFF; }

    void blankSpeeds() {
        for (ui::ControlId id : {rpm_ids::FrequencyField, rpm_ids::RatePerMinuteField,
                                 rpm_ids::MotorSpeedField, rpm_ids::RotorSpeedField}) {
            m_dialog.setText(id, blankSpeed);
        }
    }

    void showSpeeds(int perMinute) {
        const SpeedFigures figures = speedsFromRate(perMinute, m_ctx.motorData);
        m_dialog.setText(rpm_ids::FrequencyField, speedText(figures.hz));
        m_dialog.setText(rpm_ids::RatePerMinuteField, speedText(figures.perMinute));
        m_dialog.setText(rpm_ids::MotorSpeedField, speedText(figures.motorSpeed));
        m_dialog.setText(rpm_ids::RotorSpeedField, speedText(figures.rotorSpeed));
    }

    int readPeriod() {
        return readByte(address::rpmPeriodHigh) * 256 + readByte(address::rpmPeriodLow);
    }

    [[nodiscard]] bool writeByte(int address, int value) {
        if (clink::writeSetupByteChecked(m_ctx.link, address, value) == 0) {
            return true;
        }
        host().messageBox(nullptr, texts::WriteError, texts::ErrorBangCaption);
        return false;
    }

    ui::Outcome refuse(const std::string& message) {
        host().messageBox(nullptr, message, texts::ErrorBangCaption);
        return ui::Outcome::Refused;
    }

    ui::Outcome readRpmControl() {
        loadAndShowMotorData(m_ctx, m_dialog, motorFields);
        blankSpeeds();
        host().repaint(m_dialog);
        adapter::delayMs(m_ctx.link, settleBeforeReadMs);

        const Connection connection = connect(m_ctx.link, Reprobe::Always);
        if (connection == Connection::NoAdapter) {
            host().messageBox(nullptr, m_ctx.link.messageText, texts::ErrorCaption);
            return ui::Outcome::Failed;
        }
        if (connection != Connection::Ready) {
            host().messageBox(nullptr, texts::NoConnection, texts::ErrorUpperCaption);
            return ui::Outcome::Failed;
        }
        if (!setUpWithTransmitter(m_ctx.link)) {
            host().messageBox(nullptr, texts::NotSetUp, texts::ErrorUpperCaption);
            return ui::Outcome::Refused;
        }

        const int period = readPeriod();
        int hz = limitFrequency(period, m_ctx.image.clockMHz);
        if (period > unsetPeriodAbove) {
            hz = 0;
            m_ctx.image.rpmPeriod = 0;
        }
        showSpeeds(hz * 60);

        if (hasRegulatorTerms()) {
            const int pTerm = readByte(address::pTerm);
            const int storedITerm = readByte(address::iTerm);
            const bool noValues = m_ctx.image.rpmPeriod == 0;
            m_dialog.setText(rpm_ids::PTermField, formatInteger(noValues ? defaultTerm : pTerm, 2));
            m_dialog.setText(rpm_ids::ITermField,
                             formatInteger(noValues ? defaultTerm : iTermBase - storedITerm, 2));
            m_dialog.setEnabled(rpm_ids::PTermField, true);
            m_dialog.setEnabled(rpm_ids::ITermField, true);
        } else {
            m_dialog.setEnabled(rpm_ids::PTermField, false);
            m_dialog.setEnabled(rpm_ids::ITermField, false);
        }

        m_dialog.setEnabled(rpm_ids::CalculateButton, true);
        m_dialog.setEnabled(rpm_ids::WriteButton, true);
        m_dialog.setEnabled(rpm_ids::RotorSpeedField, true);
        host().repaint(m_dialog);
        host().beep();
        return ui::Outcome::Done;
    }

    void calculateRpm() {
        loadAndShowMotorData(m_ctx, m_dialog, motorFields);
        const int rotorSpeed =
            parseInteger(m_dialog.text(rpm_ids::RotorSpeedField), wholeText, speedFieldChars)
                .value_or(0);
        const CalculatedFigures figures = figuresFromRotorSpeed(rotorSpeed, m_ctx.motorData);
        m_dialog.setText(rpm_ids::MotorSpeedField, speedText(figures.motorSpeed));
        m_dialog.setText(rpm_ids::RatePerMinuteField, speedText(figures.perMinute));
        m_dialog.setText(rpm_ids::FrequencyField, speedText(figures.hz));
        host().repaint(m_dialog);
    }

    // A term typed in its field, or nothing when it is no number or outside min..max.
    std::optional<int> termInRange(ui::ControlId field, int min, int max) {
        const std::optional<int> term =
            parseInteger(m_dialog.text(field), wholeText, termFieldChars);
        if (!term || *term < min || *term > max) {
            return std::nullopt;
        }
        return term;
    }

    ui::Outcome writeRpmControl() {
        loadAndShowMotorData(m_ctx, m_dialog, motorFields);
        const std::optional<int> hz =
            parseInteger(m_dialog.text(rpm_ids::FrequencyField), wholeText, speedFieldChars);
        // The main dialog's "Schreiben" takes any non-zero value as "RPM values present".
        m_ctx.image.rpmPeriod = hz.value_or(0);
        if (hz && *hz > maxLimitFrequencyHz) {
            return refuse("max. 2500 Hz");
        }
        const int clockMHz = m_ctx.image.clockMHz;
        const std::optional<int> period = periodForFrequency(hz.value_or(0), clockMHz);
        if (!period) {
            // 0 Hz, no number or a period beyond 16 bits cannot be stored.
            return refuse("min. " + std::to_string(minimumLimitFrequency(clockMHz)) + " Hz");
        }
        // Every entry is checked before the first byte goes out, so a refused term never
        // leaves a half-written regulator behind.
        std::optional<int> pTerm;
        std::optional<int> iTerm;
        if (hasRegulatorTerms()) {
            pTerm = termInRange(rpm_ids::PTermField, minPTerm, maxPTerm);
            if (!pTerm) {
                return refuse("P: 1 - 10 !");
            }
            iTerm = termInRange(rpm_ids::ITermField, minITerm, maxITerm);
            if (!iTerm) {
                return refuse("I: 1 - 5 !");
            }
        }

        if (!writeByte(address::rpmPeriodHigh, (*period >> 8) & 0xFF) ||
            !writeByte(address::rpmPeriodLow, *period & 0xFF)) {
            return ui::Outcome::Failed;
        }
        if (pTerm && iTerm &&
            (!writeByte(address::pTerm, *pTerm) ||
             !writeByte(address::iTerm, iTermBase - *iTerm))) {
            return ui::Outcome::Failed;
        }

        blankSpeeds();
        host().repaint(m_dialog);
        showSpeeds(limitFrequency(readPeriod(), clockMHz) * 60);
        host().repaint(m_dialog);
        host().beep();
        return ui::Outcome::Done;
    }

    SettingsContext& m_ctx;
    ui::Dialog& m_dialog;
};

}  // namespace

ui::Outcome openRpmControl(SettingsContext& ctx) {
    if (!ctx.image.valuesRead()) {
        return refuseBeforeRead(ctx);
    }
    // Blank until the main dialog reads again: the limit may change in here.
    ctx.mainDialog.setText(ids::MaxFrequencyField, "   ");

    ui::Dialog dialog(resources::rpmControlDialogTemplate());
    RpmControlDialog rpmControl(ctx, dialog);
    return runSubDialog(
        ctx, dialog, [&rpmControl] { rpmControl.onInit(); },
        [&rpmControl](ui::ControlId id) { return rpmControl.onCommand(id); });
}

}  // namespace settings
