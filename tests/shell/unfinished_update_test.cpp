// An update that never finished, as the desktop program meets it at start-up.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "config/temp_directory.h"
#include "resources/main_dialog_ids.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/sha256.h"
#include "sim/test_rig.h"
#include "update/update_file_builder.h"

namespace {

struct Station {
    Station() {
        dir.write("qvsetup.cfg", "COM2");
        app.initDialog(dir.path());
        app.setDataFolder(std::filesystem::path(dir.file("data")));
        dir.write("A1011B1011.upd",
                  testing_support::plainUpdateFile(testing_support::consecutiveRecords(0, 3)));
    }
    void recordUnfinished() {
        ui::SystemError error;
        const auto digest = shell::sha256OfFile(file(), error);
        ASSERT_TRUE(digest) << error.describe();
        ASSERT_TRUE(app.updateRecords()
                        ->begin(file(), shell::toHex(*digest), "SIM",
                                shell::localCalendarTime(std::chrono::system_clock::now()))
                        .empty());
    }
    std::string file() const { return dir.file("A1011B1011.upd"); }

    testing_support::TempDirectory dir;
    sim::TestRig rig;
    shell::App app{rig.host(), shell::Backends{&rig.clock(), &rig.serialPorts(), &rig.portIo()},
                   shell::PlatformFlags{}};
};

TEST(UnfinishedUpdate, IsToldOnceAndItsFileStartsTheFileDialog) {
    Station s;
    shell::announceUnfinishedUpdate(s.app);
    EXPECT_TRUE(s.rig.host().messages.empty()) << "no record, nothing to say";

    s.recordUnfinished();
    shell::announceUnfinishedUpdate(s.app);
    ASSERT_EQ(s.rig.host().messages.size(), 1u);
    EXPECT_EQ(
        s.rig.host().messages[0].text.rfind("Ein Update wurde nicht beendet:\n" + s.file(), 0), 0u);
    EXPECT_EQ(s.rig.host().messages[0].buttons, ui::Buttons::OkCancel);

    // Nothing is forced: the file dialog still asks, it only starts with the file.
    (void)s.app.dispatch(ids::OpenUpdateFileItem);
    ASSERT_FALSE(s.rig.host().fileRequests.empty());
    EXPECT_EQ(s.rig.host().fileRequests.back().initialPath, s.file());
}

TEST(UnfinishedUpdate, AChangedFileIsToldAndNotOffered) {
    Station s;
    s.recordUnfinished();
    s.dir.write("A1011B1011.upd", "0000:0099\r\n");
    shell::announceUnfinishedUpdate(s.app);
    ASSERT_EQ(s.rig.host().messages.size(), 1u);
    EXPECT_NE(s.rig.host().messages[0].text.find(
                  "Die Datei des unterbrochenen Updates wurde seither verändert: " + s.file()),
              std::string::npos);
    EXPECT_EQ(s.rig.host().messages[0].buttons, ui::Buttons::Ok);
    EXPECT_TRUE(s.app.updateState().resumeFilePath.empty());
}

TEST(UnfinishedUpdate, DeclinedLeavesTheFileDialogAsItWas) {
    Station s;
    s.recordUnfinished();
    s.rig.host().answers.push_back(ui::Answer::Cancel);
    shell::announceUnfinishedUpdate(s.app);
    (void)s.app.dispatch(ids::OpenUpdateFileItem);
    ASSERT_FALSE(s.rig.host().fileRequests.empty());
    EXPECT_EQ(s.rig.host().fileRequests.back().initialPath, "");
}

}  // namespace
