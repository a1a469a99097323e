#include "settings/command_steps.h"

#include <string>

#include "link/link.h"
#include "resources/main_dialog_ids.h"
#include "resources/texts.h"

namespace settings {

ui::Outcome failThroughErrorTail(SettingsContext& ctx, std::string_view message,
                                 ui::Outcome outcome) {
    ctx.link.messageText = std::string(message);
    clink::errorTail(ctx.link);
    return outcome;
}

ui::Outcome refuseBeforeRead(SettingsContext& ctx) {
    ctx.link.host.messageBox(nullptr, texts::ReadFirst, texts::ErrorBangCaption);
    return ui::Outcome::Refused;
}

ui::Outcome runSubDialog(SettingsContext& ctx, ui::Dialog& dialog,
                         const std::function<void()>& onInit,
                         const ui::UiHost::CommandFunction& onCommand) {
    ui::Outcome worst = ui::Outcome::Done;
    ctx.link.host.runModal(dialog, &ctx.mainDialog, onInit, [&](ui::ControlId id) {
        const ui::Outcome outcome = onCommand(id);
        worst = ui::worseOutcome(worst, outcome);
        return outcome;
    });
    return worst;
}

int readKnownByte(SettingsContext& ctx, int address) {
    const int value = clink::readSetupByte(ctx.link, address);
    if (address >= 0 && address < settingsBytesEnd) {
        ctx.image.knownBytes[static_cast<std::size_t>(address)] = value;
    }
    return value;
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
