#include "adapter/adapter.h"
#include "controller/connect.h"
#include "controller/identity.h"
#include "link/link.h"
#include "resources/texts.h"
#include "update/file_name.h"
#include "update/procedure_steps.h"

namespace update {

namespace {

using namespace controller;

constexpr std::string_view noSetupQuestion =
    "Kompatibilität nicht überprüfbar, da kein RC-Setup gemacht wurde.\n"
    "Es wird dringend empfohlen ein Setup zu machen.\n"
    "Update trotzdem ohne Setup starten?";

// A lost connection: the controller must be read again before anything trusts its version.
ui::Outcome endWithoutController(UpdateContext& ctx) {
    ctx.controllerVersion = noSetupVersion;
    endWithNoConnection(ctx.link);
    return ui::Outcome::Failed;
}

}  // namespace

ui::Outcome enterBootloader(UpdateContext& ctx) {
    adapter::LinkContext& link = ctx.link;
    const Connection connection = connect(link, Reprobe::WhenNotReady);
    if (connection == Connection::NoAdapter) {
        link.host.messageBox(link.mainWindow, link.messageText, texts::ErrorCaption);
        clink::setStatusEnabled(link, false);
        clink::repaintMain(link);
        return ui::Outcome::Failed;
    }
    if (connection != Connection::Ready) {
        return endWithoutController(ctx);
    }
    clink::setStatusEnabled(link, true);
    clink::setStatusText(link, "connecting....");
    clink::repaintMain(link);
    adapter::startController(link, adapter::StartForm::Update);
    const int answer = clink::probeExchange(link);
    if (answer == clink::answerOtherDevice) {
        showBox(ctx, texts::NotThisController, texts::ErrorUpperCaption);
        return ui::Outcome::Failed;
    }
    if (answer != clink::answerReady) {
        link.messageText = "No connection!";
        clink::setStatusText(link, " ");
        clink::setStatusEnabled(link, false);
        clink::errorTail(link);
        return ui::Outcome::Failed;
    }
    clink::setStatusText(link, "connected");
    clink::repaintMain(link);
    return ui::Outcome::Done;
}

ui::Outcome acceptVersion(UpdateContext& ctx, std::string& question) {
    const std::int32_t version = readVersion(ctx.link).version();
    // Version bytes read over a vanished port are noise: nothing is judged or stored.
    if (adapter::linesFailed(ctx.link)) {
        return endWithoutController(ctx);
    }
    ctx.controllerVersion = version;
    if (version == noSetupVersion) {
        question = noSetupQuestion;
        return ui::Outcome::Done;
    }
    if (!knownFamily(version)) {
        showBox(ctx, texts::GetCompatibleProgram, texts::ErrorUpperCaption);
        ctx.controllerVersion = noSetupVersion;
        return ui::Outcome::Refused;
    }
    if (!versionsFromFileName(ctx.state.updateFileName).fits(version)) {
        showBox(ctx, "Datei nicht kompatibel!");
        clink::clearStatus(ctx.link);
        return ui::Outcome::Refused;
    }
    question = "Update starten?";
    return ui::Outcome::Done;
}

}  // namespace update
