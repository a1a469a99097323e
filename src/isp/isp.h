// Serial programming access to the controller's processor, and the two menu commands
// built on it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "adapter/link_context.h"
#include "ui/outcome.h"

namespace isp {

inline constexpr std::size_t activityTextSize = 204;

struct IspState {
    // The signature lines of the last signature read; the info command completes them.
    std::string deviceInfoText;
    // The serial-programming progress line, zero-terminated (see showActivity).
    std::array<char, activityTextSize> activityText{};
};

struct IspContext {
    adapter::LinkContext& link;
    IspState& state;
};

// "RC-Oszillator kalibieren" (ids::CalibrateItem).
ui::Outcome calibrateOscillator(IspContext& ctx);
// "Prozessor-Info" (ids::ProcessorInfoItem).
ui::Outcome showControllerInfo(IspContext& ctx);

}  // namespace isp
