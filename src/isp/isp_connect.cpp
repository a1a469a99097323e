// Putting the processor into programming mode and identifying it. Three ways in, from
// the quickest: a plain reset; a reset with resynchronisation; a long reset that lets
// the controller run first, then resynchronisation.
#include "adapter/adapter.h"
#include "isp/isp_access.h"
#include "resources/texts.h"

namespace isp {

namespace {

constexpr const char* noConnection = "No Connection!\n\n";

bool echoed(const adapter::LinkState& state) {
    return (state.enableAnswer >> 8) == programmingEnableEcho;
}

bool acceptedFamily(int family) {
    return family >= firstAcceptedFamily && family <= lastAcceptedFamily;
}

IspConnection fail(IspContext& ctx, const char* reason) {
    ctx.link.messageText = std::string(reason) + ctx.state.deviceInfoText;
    ctx.link.state.ispConnected = false;
    return IspConnection::Failed;
}

// Answers read while the port was gone or the driver failed are whatever the input line
// last showed; they identify nothing.
bool linesLost(IspContext& ctx) {
    return adapter::linesFailed(ctx.link);
}

// The second and third way in: after a plain reset, then after one that lets the controller run
// for a while, each followed by resynchronisation when the echo is missing.
void enableAgain(IspContext& ctx) {
    // A processor that answered last time is only reset; resynchronising it would move
    // a framing that was right.
    adapter::resetController(ctx.link, adapter::ResetForm::Short);
    if (ispProgrammingEnable(ctx.link) != programmingEnableEcho && !ctx.link.state.ispConnected) {
        ispResync(ctx.link);
    }

    if (!echoed(ctx.link.state) && !linesLost(ctx)) {
        adapter::resetController(ctx.link, adapter::ResetForm::Long);
        adapter::resetController(ctx.link, adapter::ResetForm::Short);
        if (ispProgrammingEnable(ctx.link) != programmingEnableEcho) {
            ispResync(ctx.link);
        }
    }
}

// The signature decides: an accepted family, a locked processor (read twice to be sure),
// an erased signature, or something unknown.
IspConnection identify(IspContext& ctx) {
    adapter::LinkContext& link = ctx.link;
    adapter::LinkState& state = link.state;
    int family = ispReadSignature(ctx);
    if (linesLost(ctx)) {
        return fail(ctx, noConnection);
    }
    if (acceptedFamily(family)) {
        state.ispConnected = true;
        return IspConnection::Connected;
    }
    if (family == lockedFamily) {
        adapter::resetController(link, adapter::ResetForm::Short);
        ispProgrammingEnable(link);
        family = ispReadSignature(ctx);
        if (linesLost(ctx)) {
            return fail(ctx, noConnection);
        }
        if (family == lockedFamily) {
            link.messageText = "Device locked!\n\n" + ctx.state.deviceInfoText;
            state.ispConnected = true;
            return IspConnection::Locked;
        }
    }
    if (family == erasedFamily) {
        link.host.messageBox(nullptr, "Device Code erased!\n\n", "Warning:");
        state.ispConnected = true;
        return IspConnection::Connected;
    }
    return fail(ctx, "Unknown Device Code!\n\n");
}

}  // namespace

IspConnection ispConnect(IspContext& ctx) {
    adapter::LinkContext& link = ctx.link;
    adapter::LinkState& state = link.state;

    if (link.port.kind == adapter::PortKind::Serial && adapter::detectAdapter(link) != 0) {
        return IspConnection::Failed;
    }
    adapter::lowerLines(link);
    if (linesLost(ctx)) {
        return fail(ctx, noConnection);
    }
    setActivityText(ctx.state, "connecting....\n");
    showActivity(ctx);
    state.receiveRegister = 0;
    state.enableAnswer = 0;
    if (adapter::resetController(link, adapter::ResetForm::Short) != 0) {
        link.messageText = texts::ComInitError;
        return IspConnection::Failed;
    }
    ctx.state.deviceInfoText.clear();
    if (linesLost(ctx)) {
        return fail(ctx, noConnection);
    }

    if (ispProgrammingEnable(link) == programmingEnableEcho) {
        state.ispConnected = true;
        if (acceptedFamily(ispReadSignature(ctx)) && !linesLost(ctx)) {
            return IspConnection::Connected;
        }
    }
    if (linesLost(ctx)) {
        return fail(ctx, noConnection);
    }

    enableAgain(ctx);
    if (!echoed(state) || linesLost(ctx)) {
        return fail(ctx, noConnection);
    }
    return identify(ctx);
}

}  // namespace isp
