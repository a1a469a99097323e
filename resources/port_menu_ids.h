// The items the program adds to the main menu's "Port" menu (156), beside the template's.
#pragma once

#include "ui/dialog_template.h"

namespace ids {

inline constexpr ui::ControlId VirtualControllerItem = 1163;  // the virtual controller
inline constexpr ui::ControlId CheckPortItem = 1245;          // "Port prüfen…", the last item
inline constexpr ui::ControlId FirstFoundPortItem = 1400;     // the discovered ports, 1400 … 1499
inline constexpr int MaxFoundPortItems = 100;
// The "Port" pop-up is the second of the bar.
inline constexpr int PortPopupIndex = 1;

}  // namespace ids
