// What the settings controls of the main dialog do when clicked. Check boxes have
// toggled themselves before their handler runs; the radios here are switched by hand.
#include "adapter/adapter.h"
#include "controller/setup_map.h"
#include "resources/main_dialog_ids.h"
#include "settings/command_steps.h"
#include "settings/conversions.h"

namespace settings {

using namespace controller;

namespace {

using namespace ids;

ui::Outcome selectFrequency(SettingsContext& ctx, ui::ControlId chosen) {
    ui::Dialog& dialog = ctx.mainDialog;
    dialog.setChecked(Frequency78Radio, chosen == Frequency78Radio);
    dialog.setChecked(Frequency156Radio, chosen == Frequency156Radio);
    if (ctx.image.valuesRead()) {
        return ui::Outcome::Done;
    }
    const ui::Outcome refused = refuseBeforeRead(ctx);
    dialog.setChecked(chosen, false);
    return refused;
}

void selectIgnore(SettingsContext& ctx) {
    ui::Dialog& dialog = ctx.mainDialog;
    dialog.setChecked(IgnoreRadio, true);
    dialog.setChecked(ReducePowerRadio, false);
    dialog.setChecked(SwitchOffRadio, false);
    dialog.setText(VoltsField, "");
    ctx.image.thresholdCode = thresholdAuto;
    dialog.setEnabled(CellVoltageCheck, false);
    dialog.setEnabled(VoltsField, false);
}

// "abregeln" and "abschalten": a threshold out of range is left alone silently; the
// write will refuse it.
void selectVoltageAction(SettingsContext& ctx, ui::ControlId chosen) {
    ui::Dialog& dialog = ctx.mainDialog;
    dialog.setChecked(IgnoreRadio, false);
    dialog.setChecked(ReducePowerRadio, chosen == ReducePowerRadio);
    dialog.setChecked(SwitchOffRadio, chosen == SwitchOffRadio);
    dialog.setEnabled(CellVoltageCheck, true);
    if (!dialog.checked(CellVoltageCheck)) {
        const float volts = parseDecimal(dialog.text(VoltsField));
        if (volts >= thresholdMinVolts && volts <= thresholdMaxVolts) {
            ctx.image.thresholdCode = thresholdVoltsToCode(volts);
        }
    }
    const bool automatic = ctx.image.thresholdCode == thresholdAuto;
    dialog.setChecked(CellVoltageCheck, automatic);
    dialog.setEnabled(VoltsField, !automatic);
    // Version x.01 keeps a fixed threshold.
    if (ctx.image.versionLow() == 1) {
        dialog.setEnabled(CellVoltageCheck, false);
        dialog.setEnabled(VoltsField, false);
    }
}

void toggleCellVoltage(SettingsContext& ctx) {
    ui::Dialog& dialog = ctx.mainDialog;
    if (dialog.checked(CellVoltageCheck)) {
        dialog.setEnabled(VoltsField, false);
        dialog.setText(VoltsField, "");
        ctx.image.thresholdCode = thresholdAuto;
    } else {
        // thresholdCode stays automatic until a write reads the field.
        dialog.setEnabled(VoltsField, true);
    }
}

void toggleRpmControl(SettingsContext& ctx) {
    ui::Dialog& dialog = ctx.mainDialog;
    if (!dialog.checked(RpmControlCheck)) {
        dialog.setText(MaxFrequencyField, "         ");
        dialog.setEnabled(MaxFrequencyField, false);
    }
}

// Only the fields change; the controller's counters follow with the next write.
ui::Outcome resetCounters(SettingsContext& ctx) {
    ui::Dialog& dialog = ctx.mainDialog;
    if (!ctx.image.valuesRead()) {
        const ui::Outcome refused = refuseBeforeRead(ctx);
        for (ui::ControlId id : {TransmitterFailureCounter, OverTemperatureCounter,
                                 UnderVoltageCounter, BlockedMotorCounter}) {
            dialog.setText(id, "");
        }
        return refused;
    }
    for (ui::ControlId id :
         {TransmitterFailureCounter, OverTemperatureCounter, UnderVoltageCounter}) {
        dialog.setText(id, " 0");
    }
    if ((ctx.image.capabilityFlags & capability::blockedMotor) != 0) {
        dialog.setText(BlockedMotorCounter, " 0");
    }
    return ui::Outcome::Done;
}

}  // namespace

ui::Outcome handleOptionCommand(SettingsContext& ctx, ui::ControlId id) {
    switch (id) {
        case Frequency78Radio:
        case Frequency156Radio:
            return selectFrequency(ctx, id);
        case IgnoreRadio:
            selectIgnore(ctx);
            break;
        case ReducePowerRadio:
        case SwitchOffRadio:
            selectVoltageAction(ctx, id);
            break;
        case CellVoltageCheck:
            toggleCellVoltage(ctx);
            break;
        case RpmControlCheck:
            toggleRpmControl(ctx);
            break;
        case ResetCountersButton:
            return resetCounters(ctx);
        case ReleaseButton:
            adapter::startController(ctx.link, adapter::StartForm::Release);
            break;
        default:
            break;
    }
    return ui::Outcome::Done;
}

}  // namespace settings
