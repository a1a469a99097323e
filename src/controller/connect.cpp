#include "controller/connect.h"

#include "adapter/adapter.h"
#include "resources/texts.h"

namespace controller {

Connection connectAfterProbe(adapter::LinkContext& link, int firstAnswer, Reprobe reprobe) {
    // A ready controller costs two bytes where the second probe is not needed.
    if (reprobe == Reprobe::WhenNotReady && firstAnswer == clink::answerReady) {
        return Connection::Ready;
    }
    return clink::reconnect(link, firstAnswer);
}

Connection connect(adapter::LinkContext& link, Reprobe reprobe) {
    return connectAfterProbe(link, clink::probeExchange(link), reprobe);
}

bool startConnecting(adapter::LinkContext& link, const ui::Dialog* owner) {
    clink::showStatus(link, texts::Connecting);
    if (adapter::detectAdapter(link) == 0) {
        return true;
    }
    reportAdapterFailure(link, owner);
    return false;
}

void reportAdapterFailure(adapter::LinkContext& link, const ui::Dialog* owner) {
    link.host.messageBox(owner, link.messageText, texts::ErrorCaption);
    clink::clearStatus(link);
}

void reportNotReady(adapter::LinkContext& link, Connection connection) {
    link.host.messageBox(
        nullptr,
        connection == Connection::OtherDevice ? texts::NotThisController : texts::NoConnection,
        texts::ErrorUpperCaption);
    clink::clearStatus(link);
}

void endWithNoConnection(adapter::LinkContext& link) {
    link.messageText = texts::NoConnection;
    clink::errorTail(link);
}

}  // namespace controller
