// Serial programming access to the controller's processor, and the two menu commands
// built on it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "adapter/link_context.h"

namespace isp {

inline constexpr std::size_t activityTextSize = 204;

struct IspState {
    std::string deviceInfoText;
    std::array<char, activityTextSize> activityText{};
};

struct IspContext {
    adapter::LinkContext& link;
    IspState& state;
};

// "RC-Oszillator kalibieren" (1208).
void calibrateOscillator(IspContext& ctx);
// "Prozessor-Info" (1225).
void showControllerInfo(IspContext& ctx);

}  // namespace isp
