// Steps the two processor-service commands share: the status field around the adapter
// test, and their message boxes.
#pragma once

#include "adapter/link_context.h"
#include "isp/isp.h"

namespace isp {

// The reason detectAdapter left, in a box owned by the main dialog; status field cleared.
void reportAdapterFailure(adapter::LinkContext& ctx);
// The opening both commands share: "verbinden....", the adapter test, the status field
// cleared, ispConnect. False after the failure was reported (the processor may stay held
// in reset).
bool enterProgrammingMode(IspContext& ctx);
// "Keine Verbindung!" without owner; the status field blank and disabled.
void reportNoConnection(adapter::LinkContext& ctx);
// The probe found a controller of another kind: told without owner, status cleared.
void reportOtherDevice(adapter::LinkContext& ctx);

}  // namespace isp
