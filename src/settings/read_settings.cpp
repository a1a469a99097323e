// "Lesen" and the two model-memory reads: connect, check the controller's identity, then
// hand over to showAreaSettings.
#include <string>

#include "adapter/adapter.h"
#include "link/link.h"
#include "resources/main_dialog_ids.h"
#include "settings/command_steps.h"
#include "settings/conversions.h"
#include "settings/read_steps.h"
#include "settings/setup_map.h"

namespace settings {

namespace {

constexpr std::string_view notSetUpText = "Erst nach Setup mit Fernsteuerung verfügbar!";
constexpr std::string_view noConnectionText = "Keine Verbindung!";

bool isMemory(SettingsArea area) {
    return area != SettingsArea::Current;
}

// Restart the controller and probe; on a wrong answer test the adapter and try once more.
bool connect(SettingsContext& ctx) {
    adapter::startController(ctx.link, adapter::StartForm::Standard);
    switch (clink::reconnect(ctx.link, clink::probeExchange(ctx.link))) {
        case clink::Connection::Ready:
            return true;
        case clink::Connection::NoAdapter:
            showOwnedMessage(ctx, ctx.link.messageText, "Error");
            clink::clearStatus(ctx.link);
            return false;
        case clink::Connection::OtherDevice:
            ctx.link.host.messageBox(nullptr, "angeschlossenes Gerät ist kein ZEK-Micro!",
                                     "ERROR!");
            clink::clearStatus(ctx.link);
            return false;
        case clink::Connection::NoAnswer:
            break;
    }
    failThroughErrorTail(ctx, noConnectionText);
    return false;
}

// Answers read over a vanished port mean nothing; such a read must not look valid.
bool linesLost(SettingsContext& ctx) {
    if (!adapter::linesFailed(ctx.link)) {
        return false;
    }
    ctx.image.controllerVersion = versionInvalid;
    failThroughErrorTail(ctx, noConnectionText);
    return true;
}

// Identity bytes read over a vanished port are noise: say so instead of judging them.
void refuseIdentity(SettingsContext& ctx, std::string_view message) {
    if (!linesLost(ctx)) {
        failThroughErrorTail(ctx, message);
    }
}

// Marker, version, family, capabilities and required setup-program level.
bool checkIdentity(SettingsContext& ctx) {
    SetupImage& image = ctx.image;
    if (clink::readSetupByte(ctx.link, address::setupMarker) != setupMarkerValue) {
        refuseIdentity(ctx, notSetUpText);
        return false;
    }
    const int versionHigh = clink::readSetupByte(ctx.link, address::versionHigh);
    std::string versionText = "V " + formatHex2(versionHigh) + ".";
    image.controllerVersion = versionHigh * 256;
    const int versionLow = clink::readSetupByte(ctx.link, address::versionLow);
    versionText += formatHex2(versionLow);
    image.controllerVersion += versionLow;
    if (image.controllerVersion == versionErased) {
        refuseIdentity(ctx, notSetUpText);
        return false;
    }
    if (image.versionFamily() != familyOne && image.versionFamily() != familyThree) {
        image.controllerVersion = versionInvalid;
        refuseIdentity(ctx, "Bitte kompatibles Setup-Programm downloaden!");
        return false;
    }
    image.capabilityFlags = clink::readSetupByte(ctx.link, address::capabilityFlags);
    versionText += "-" + formatHex2(image.capabilityFlags);
    ctx.mainDialog.setText(ids::VersionField, versionText);
    if (clink::readSetupByte(ctx.link, address::requiredSetupLevel) > setupProgramLevel) {
        image.controllerVersion = versionInvalid;
        refuseIdentity(ctx, "Bitte aktuelles Setup-Programm downloaden!");
        return false;
    }
    return true;
}

bool checkMemoryFilled(SettingsContext& ctx, SettingsArea area) {
    if (ctx.image.versionLevel() < minimumMemoryLevel) {
        refuseIdentity(ctx, "Funktion bei dieser Controllerversion nicht verfügbar!");
        return false;
    }
    const int frequencyAddress = mirroredAddress(area, Mirrored::SwitchingFrequency);
    if (clink::readSetupByte(ctx.link, frequencyAddress) == memoryEmpty) {
        refuseIdentity(
            ctx, area == SettingsArea::Memory1 ? "Modellspeicher1 leer" : "Modellspeicher2 leer");
        return false;
    }
    return true;
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

void readSettings(SettingsContext& ctx, SettingsArea area) {
    if (ctx.link.port.kind != adapter::PortKind::Serial) {
        ctx.link.host.messageBox(nullptr, "  PORT ?", "ERROR!");
        return;
    }
    clink::showStatus(ctx.link, "verbinden....");
    if (adapter::detectAdapter(ctx.link) != 0) {
        showOwnedMessage(ctx, ctx.link.messageText, "Error");
        clink::clearStatus(ctx.link);
        return;
    }
    if (clink::probeBootloader(ctx.link) != 0) {
        return;
    }
    if (isMemory(area)) {
        clink::showStatus(
            ctx.link, area == SettingsArea::Memory1 ? "Speicher1 lesen..." : "Speicher2 lesen...");
        if (!ctx.image.valuesRead()) {
            refuseBeforeRead(ctx);
            clink::clearStatus(ctx.link);
            return;
        }
        blankCurrentOnlyControls(ctx.mainDialog, "");
    } else {
        clink::showStatus(ctx.link, "lesen.....");
        enableCurrentOnlyControls(ctx.mainDialog);
    }
    if (!connect(ctx) || !checkIdentity(ctx)) {
        return;
    }
    if (isMemory(area) && !checkMemoryFilled(ctx, area)) {
        return;
    }
    clink::setStatusText(ctx.link, " ");
    clink::repaintMain(ctx.link);
    showAreaSettings(ctx, area);
    if (linesLost(ctx)) {
        return;
    }
    clink::setStatusText(ctx.link, "OK");
    if (!isMemory(area)) {
        ctx.mainDialog.setEnabled(ids::WriteButton, true);
    }
    ctx.link.host.beep();
    clink::setStatusEnabled(ctx.link, false);
    clink::repaintMain(ctx.link);
}

}  // namespace settings
