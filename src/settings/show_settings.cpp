// Decoding the setup bytes of one area into the main dialog's controls, in the order the
// controller is read.
#include <string>

#include "controller/setup_map.h"
#include "link/link.h"
#include "resources/main_dialog_ids.h"
#include "settings/command_steps.h"
#include "settings/conversions.h"
#include "settings/read_steps.h"

namespace settings {

using namespace controller;

namespace {

using namespace ids;

class AreaReader {
  public:
    AreaReader(SettingsContext& ctx, SettingsArea area)
        : m_ctx(ctx), m_area(area), m_dialog(ctx.mainDialog), m_image(ctx.image) {}

    void run() {
        m_image.clockMHz = read(address::clockMHz);
        if (current()) {
            showPulseTimes();
        }
        showOptionsAndTiming();
        showSwitchingFrequency();
        showFeatureChecks();
        showBrake();
        showBlockedMotor();
        showRpmControl();
        showUnderVoltage();
        m_dialog.setChecked(OverTemperatureCheck,
                            read(mirrored(Mirrored::OverTemperature)) == overTemperatureOn);
        if (current()) {
            m_dialog.setText(ControlSpeedField, formatInteger(read(address::controlSpeed), 3));
        }
        m_dialog.setText(StartPowerField, formatInteger(read(mirrored(Mirrored::StartPower)), 3));
        if (current()) {
            showToleranceAndCounters();
        }
        if (m_image.versionFamily() == familyThree) {
            applyFamilyThreeRules();
        }
    }

  private:
    bool current() const { return m_area == SettingsArea::Current; }
    bool capable(int bit) const { return (m_image.capabilityFlags & bit) != 0; }
    bool option(int bit) const { return (m_image.optionFlags & bit) != 0; }
    int mirrored(Mirrored field) const { return mirroredAddress(m_area, field); }
    int read(int address) { return readKnownByte(m_ctx, address); }
    // High byte first, whichever address it lives at.
    int readWord(int highAddress, int lowAddress) {
        const int high = read(highAddress);
        return high * 256 + read(lowAddress);
    }

    void showPulseTimes() {
        const int fullThrottle = readWord(address::fullThrottleHigh, address::fullThrottleLow);
        const int neutral = readWord(address::neutralHigh, address::neutralLow);
        const int stop = readWord(address::stopHigh, address::stopLow);
        m_dialog.setText(FullThrottleField, storedPulseToText(fullThrottle));
        m_dialog.setText(NeutralField, storedNeutralToText(neutral));
        m_dialog.setText(StopField, storedPulseToText(stop));
    }

    void showOptionsAndTiming() {
        m_image.optionFlags = read(mirrored(Mirrored::OptionFlags));
        const int timingByte = read(mirrored(Mirrored::Timing));
        m_image.timingCode = timingByte;
        m_dialog.setSelection(TimingList,
                              timingByteToIndex(timingByte, option(option::fixedTiming)));
    }

    void showSwitchingFrequency() {
        m_dialog.setEnabled(Frequency156Radio, capable(capability::frequency156));
        const int code = read(mirrored(Mirrored::SwitchingFrequency));
        m_dialog.setChecked(Frequency78Radio, false);
        m_dialog.setChecked(Frequency156Radio, false);
        if (m_image.clockMHz == 16 && code == frequencyCode9) {
            m_dialog.setChecked(Frequency156Radio, true);
        } else if (m_image.clockMHz == 16 && code == frequencyCode10) {
            m_dialog.setChecked(Frequency78Radio, true);
        } else if (m_image.clockMHz == 8 && code == frequencyCode9) {
            m_dialog.setChecked(Frequency78Radio, true);
        }
    }

    void showFeatureChecks() {
        m_dialog.setEnabled(ActiveFreewheelCheck, capable(capability::activeFreewheel));
        m_dialog.setChecked(ActiveFreewheelCheck, option(option::activeFreewheel));
        if (current()) {
            m_dialog.setEnabled(ForwardReverseCheck, capable(capability::forwardReverse));
            m_dialog.setChecked(ForwardReverseCheck, option(option::forwardReverse));
        }
        m_dialog.setChecked(RpmLimitCheck, option(option::rpmLimit));
    }

    void showBrake() {
        // A strength the list does not hold selects nothing.
        const int index = option(option::brake) ? read(mirrored(Mirrored::BrakeStrength)) : 0;
        m_dialog.setSelection(BrakeList, index);
    }

    void showBlockedMotor() {
        const bool present = capable(capability::blockedMotor);
        m_dialog.setEnabled(BlockedMotorCheck, present);
        if (current() || !present) {
            m_dialog.setEnabled(BlockedMotorCounter, present);
        }
        m_dialog.setChecked(BlockedMotorCheck, option(option::blockedMotor));
    }

