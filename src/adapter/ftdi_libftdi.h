// The FTDI chips on the machine's USB buses through libftdi1 (built where it is found).
#pragma once

#include <memory>

#include "adapter/ftdi_device.h"

namespace adapter::ftdi {

[[nodiscard]] std::unique_ptr<FtdiBus> makeLibftdiBus();

}  // namespace adapter::ftdi
