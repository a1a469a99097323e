// The connect step every controller command starts with, and the way each of its
// failures is told.
#pragma once

#include "adapter/link_context.h"
#include "link/link.h"
#include "ui/outcome.h"

namespace controller {

using clink::Connection;

// Whether a first probe that found the controller ready is followed by a second one.
enum class Reprobe { Always, WhenNotReady };

// After a first probe that answered firstAnswer: when the controller was not ready, the
// adapter test and a start; then the probe again. NoAdapter leaves the reason in messageText.
[[nodiscard]] Connection connectAfterProbe(adapter::LinkContext& link, int firstAnswer,
                                           Reprobe reprobe);
// The probe first, then connectAfterProbe.
[[nodiscard]] Connection connect(adapter::LinkContext& link, Reprobe reprobe);

// texts::Connecting in the status field and the adapter test; false after the adapter
// failure was reported (box owned by owner).
[[nodiscard]] bool startConnecting(adapter::LinkContext& link, const ui::Dialog* owner);

// The reason the adapter test left, in a box owned by owner; the status field cleared.
void reportAdapterFailure(adapter::LinkContext& link, const ui::Dialog* owner);
// A controller of another kind or none: told without owner, the status field cleared.
void reportNotReady(adapter::LinkContext& link, Connection connection);
// texts::NoConnection through the shared failure ending.
void endWithNoConnection(adapter::LinkContext& link);

// Ready is Done; anything else failed.
constexpr ui::Outcome outcomeOf(Connection connection) {
    return connection == Connection::Ready ? ui::Outcome::Done : ui::Outcome::Failed;
}

}  // namespace controller
