// Steps the two processor-service commands share: the status field around the adapter
// test, and their message boxes.
#pragma once

#include "adapter/link_context.h"

namespace isp {

// Enables the status field, shows "verbinden...." and repaints.
void showConnecting(adapter::LinkContext& ctx);
// detectAdapter; on failure the reason in a box owned by the main dialog, and the
// status field blanked and disabled. Returns detectAdapter's result.
int detectAdapterOrReport(adapter::LinkContext& ctx);
// The status field blank and disabled, repainted.
void clearStatus(adapter::LinkContext& ctx);
// "Keine Verbindung!" without owner; the status field blank and disabled.
void reportNoConnection(adapter::LinkContext& ctx);
// The probe found a controller of another kind: told without owner, status cleared.
void reportOtherDevice(adapter::LinkContext& ctx);

}  // namespace isp
