#include "settings/validate_entries.h"
#include "controller/setup_map.h"

#include <string_view>

#include "link/link.h"
#include "resources/main_dialog_ids.h"
#include "resources/texts.h"
#include "settings/command_steps.h"
#include "settings/conversions.h"

namespace settings {

using namespace controller;

namespace {

using namespace ids;

// The bounds are doubles while the typed values are floats: 1.79 typed lies below 1.79.
constexpr double fullThrottleMinMs = 1.79;
constexpr double fullThrottleMaxMs = 2.3;
constexpr double stopMinMs = 0.79;
constexpr double stopMaxMs = 1.7;
constexpr double neutralBelowFullMs = 0.25;
constexpr double neutralAboveStopMs = 0.069;
constexpr int percentMin = 1;
constexpr int percentMax = 50;
constexpr int counterMax = 255;
constexpr std::size_t numberFieldChars = 9;
constexpr std::size_t counterFieldChars = 3;

class Validator {
  public:
    Validator(SettingsContext& ctx, SettingsArea area)
        : m_ctx(ctx), m_area(area), m_dialog(ctx.mainDialog), m_image(ctx.image) {}

    std::optional<ValidatedEntries> run() {
        if (!checkPulseTimes()) {
            return std::nullopt;
        }
        if (memory()) {
            blankCurrentOnlyControls(m_dialog, "             ");
            if (m_image.versionLevel() < minimumMemoryLevel) {
                // Always a refusal here; the caller says so.
                (void)failThroughErrorTail(m_ctx, texts::NotInThisVersion, ui::Outcome::Refused);
                return std::nullopt;
            }
        }
        if (!checkRpmControlConflicts() || !checkThreshold() || !checkFrequency() ||
            !checkNumbers() || !checkUnchosen()) {
            return std::nullopt;
        }
        return m_entries;
    }

  private:
    bool memory() const { return m_area != SettingsArea::Current; }
    bool checked(ui::ControlId id) const { return m_dialog.checked(id); }

    // Early refusals leave texts::Connecting standing, as the connection is not made yet.
    bool refuseKeepingStatus(std::string_view message) {
        showOwnedMessage(m_ctx, message, texts::ErrorBangCaption);
        return false;
    }

    bool refuse(std::string_view message) {
        refuseKeepingStatus(message);
        clink::clearStatus(m_ctx.link);
        return false;
    }

    bool checkPulseTimes() {
        m_image.fullThrottleMs = parseDecimal(m_dialog.text(FullThrottleField));
        if (m_image.fullThrottleMs > fullThrottleMaxMs ||
            !(m_image.fullThrottleMs >= fullThrottleMinMs)) {
            return refuseKeepingStatus("Vollgas 1.8 - 2.3ms !");
        }
        m_image.stopMs = parseDecimal(m_dialog.text(StopField));
        if (m_image.stopMs > stopMaxMs || !(m_image.stopMs >= stopMinMs)) {
            return refuseKeepingStatus("Stopp 0.8 - 1.7ms !");
        }
        m_image.neutralMs = parseDecimal(m_dialog.text(NeutralField));
        const float belowFull = m_image.fullThrottleMs - m_image.neutralMs;
        if (!(belowFull >= neutralBelowFullMs)) {
            return refuseKeepingStatus("Neutral-Vollgas >= 0.25ms !");
        }
        const float aboveStop = m_image.neutralMs - m_image.stopMs;
        if (!(aboveStop >= neutralAboveStopMs)) {
            return refuseKeepingStatus("neutral-stop >= 0.07ms !");
        }
        m_image.neutralMs = reduceNeutral(m_image.neutralMs);
        return true;
    }

    bool checkRpmControlConflicts() {
        m_entries.brakeIndex = m_dialog.selection(BrakeList);
        if (!checked(RpmControlCheck)) {
            return true;
        }
        if (m_entries.brakeIndex != 0) {
            return refuse("Bremse bei Drehzahlregelung nicht möglich!");
        }
        if (checked(OverTemperatureCheck)) {
            return refuse("Uebertemp-Abschaltung bei Drehzahlregelung nicht möglich! ");
        }
        if (m_image.rpmPeriod == 0 || m_image.rpmPeriod > rpmPeriodMax) {
            return refuse("Werte für Drehzahlregelung fehlen!");
        }
        if (checked(SwitchOffRadio)) {
            return refuse("Unterspg-Abschaltung bei Drehzahlregelung nicht möglich! ");
        }
        return true;
    }

