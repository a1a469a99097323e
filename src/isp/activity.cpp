// The serial-programming progress line in the status field.
#include <algorithm>

#include "isp/isp_access.h"
#include "link/link.h"

namespace isp {

namespace {

// The blanks overwrite whatever longer text the field showed before.
constexpr std::size_t trailingBlanks = 80;
// What may stand before the blanks so that they and the terminating zero still fit.
constexpr std::size_t longestActivityText = activityTextSize - trailingBlanks - 1;

bool isControl(char c) {
    return static_cast<unsigned char>(c) < 0x20;
}
bool isUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

void setActivityText(IspState& state, std::string_view text) {
    const std::size_t length = std::min(text.size(), activityTextSize - 1);
    std::copy_n(text.begin(), length, state.activityText.begin());
    state.activityText[length] = '\0';
}

void showActivity(IspContext& ctx) {
    auto& buffer = ctx.state.activityText;
    std::size_t end = 0;
    while (end < longestActivityText && !isControl(buffer[end])) {
        ++end;
    }
    // A text too long for the buffer is cut, but never inside a UTF-8 character.
    if (end == longestActivityText) {
        while (end > 0 && isUtf8Continuation(buffer[end])) {
            --end;
        }
    }
    std::fill_n(buffer.begin() + static_cast<std::ptrdiff_t>(end), trailingBlanks, ' ');
    buffer[end + trailingBlanks] = '\0';
    clink::setStatusText(ctx.link, std::string_view(buffer.data(), end + trailingBlanks));
    clink::repaintMain(ctx.link);
}

}  // namespace isp
