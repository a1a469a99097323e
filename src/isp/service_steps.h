// The opening the two processor-service commands share.
#pragma once

#include "isp/isp.h"
#include "ui/outcome.h"

namespace isp {

// texts::Connecting, the adapter test, the status field cleared, ispConnect. Done, or
// Failed after the failure was reported (the processor may stay held in reset).
ui::Outcome enterProgrammingMode(IspContext& ctx);

}  // namespace isp