    void showRpmControl() {
        if (current()) {
            m_dialog.setEnabled(RpmControlCheck, capable(capability::rpmControl));
            m_image.rpmPeriod = readWord(address::rpmPeriodHigh, address::rpmPeriodLow);
            if (option(option::rpmControl)) {
                m_dialog.setChecked(RpmControlCheck, true);
                const int hz = limitFrequency(m_image.rpmPeriod, m_image.clockMHz);
                // Without the marker the period was not stored by us: the field keeps its text.
                if (read(address::rpmMarker) == rpmMarkerValue) {
                    m_dialog.setText(MaxFrequencyField, formatInteger(hz, 4));
                }
                return;
            }
        }
        m_dialog.setChecked(RpmControlCheck, false);
        m_dialog.setText(MaxFrequencyField, "    ");
        m_dialog.setEnabled(MaxFrequencyField, false);
    }

    void showUnderVoltage() {
        const int mode = read(mirrored(Mirrored::UnderVoltageMode));
        m_dialog.setChecked(IgnoreRadio, false);
        m_dialog.setChecked(ReducePowerRadio, false);
        m_dialog.setChecked(SwitchOffRadio, false);
        if (mode == ignoreMode) {
            m_dialog.setChecked(IgnoreRadio, true);
            m_dialog.setChecked(CellVoltageCheck, false);
            m_dialog.setEnabled(CellVoltageCheck, false);
            m_dialog.setText(VoltsField, "");
            m_dialog.setEnabled(VoltsField, false);
        } else if (mode == reduceMode || mode == switchOffMode) {
            m_dialog.setChecked(mode == reduceMode ? ReducePowerRadio : SwitchOffRadio, true);
            m_dialog.setEnabled(CellVoltageCheck, true);
        }

        m_image.thresholdCode = read(mirrored(Mirrored::Threshold));
        if (!m_dialog.checked(IgnoreRadio)) {
            if (m_image.thresholdCode == thresholdAuto) {
                m_dialog.setChecked(CellVoltageCheck, true);
                m_dialog.setText(VoltsField, "");
                m_dialog.setEnabled(VoltsField, false);
            } else {
                m_dialog.setChecked(CellVoltageCheck, false);
                m_dialog.setEnabled(VoltsField, true);
                m_dialog.setText(VoltsField, thresholdCodeToText(m_image.thresholdCode));
            }
        }
        if ((m_image.controllerVersion & 0xFF) == 1) {
            m_dialog.setEnabled(CellVoltageCheck, false);
            m_dialog.setEnabled(VoltsField, false);
        }
    }

    void showToleranceAndCounters() {
        constexpr ui::ControlId toleranceRadios[] = {ToleranceSmallRadio, ToleranceMediumRadio,
                                                     ToleranceHighRadio};
        for (ui::ControlId id : toleranceRadios) {
            m_dialog.setChecked(id, false);
        }
        const int tolerance = read(address::signalTolerance);
        if (tolerance >= 1 && tolerance <= 3) {
            m_dialog.setChecked(toleranceRadios[tolerance - 1], true);
        }
        m_dialog.setText(TransmitterFailureCounter,
                         formatInteger(read(address::logTransmitterFailures), 2));
        m_dialog.setText(OverTemperatureCounter,
                         formatInteger(read(address::logOverTemperature), 2));
        m_dialog.setText(UnderVoltageCounter, formatInteger(read(address::logUnderVoltage), 2));
        if (capable(capability::blockedMotor)) {
            m_dialog.setText(BlockedMotorCounter, formatInteger(read(address::logBlockedMotor), 2));
        }
    }

    // Nothing enables these controls and menu entries again while the program runs;
    // the two counters come back with the next current-area read.
    void applyFamilyThreeRules() {
        for (ui::ControlId id : {OverTemperatureCheck, ReducePowerRadio, SwitchOffRadio, BrakeList,
                                 OverTemperatureCounter, UnderVoltageCounter}) {
            m_dialog.setEnabled(id, false);
        }
        for (ui::ControlId id :
             {OverTemperatureCounter, UnderVoltageCounter, BlockedMotorCounter}) {
            m_dialog.setText(id, "");
        }
        for (ui::ControlId id :
             {OpenUpdateFileItem, ReadMemory1Item, ReadMemory2Item, WriteMemory1Item,
              WriteMemory2Item, LockFunctionsItem, HelpFileItem, ServicePageItem}) {
            if (m_dialog.hasMenuItem(id)) {
                m_dialog.setMenuEnabled(id, false);
            }
        }
    }

    SettingsContext& m_ctx;
    SettingsArea m_area;
    ui::Dialog& m_dialog;
    SetupImage& m_image;
};

}  // namespace

void showAreaSettings(SettingsContext& ctx, SettingsArea area) {
    AreaReader(ctx, area).run();
}

}  // namespace settings
