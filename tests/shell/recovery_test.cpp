// A broken update and a broken write, as the desktop program meets them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "resources/main_dialog_ids.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "sim/procedure_rig.h"
#include "update/update_file_builder.h"

namespace {

struct Station : sim::ProcedureRig {
    Station() {
        app.initDialog(dir.path());
        app.setDataFolder(std::filesystem::path(dir.file("data")));
        dir.write("A1011B1011.upd",
                  testing_support::plainUpdateFile(testing_support::consecutiveRecords(0, 3)));
    }
    void recordUnfinished() {
        ASSERT_TRUE(
            app.updateRecords()
                ->begin(file(), "SIM", safety::localCalendarTime(std::chrono::system_clock::now()))
                .empty());
    }
    std::string file() const { return dir.file("A1011B1011.upd"); }
    std::string copy() const { return dir.file("data/unfinished-update/A1011B1011.upd"); }

    shell::App& app = program();
};

TEST(UnfinishedUpdate, IsToldOnceAndItsCopyStartsTheFileDialogUnlessDeclined) {
    for (const ui::Answer answer : {ui::Answer::Ok, ui::Answer::Cancel}) {
        const bool accepted = answer == ui::Answer::Ok;
        SCOPED_TRACE(accepted ? "accepted" : "declined");
        Station s;
        shell::announceUnfinishedUpdate(s.app);
        EXPECT_TRUE(s.rig.host().messages.empty()) << "no record, nothing to say";

        s.recordUnfinished();
        s.rig.host().answers.push_back(answer);
        shell::announceUnfinishedUpdate(s.app);
        ASSERT_EQ(s.rig.host().messages.size(), 1u);
        EXPECT_THAT(s.rig.host().messages[0].text,
                    testing::StartsWith("Ein Update wurde nicht beendet:\n" + s.file()));
        EXPECT_EQ(s.rig.host().messages[0].buttons, ui::Buttons::OkCancel);

        // Nothing is forced: the file dialog still asks, it only starts with the file.
        (void)s.app.dispatch(ids::OpenUpdateFileItem);
        ASSERT_FALSE(s.rig.host().fileRequests.empty());
        // Compared as paths: Windows joins the folder with its own separator.
        EXPECT_EQ(std::filesystem::path(s.rig.host().fileRequests.back().initialPath),
                  std::filesystem::path(accepted ? s.copy() : ""));
    }
}

TEST(UnfinishedUpdate, ALostCopyIsToldAndNotOffered) {
    Station s;
    s.recordUnfinished();
    std::filesystem::remove(s.copy());
    shell::announceUnfinishedUpdate(s.app);
    ASSERT_EQ(s.rig.host().messages.size(), 1u);
    EXPECT_THAT(
        s.rig.host().messages[0].text,
        testing::HasSubstr("Die Datei des unterbrochenen Updates gibt es nicht mehr: " + s.file()));
    EXPECT_EQ(s.rig.host().messages[0].buttons, ui::Buttons::Ok);
    EXPECT_TRUE(s.app.updateState().resumeFilePath.empty());
}

// The first port loss from this list on that cuts a settings write off half-way.
struct BrokenWrite {
    std::unique_ptr<Station> station;
    std::string readThrottle;
};

BrokenWrite breakAWrite() {
    for (std::uint64_t operations = 400000; operations >= 1000; operations = operations * 2 / 3) {
        BrokenWrite broken{std::make_unique<Station>(), {}};
        Station& s = *broken.station;
        s.rig.serialConfig().vanishAfterOps = operations;
        if (s.app.dispatch(ids::ReadButton) != ui::Outcome::Done) {
            continue;
        }
        broken.readThrottle = s.app.mainDialog().text(ids::FullThrottleField);
        s.app.mainDialog().setText(ids::FullThrottleField, "2,20");
        s.app.mainDialog().setText(ids::StartPowerField, "30");
        if (s.app.dispatch(ids::WriteButton) == ui::Outcome::Failed &&
            s.app.writeGuard().commandWrites().any) {
            return broken;
        }
    }
    return {};
}

TEST(InterruptedWrite, OffersTheBackupTakenBeforeIt) {
    BrokenWrite broken = breakAWrite();
    ASSERT_TRUE(broken.station) << "no port loss broke the write";
    Station& s = *broken.station;
    auto& messages = s.rig.host().messages;
    ASSERT_FALSE(messages.empty());
    const std::size_t before = messages.size();
    // Not again, but the backup please.
    s.rig.host().answers = {ui::Answer::Cancel, ui::Answer::Ok};
    shell::offerAfterInterruptedWrite(s.app, ids::WriteButton, ui::Outcome::Failed);
    ASSERT_EQ(messages.size(), before + 2);
    EXPECT_THAT(messages[before].text, testing::StartsWith("Das Schreiben wurde unterbrochen"));
    EXPECT_THAT(messages[before + 1].text,
                testing::HasSubstr(s.app.writeGuard().lastBackupPath().string()));
    EXPECT_EQ(s.app.mainDialog().text(ids::FullThrottleField), broken.readThrottle);

    // A command that wrote nothing, or did not fail, is not followed by the offer.
    shell::offerAfterInterruptedWrite(s.app, ids::ReadButton, ui::Outcome::Failed);
    shell::offerAfterInterruptedWrite(s.app, ids::WriteButton, ui::Outcome::Done);
    EXPECT_EQ(messages.size(), before + 2);
}

}  // namespace
