#include <gtest/gtest.h>

#include "adapter/testing/recording_lines.h"
#include "link/link.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"

namespace clink {
namespace {

using adapter::testing::RecordingRig;

TEST(ErrorTail, BlanksShowsAndDisablesTheStatusField) {
    RecordingRig rig;
    ui::Dialog mainWindow(resources::mainDialogTemplate());
    rig.ctx.mainWindow = &mainWindow;
    mainWindow.setText(ids::StatusField, "verbinden....");
    mainWindow.setEnabled(ids::StatusField, false);
    bool enabledAtFirstRepaint = false;
    rig.host.onRepaint = [&](ui::Dialog& dialog) {
        if (rig.host.repaints == 1) {
            enabledAtFirstRepaint = dialog.enabled(ids::StatusField);
        }
    };
    rig.messageText = "No Adaptor found at COM3\n";
    errorTail(rig.ctx);
    EXPECT_TRUE(enabledAtFirstRepaint);
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text, "No Adaptor found at COM3\n");
    EXPECT_EQ(rig.host.messages[0].caption, "Error");
    EXPECT_EQ(rig.host.messages[0].ownerId, ids::MainDialog);
    EXPECT_EQ(mainWindow.text(ids::StatusField), " ");
    EXPECT_FALSE(mainWindow.enabled(ids::StatusField));
    EXPECT_EQ(rig.host.repaints, 2);
}

TEST(ErrorTail, WithoutAMainWindowOnlyTheBoxIsShown) {
    RecordingRig rig;
    rig.messageText = "COM-Init-Error!";
    setStatusText(rig.ctx, "OK");
    setStatusEnabled(rig.ctx, true);
    repaintMain(rig.ctx);
    errorTail(rig.ctx);
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].ownerId, 0);
    EXPECT_EQ(rig.host.repaints, 0);
}

}  // namespace
}  // namespace clink
