#include "settings/command_steps.h"

#include <string>

#include "link/link.h"
#include "resources/main_dialog_ids.h"

namespace settings {

void failThroughErrorTail(SettingsContext& ctx, std::string_view message) {
    ctx.link.messageText = std::string(message);
    clink::errorTail(ctx.link);
}

void refuseBeforeRead(SettingsContext& ctx) {
    ctx.link.host.messageBox(nullptr, readFirstText, "Error!");
}

void showOwnedMessage(SettingsContext& ctx, std::string_view message, std::string_view caption) {
    ctx.link.host.messageBox(&ctx.mainDialog, message, caption);
}

void blankCurrentOnlyControls(ui::Dialog& dialog, std::string_view maxFrequencyText) {
    using namespace ids;
    dialog.setEnabled(WriteButton, false);
    for (ui::ControlId id : {ToleranceSmallRadio, ToleranceMediumRadio, ToleranceHighRadio,
                             RpmControlCheck, ForwardReverseCheck}) {
        dialog.setEnabled(id, false);
        dialog.setChecked(id, false);
    }
    dialog.setText(MaxFrequencyField, std::string(maxFrequencyText));
    dialog.setEnabled(MaxFrequencyField, false);
    dialog.setText(ControlSpeedField, "");
    dialog.setEnabled(ControlSpeedField, false);
    for (ui::ControlId id : {TransmitterFailureCounter, OverTemperatureCounter, UnderVoltageCounter,
                             BlockedMotorCounter}) {
        dialog.setEnabled(id, false);
    }
    for (ui::ControlId id : {FullThrottleField, NeutralField, StopField, TransmitterFailureCounter,
                             OverTemperatureCounter, UnderVoltageCounter, BlockedMotorCounter}) {
        dialog.setText(id, "");
    }
}

}  // namespace settings
