// "Lesen" and the two model-memory reads: connect, check the controller's identity, then
// hand over to showAreaSettings.
#include <string>

#include "adapter/adapter.h"
#include "controller/connect.h"
#include "controller/identity.h"
#include "link/link.h"
#include "resources/main_dialog_ids.h"
#include "resources/texts.h"
#include "settings/command_steps.h"
#include "settings/read_steps.h"

namespace settings {

namespace {

using namespace controller;

// Restart the controller and probe; on a wrong answer test the adapter and try once more.
ui::Outcome connectForRead(SettingsContext& ctx) {
    adapter::startController(ctx.link, adapter::StartForm::Standard);
    const Connection connection = connect(ctx.link, Reprobe::Always);
    switch (connection) {
        case Connection::Ready:
            break;
        case Connection::NoAdapter:
            reportAdapterFailure(ctx.link, &ctx.mainDialog);
            break;
        case Connection::OtherDevice:
            reportNotReady(ctx.link, connection);
            break;
        case Connection::NoAnswer:
            endWithNoConnection(ctx.link);
            break;
    }
    return outcomeOf(connection);
}

// Answers read over a vanished port mean nothing; such a read must not look valid.
bool linesLost(SettingsContext& ctx) {
    if (!adapter::linesFailed(ctx.link)) {
        return false;
    }
    ctx.image.controllerVersion = versionInvalid;
    endWithNoConnection(ctx.link);
    return true;
}

// Identity bytes read over a vanished port are noise: say so instead of judging them.
ui::Outcome refuseIdentity(SettingsContext& ctx, std::string_view message) {
    if (linesLost(ctx)) {
        return ui::Outcome::Failed;
    }
    return failThroughErrorTail(ctx, message, ui::Outcome::Refused);
}

// Marker, version, family, capabilities and required setup-program level.
ui::Outcome checkIdentity(SettingsContext& ctx) {
    SetupImage& image = ctx.image;
    if (!setUpWithTransmitter(ctx.link)) {
        return refuseIdentity(ctx, texts::NotSetUp);
    }
    Identity identity;
    const IdentityCheck check = readIdentity(ctx.link, identity);
    image.controllerVersion = identity.version();
    if (identity.capabilitiesRead) {
        image.capabilityFlags = identity.capabilityFlags;
        ctx.mainDialog.setText(ids::VersionField, identity.versionText());
    }
    switch (check) {
        case IdentityCheck::Accepted:
            return ui::Outcome::Done;
        case IdentityCheck::NotSetUp:
            return refuseIdentity(ctx, texts::NotSetUp);
        case IdentityCheck::OtherFamily:
            image.controllerVersion = versionInvalid;
            return refuseIdentity(ctx, texts::GetCompatibleProgram);
        case IdentityCheck::ProgramTooOld:
            image.controllerVersion = versionInvalid;
            return refuseIdentity(ctx, texts::GetCurrentProgram);
    }
    return ui::Outcome::Failed;
}

ui::Outcome checkMemoryFilled(SettingsContext& ctx, SettingsArea area) {
    if (ctx.image.versionLevel() < minimumMemoryLevel) {
        return refuseIdentity(ctx, texts::NotInThisVersion);
    }
    const int frequencyAddress = mirroredAddress(area, Mirrored::SwitchingFrequency);
    if (readKnownByte(ctx, frequencyAddress) == memoryEmpty) {
        return refuseIdentity(
            ctx, area == SettingsArea::Memory1 ? "Modellspeicher1 leer" : "Modellspeicher2 leer");
    }
    return ui::Outcome::Done;
}

void enableCurrentOnlyControls(ui::Dialog& dialog) {
    using namespace ids;
    for (ui::ControlId id :
         {ToleranceSmallRadio, ToleranceMediumRadio, ToleranceHighRadio, RpmControlCheck,
          ControlSpeedField, ForwardReverseCheck, TransmitterFailureCounter, OverTemperatureCounter,
          UnderVoltageCounter, BlockedMotorCounter}) {
        dialog.setEnabled(id, true);
    }
}

}  // namespace

ui::Outcome readSettings(SettingsContext& ctx, SettingsArea area) {
    if (ctx.link.port.kind != adapter::PortKind::Serial) {
        ctx.link.host.messageBox(nullptr, texts::PortQuery, texts::ErrorUpperCaption);
        return ui::Outcome::Refused;
    }
    if (!startConnecting(ctx.link, &ctx.mainDialog) || clink::probeBootloader(ctx.link) != 0) {
        return ui::Outcome::Failed;
    }
    const bool memory = area != SettingsArea::Current;
    if (memory) {
        clink::showStatus(
            ctx.link, area == SettingsArea::Memory1 ? "Speicher1 lesen..." : "Speicher2 lesen...");
        if (!ctx.image.valuesRead()) {
            const ui::Outcome refused = refuseBeforeRead(ctx);
            clink::clearStatus(ctx.link);
            return refused;
        }
        blankCurrentOnlyControls(ctx.mainDialog, "");
    } else {
        clink::showStatus(ctx.link, "lesen.....");
        enableCurrentOnlyControls(ctx.mainDialog);
    }
    // What an earlier read or write left is no guide to this controller.
    ctx.image.knownBytes = SetupImage::filledUnknown();
    ctx.image.restoreBytes.clear();
    ui::Outcome outcome = connectForRead(ctx);
    if (outcome == ui::Outcome::Done) {
        outcome = checkIdentity(ctx);
    }
    if (outcome == ui::Outcome::Done && memory) {
        outcome = checkMemoryFilled(ctx, area);
    }
    if (outcome != ui::Outcome::Done) {
        return outcome;
    }
    clink::setStatusText(ctx.link, " ");
    clink::repaintMain(ctx.link);
    showAreaSettings(ctx, area);
    if (linesLost(ctx)) {
        ctx.image.knownBytes = SetupImage::filledUnknown();
        return ui::Outcome::Failed;
    }
    clink::setStatusText(ctx.link, "OK");
    if (!memory) {
        ctx.mainDialog.setEnabled(ids::WriteButton, true);
    }
    ctx.link.host.beep();
    clink::setStatusEnabled(ctx.link, false);
    clink::repaintMain(ctx.link);
    return ui::Outcome::Done;
}

}  // namespace settings
