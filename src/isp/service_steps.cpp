#include "isp/service_steps.h"

#include "adapter/adapter.h"
#include "link/link.h"

namespace isp {

void showConnecting(adapter::LinkContext& ctx) {
    clink::setStatusEnabled(ctx, true);
    clink::setStatusText(ctx, "verbinden....");
    clink::repaintMain(ctx);
}

int detectAdapterOrReport(adapter::LinkContext& ctx) {
    if (adapter::detectAdapter(ctx) == 0) {
        return 0;
    }
    ctx.host.messageBox(ctx.mainWindow, ctx.messageText, "Error");
    clearStatus(ctx);
    return 1;
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
