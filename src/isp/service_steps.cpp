#include "isp/service_steps.h"

#include "adapter/adapter.h"
#include "isp/isp_access.h"
#include "link/link.h"

namespace isp {

namespace {

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
    clink::clearStatus(ctx);
}

bool enterProgrammingMode(IspContext& ctx) {
    clink::showStatus(ctx.link, "verbinden....");
    if (detectAdapterOrReport(ctx.link) != 0) {
        return false;
    }
    clink::clearStatus(ctx.link);
    if (ispConnect(ctx) != 0) {
        // The activity line said "connecting...."; the field ends blank as after any failure.
        reportNoConnection(ctx.link);
        return false;
    }
    return true;
}

void reportNoConnection(adapter::LinkContext& ctx) {
    ctx.host.messageBox(nullptr, "Keine Verbindung!", "ERROR!");
    clink::clearStatus(ctx);
}

void reportOtherDevice(adapter::LinkContext& ctx) {
    ctx.host.messageBox(nullptr, "angeschlossenes Gerät ist kein ZEK-Micro!", "ERROR!");
    clink::clearStatus(ctx);
}

}  // namespace isp
