#include "isp/service_steps.h"

#include "controller/connect.h"
#include "isp/isp_access.h"

namespace isp {

ui::Outcome enterProgrammingMode(IspContext& ctx) {
    if (!controller::startConnecting(ctx.link, ctx.link.mainWindow)) {
        return ui::Outcome::Failed;
    }
    clink::clearStatus(ctx.link);
    if (ispConnect(ctx) != IspConnection::Connected) {
        // The activity line said "connecting...."; the field ends blank as after any failure.
        controller::reportNotReady(ctx.link, controller::Connection::NoAnswer);
        return ui::Outcome::Failed;
    }
    return ui::Outcome::Done;
}

}  // namespace isp
