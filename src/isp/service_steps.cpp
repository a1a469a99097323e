#include "isp/service_steps.h"

#include "adapter/adapter.h"
#include "isp/isp_access.h"
#include "link/link.h"

namespace isp {

namespace {

void showConnecting(adapter::LinkContext& ctx) {
    clink::setStatusEnabled(ctx, true);
    clink::setStatusText(ctx, "verbinden....");
    clink::repaintMain(ctx);
}

// detectAdapter; on failure the reason in a box owned by the main dialog.
int detectAdapterOrReport(adapter::LinkContext& ctx) {
    if (adapter::detectAdapter(ctx) == 0) {
        return 0;
    }
    reportAdapterFailure(ctx);
    return 1;
}

}  // namespace

void reportAdapterFailure(adapter::LinkContext& ctx) {
    ctx.host.messageBox(ctx.mainWindow, ctx.messageText, "Error");
    clearStatus(ctx);
}

bool enterProgrammingMode(IspContext& ctx) {
    showConnecting(ctx.link);
    if (detectAdapterOrReport(ctx.link) != 0) {
        return false;
    }
    clearStatus(ctx.link);
    if (ispConnect(ctx) != 0) {
        // The activity line said "connecting...."; the field ends blank as after any failure.
        reportNoConnection(ctx.link);
        return false;
    }
    return true;
}

void clearStatus(adapter::LinkContext& ctx) {
    clink::setStatusText(ctx, " ");
    clink::setStatusEnabled(ctx, false);
    clink::repaintMain(ctx);
}

void reportNoConnection(adapter::LinkContext& ctx) {
    ctx.host.messageBox(nullptr, "Keine Verbindung!", "ERROR!");
    clearStatus(ctx);
}

void reportOtherDevice(adapter::LinkContext& ctx) {
    ctx.host.messageBox(nullptr, "angeschlossenes Gerät ist kein ZEK-Micro!", "ERROR!");
    clearStatus(ctx);
}

}  // namespace isp
