#include "adapter/adapter.h"
#include "link/link.h"
#include "update/file_name.h"
#include "update/procedure_steps.h"

namespace update {

namespace {

constexpr int versionHighAddress = 32;
constexpr int versionLowAddress = 33;
constexpr std::int32_t familyMask = 0xF000;
constexpr std::int32_t familyOne = 0x1000;
constexpr std::int32_t familyThree = 0x3000;

constexpr std::string_view noSetupQuestion =
    "Kompatibilität nicht überprüfbar, da kein RC-Setup gemacht wurde.\n"
    "Es wird dringend empfohlen ein Setup zu machen.\n"
    "Update trotzdem ohne Setup starten?";

}  // namespace

bool enterBootloader(UpdateContext& ctx) {
    adapter::LinkContext& link = ctx.link;
    const int firstAnswer = clink::probeExchange(link);
    if (firstAnswer != clink::answerReady) {
        const clink::Connection connection = clink::reconnect(link, firstAnswer);
        if (connection == clink::Connection::NoAdapter) {
            link.host.messageBox(link.mainWindow, link.messageText, "Error");
            clink::setStatusEnabled(link, false);
            clink::repaintMain(link);
            return false;
        }
        if (connection != clink::Connection::Ready) {
            link.messageText = "Keine Verbindung!";
            ctx.controllerVersion = noSetupVersion;
            clink::errorTail(link);
            return false;
        }
    }
    clink::setStatusEnabled(link, true);
    clink::setStatusText(link, "connecting....");
    clink::repaintMain(link);
    adapter::startController(link, adapter::StartForm::Update);
    const int answer = clink::probeExchange(link);
    if (answer == clink::answerOtherDevice) {
        showBox(ctx, "angeschlossenes Gerät ist kein ZEK-Micro!", "ERROR!");
        return false;
    }
    if (answer != clink::answerReady) {
        link.messageText = "No connection!";
        clink::setStatusText(link, " ");
        clink::setStatusEnabled(link, false);
        clink::errorTail(link);
        return false;
    }
    clink::setStatusText(link, "connected");
    clink::repaintMain(link);
    return true;
}

bool acceptVersion(UpdateContext& ctx, std::string& question) {
    const int high = clink::readSetupByte(ctx.link, versionHighAddress) & 0xFF;
    const int low = clink::readSetupByte(ctx.link, versionLowAddress) & 0xFF;
    ctx.controllerVersion = high * 256 + low;
    if (ctx.controllerVersion == noSetupVersion) {
        question = noSetupQuestion;
        return true;
    }
    const std::int32_t family = ctx.controllerVersion & familyMask;
    if (family != familyThree && family != familyOne) {
        showBox(ctx, "Bitte kompatibles Setup-Programm downloaden!", "ERROR!");
        ctx.controllerVersion = noSetupVersion;
        return false;
    }
    if (!versionsFromFileName(ctx.state.updateFileName).fits(ctx.controllerVersion)) {
        showBox(ctx, "Datei nicht kompatibel!");
        clink::clearStatus(ctx.link);
        return false;
    }
    question = "Update starten?";
    return true;
}

}  // namespace update
