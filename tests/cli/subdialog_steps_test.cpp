// Steps that work a sub-dialog between the click that opens it and the one that closes it.
#include <gtest/gtest.h>

#include "cli/console_host.h"
#include "cli_runner.h"
#include "resources/rpm_control_dialog.h"

namespace {

using namespace cli_test;

// Steps running out close the dialog with Cancel; an error box inside it fails the run and
// closes it too.
TEST(CliRpmControl, StepsRunningOutOrAnErrorBoxCloseTheDialog) {
    TempDirectory dir;
    Outcome run = runCli(dir, "--simulate --json read rpm click 1213 show");
    ASSERT_EQ(run.exit, 0) << run.err;
    // Period 305 at 16 MHz.
    EXPECT_EQ(report(run)["dialogs"]["1231"]["controls"]["1212"]["text"], " 999");

    run = runCli(dir, "--simulate --json read rpm click 1213 set 1241=11 click 1214 click 1 read");
    EXPECT_EQ(run.exit, 1);
    EXPECT_THAT(run.err, HasSubstr("Error!: P: 1 - 10 !"));
    const cli::json::Value root = report(run);
    EXPECT_NE(cli::json::member(root.at("dialogs"), "1231"), nullptr);
    ASSERT_EQ(root.at("messages").size(), 1u);
    EXPECT_EQ(root["messages"][0]["owner"], "none");
    // The read after the dialog did not run: one beep from the first read, one from "Lesen".
    EXPECT_EQ(root.at("beeps").get<int>(), 2);
}

// A box a sub-dialog owns names its id; the dialog's changes are the run's only while it is
// open.
TEST(CliSubDialogs, BoxesNameTheirOwnerAndChangesAreLoggedWhileOpen) {
    std::ostringstream err;
    std::istringstream in;
    cli::ConsoleHost host(err, in, {});
    std::vector<ui::Change> changes;
    host.setChangeLog(&changes);
    ui::Dialog rpmDialog(resources::rpmControlDialogTemplate());
    host.runModal(
        rpmDialog, nullptr, [&] { rpmDialog.setText(rpm_ids::FrequencyField, "1"); },
        [](ui::ControlId) { return ui::Outcome::Done; });
    rpmDialog.setText(rpm_ids::FrequencyField, "2");
    EXPECT_EQ(changes.size(), 1u);
    host.messageBox(&rpmDialog, "adapter?", "Error", ui::Buttons::Ok);
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].owner, "1231");
    EXPECT_EQ(err.str(), "Error: adapter?\n");
}

}  // namespace
