// Steps that work a sub-dialog between the click that opens it and the one that closes it.
#include <gtest/gtest.h>

#include "cli/json.h"
#include "cli_runner.h"

namespace {

using cli_test::Outcome;
using cli_test::runCli;
using testing_support::TempDirectory;

constexpr auto npos = std::string::npos;

cli::json::Value report(const Outcome& outcome) {
    cli::json::ParseResult parsed = cli::json::parse(outcome.out);
    EXPECT_TRUE(parsed.value) << parsed.error;
    return parsed.value.value_or(cli::json::Value::object());
}

std::uint8_t savedByte(const TempDirectory& dir, const std::string& name, std::size_t address) {
    const std::string bytes = dir.read(name);
    return address < bytes.size() ? static_cast<std::uint8_t>(bytes[address]) : 0;
}

TEST(CliLockFunctions, StepsActOnTheOpenDialogUntilItCloses) {
    TempDirectory dir;
    const Outcome run = runCli(dir, {"--simulate", "--json", "--sim-save", dir.file("locked.bin"),
                                     "read", "locks", "click", "1204", "click", "1206", "click",
                                     "1207", "click", "1205", "click", "2", "show"});
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(savedByte(dir, "locked.bin", 13), 0xFC);
    const cli::json::Value root = report(run);
    const cli::json::Value* lockDialog = root.find("dialogs")->find("1230");
    ASSERT_NE(lockDialog, nullptr);
    EXPECT_TRUE(lockDialog->find("controls")->find("1206")->find("checked")->asBool());
    EXPECT_TRUE(lockDialog->find("controls")->find("1205")->find("enabled")->asBool());
    // The check boxes changed under the "mouse"; only the read's enabling is a change.
    bool sawEnable = false;
    for (const auto& change : root.find("changes")->items()) {
        if (change.find("dialog")->asString() != "1230") {
            continue;
        }
        EXPECT_NE(change.find("field")->asString(), "checked");
        sawEnable = sawEnable || (change.find("id")->asString() == "1206" &&
                                  change.find("field")->asString() == "enabled");
    }
    EXPECT_TRUE(sawEnable);
}

TEST(CliLockFunctions, RefusedOpeningRunsNoLaterStep) {
    TempDirectory dir;
    const Outcome run = runCli(dir, {"--simulate", "locks", "click", "1204", "click", "2"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(run.err, "Error!: Zuerst Werte einlesen!\n");
}

TEST(CliRpmControl, StepsRunningOutCloseTheDialogWithCancel) {
    TempDirectory dir;
    const Outcome run =
        runCli(dir, {"--simulate", "--json", "read", "rpm", "click", "1213", "show"});
    ASSERT_EQ(run.exit, 0) << run.err;
    const cli::json::Value root = report(run);
    const cli::json::Value* rpmDialog = root.find("dialogs")->find("1231");
    ASSERT_NE(rpmDialog, nullptr);
    // Period 305 at 16 MHz.
    EXPECT_EQ(rpmDialog->find("controls")->find("1212")->find("text")->asString(), " 999");
    EXPECT_EQ(root.find("controls")->find("1212")->find("text")->asString(), "   ");
}

TEST(CliRpmControl, ErrorBoxInsideTheDialogFailsTheRunAndClosesIt) {
    TempDirectory dir;
    const Outcome run = runCli(dir, {"--simulate", "--json", "read", "rpm", "click", "1213", "set",
                                     "1241=11", "click", "1214", "click", "1", "read"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_NE(run.err.find("Error!: P: 1 - 10 !"), npos) << run.err;
    const cli::json::Value root = report(run);
    EXPECT_NE(root.find("dialogs")->find("1231"), nullptr);
    // The read after the dialog did not run: one beep from the first read, one from "Lesen".
    EXPECT_EQ(root.find("beeps")->asInteger(), 2);
}

TEST(CliRevCounter, MeasuresTheVirtualMotor) {
    TempDirectory dir;
    // The rev counter needs the test program locked.
    const Outcome locked =
        runCli(dir, {"--simulate", "--sim-save", dir.file("locked.bin"), "read", "locks", "click",
                     "1204", "click", "1207", "click", "1205"});
    ASSERT_EQ(locked.exit, 0) << locked.err;
    const Outcome run =
        runCli(dir, {"--simulate", "--json", "--sim-memory", dir.file("locked.bin"), "--sim-motor",
                     "100:5", "read", "revs", "click", "1235", "click", "1"});
    ASSERT_EQ(run.exit, 0) << run.err;
    const cli::json::Value root = report(run);
    bool sawRate = false;
    for (const auto& change : root.find("changes")->items()) {
        sawRate = sawRate || (change.find("dialog")->asString() == "1239" &&
                              change.find("id")->asString() == "1215" &&
                              change.find("value")->asString() == "6000");
    }
    EXPECT_TRUE(sawRate) << "100 Hz is 200 pulses per window, 6000 per minute";
}

}  // namespace
