// The activity line: text up to its first control character, 80 blanks after it, never
// past the end of its buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "isp/isp_access.h"
#include "recorded_isp.h"

namespace isp {
namespace {

using testing::RecordedIsp;

const std::string blanks(80, ' ');

std::string shown(RecordedIsp& isp, const std::string& text) {
    setActivityText(isp.state, text);
    showActivity(isp.ctx);
    return isp.status();
}

TEST(ShowActivity, ShowsTheTextBeforeTheLineBreakFollowedByEightyBlanks) {
    RecordedIsp isp;
    EXPECT_EQ(shown(isp, "connecting....\n"), "connecting...." + blanks);
    EXPECT_EQ(isp.rig.host.repaints, 1);
    EXPECT_EQ(std::strlen(isp.state.activityText.data()), 14u + 80u);
}

TEST(ShowActivity, StopsAtAnyControlCharacterButKeepsLettersAboveAscii) {
    RecordedIsp isp;
    EXPECT_EQ(shown(isp, "a\tb"), "a" + blanks);
    EXPECT_EQ(shown(isp, ""), blanks);
    EXPECT_EQ(shown(isp, "Gerät\r\n"), "Gerät" + blanks);
}

TEST(ShowActivity, CutsATextTooLongForTheBufferInsteadOfWritingPastIt) {
    RecordedIsp isp;
    const std::string longest(123, 'x');
    EXPECT_EQ(shown(isp, longest), longest + blanks);
    EXPECT_EQ(shown(isp, std::string(500, 'y')), std::string(123, 'y') + blanks);
    EXPECT_EQ(isp.state.activityText.back(), '\0');
    // Never half a character: "ä" would straddle the cut.
    EXPECT_EQ(shown(isp, std::string(122, 'z') + "ä"), std::string(122, 'z') + blanks);
}

TEST(ShowActivity, WithoutAMainWindowOnlyTheBufferChanges) {
    RecordedIsp isp;
    isp.rig.ctx.mainWindow = nullptr;
    setActivityText(isp.state, "connecting....\n");
    showActivity(isp.ctx);
    EXPECT_EQ(std::string(isp.state.activityText.data()), "connecting...." + blanks);
    EXPECT_EQ(isp.rig.host.repaints, 0);
}

}  // namespace
}  // namespace isp