    bool checkThreshold() {
        if (!checked(ReducePowerRadio) && !checked(SwitchOffRadio)) {
            return true;
        }
        if (checked(CellVoltageCheck)) {
            m_image.thresholdCode = thresholdAuto;
            return true;
        }
        const float volts = parseDecimal(m_dialog.text(VoltsField));
        if (!(volts >= thresholdMinVolts && volts <= thresholdMaxVolts)) {
            return refuse("Wert 'Schwelle' 5.3V - 10.5V!");
        }
        m_image.thresholdCode = thresholdVoltsToCode(volts);
        return true;
    }

    bool checkFrequency() {
        if (checked(Frequency156Radio)) {
            if (m_image.clockMHz == 8) {
                return refuse("Takt-Frequenz bei 8MHz nicht möglich!");
            }
            m_entries.frequencyCode = frequencyCode9;
        } else if (checked(Frequency78Radio)) {
            m_entries.frequencyCode = m_image.clockMHz == 8 ? frequencyCode9 : frequencyCode10;
        }
        return true;
    }

    bool checkNumbers() {
        if (!memory()) {
            // Checked on the same nine characters that are stored: a check on only the
            // first four would pass "  150" as 15 and then write 150.
            const auto speed = parseInteger(m_dialog.text(ControlSpeedField), numberFieldChars);
            if (!speed || *speed < percentMin || *speed > percentMax) {
                return refuse("Softanlauf 1 - 50!");
            }
            m_entries.controlSpeed = *speed;
        }
        m_entries.timingIndex = m_dialog.selection(TimingList);
        if (m_entries.timingIndex < 0) {
            return refuse("Timing?");
        }
        const auto power = parseInteger(m_dialog.text(StartPowerField), numberFieldChars);
        if (!power || *power < percentMin || *power > percentMax) {
            return refuse("Leistung Anlauf 1 - 50!");
        }
        m_image.startPower = *power;
        return true;
    }

    // Choices nobody made are refused rather than stored as some default.
    bool checkUnchosen() {
        if (m_entries.brakeIndex < 0) {
            return refuse("Bremse?");
        }
        if (m_entries.frequencyCode == 0) {
            return refuse("Schaltfrequenz?");
        }
        if (checked(IgnoreRadio)) {
            m_entries.underVoltageMode = ignoreMode;
        } else if (checked(ReducePowerRadio)) {
            m_entries.underVoltageMode = reduceMode;
        } else if (checked(SwitchOffRadio)) {
            m_entries.underVoltageMode = switchOffMode;
        } else {
            return refuse("Unterspannung?");
        }
        if (memory()) {
            return true;
        }
        if (checked(ToleranceSmallRadio)) {
            m_entries.tolerance = 1;
        } else if (checked(ToleranceMediumRadio)) {
            m_entries.tolerance = 2;
        } else if (checked(ToleranceHighRadio)) {
            m_entries.tolerance = 3;
        } else {
            return refuse("Signal-Toleranz?");
        }
        return checkCounters();
    }

    // A blank counter (the family-3 read blanks some) stores 0; a number that does not
    // fit the byte is refused instead of being cut.
    bool checkCounters() {
        constexpr ui::ControlId counterFields[] = {TransmitterFailureCounter,
                                                   OverTemperatureCounter, UnderVoltageCounter,
                                                   BlockedMotorCounter};
        for (std::size_t i = 0; i < m_entries.counters.size(); ++i) {
            const auto count = parseInteger(m_dialog.text(counterFields[i]), counterFieldChars);
            const int value = count.value_or(0);
            const bool used = i + 1 < m_entries.counters.size() ||
                              (m_image.capabilityFlags & capability::blockedMotor) != 0;
            if (used && (value < 0 || value > counterMax)) {
                return refuse("Log-Datei 0 - 255!");
            }
            m_entries.counters[i] = value;
        }
        return true;
    }

    SettingsContext& m_ctx;
    SettingsArea m_area;
    ui::Dialog& m_dialog;
    SetupImage& m_image;
    ValidatedEntries m_entries;
};

}  // namespace

std::optional<ValidatedEntries> validateEntries(SettingsContext& ctx, SettingsArea area) {
    return Validator(ctx, area).run();
}

}  // namespace settings
