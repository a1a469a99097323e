// "zek-cli --list-ports": every serial port found, with what it is. Opens nothing.
#pragma once

#include <ostream>
#include <vector>

#include "adapter/port_discovery.h"

namespace cli {

// One port a line (device, by-id link, description, what its driver means), or with
// json an array of objects with every field.
void printPortList(const std::vector<adapter::DiscoveredPort>& ports, std::ostream& out, bool json);

}  // namespace cli
