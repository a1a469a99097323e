// The "Port" menu beyond COM1 … COM8, as both desktop programs show it: the ports found on
// this machine that those items do not reach, each with what it is.
#pragma once

#include <string>
#include <vector>

#include "adapter/port_discovery.h"
#include "shell/app.h"

namespace shell {

struct FoundPortItem {
    std::string device;  // what the item opens: a by-id link or a device path; "COM12"
    std::string note;    // what it is, shown after a tab
};

// Linux: a port that no COM item reaches gets an item (under its by-id name where udev
// made one, which survives replugging); a port that a COM item reaches gets one only for
// its by-id name. Windows: the ports no COM item reaches (COM9 and above), in the order
// the system lists them, with the driver's device.
std::vector<FoundPortItem> foundPortItems(const std::vector<adapter::DiscoveredPort>& ports);

// The item that command id stands for, or nullptr.
const FoundPortItem* foundPortItem(const std::vector<FoundPortItem>& items, ui::ControlId id);

// Whether item is the port in use (its check mark).
bool foundPortInUse(App& app, const FoundPortItem& item);

}  // namespace shell
