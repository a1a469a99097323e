#include "isp/isp.h"

namespace isp {

void calibrateOscillator(IspContext&) {}
void showControllerInfo(IspContext&) {}

}  // namespace isp
