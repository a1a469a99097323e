// What a script learns from a run: the outcome of its steps, the system error behind a
// box, and the verbose log.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/command_line.h"
#include "cli/console_host.h"
#include "cli_runner.h"

namespace {

using namespace cli_test;

TEST(CliOutcome, TheWorstStepDecidesTheOutcomeAndTheExitStatus) {
    TempDirectory dir;
    struct Case {
        std::vector<std::string> args;
        std::string outcome;
        int exit;
    };
    const Case cases[] = {
        {{"--simulate", "read"}, "done", 0},
        // The program's own refusal shows no box at all.
        {{"--simulate", "click", "1150"}, "refused", 1},
        {{"--simulate", "--sim-device", "other", "read"}, "failed", 1},
        {{"--simulate", "update", dir.file("A1011B1011.upd")}, "cancelled", 1},
    };
    dir.write("A1011B1011.upd", "0000:0017\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "--json");
        const Outcome run = runCli(dir, args);
        EXPECT_EQ(run.exit, c.exit) << run.err;
        const cli::json::Value root = report(run);
        EXPECT_EQ(root.at("outcome").get<std::string>(), c.outcome);
        EXPECT_EQ(root.at("exit").get<int>(), c.exit);
    }
}

TEST(CliOutcome, ReportNamesTheOutcomeJustBeforeTheExitStatus) {
    TempDirectory dir;
    const Outcome run = runCli(dir, {"--simulate", "--json", "read"});
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr(",\n  \"outcome\": \"done\",\n  \"exit\": 0\n}\n"));
}

// Passes once the line layer notes the open failure's system error; until then the box
// line comes alone.
TEST(CliDetail, AMissingDeviceIsNamedWithTheSystemsReason) {
    const std::string device = "/dev/ttyUSB9";
    if (std::filesystem::exists(device)) {
        GTEST_SKIP() << device << " exists on this machine";
    }
    TempDirectory dir;
    const std::string detail = missingDeviceDetail(device);
    const Outcome run = runCli(dir, {"--json", "--port", device, "read"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(run.err, "Error: COM-Init-Error!\nzek-cli: " + detail + "\n");
    const cli::json::Value root = report(run);
    ASSERT_EQ(root.at("messages").size(), 1u);
    EXPECT_EQ(root.at("messages")[0].at("text").get<std::string>(), "COM-Init-Error!");
    EXPECT_EQ(cli::json::member(root.at("messages")[0], "detail") != nullptr
                  ? root.at("messages")[0].at("detail").get<std::string>()
                  : "",
              detail);
}

TEST(CliDetail, FollowsItsBoxOnceAndOnlyThatBox) {
    std::ostringstream err;
    std::istringstream in;
    cli::ConsoleHost host(err, in, {.yes = true});
    host.setPendingDetail("/dev/ttyUSB1: open failed: Permission denied");
    host.messageBox(nullptr, "COM-Init-Error!", "Error", ui::Buttons::Ok);
    host.messageBox(nullptr, "Update starten?", "Warning!", ui::Buttons::OkCancel);
    EXPECT_EQ(err.str(),
              "Error: COM-Init-Error!\n"
              "zek-cli: /dev/ttyUSB1: open failed: Permission denied\n"
              "Warning!: Update starten?\n(OK: --yes)\n");
    ASSERT_EQ(host.messages().size(), 2u);
    EXPECT_EQ(host.messages()[0].detail, "/dev/ttyUSB1: open failed: Permission denied");
    EXPECT_EQ(host.messages()[1].detail, "");
}

TEST(CliVerbose, LogLinesGoToStandardErrorOnlyWhenAsked) {
    std::istringstream in;
    for (const bool verbose : {false, true}) {
        std::ostringstream err;
        cli::ConsoleHost host(err, in, {.verbose = verbose});
        host.logEvent("/dev/ttyUSB0: opened");
        EXPECT_EQ(err.str(), verbose ? "zek-cli: /dev/ttyUSB0: opened\n" : "");
    }
    for (const char* option : {"-v", "--verbose"}) {
        EXPECT_TRUE(cli::parseCommandLine({option, "read"}).options.value().verbose);
    }
}

// Passes once the line layer logs port opens, closes and resets; until then -v adds
// nothing to a run.
TEST(CliVerbose, LogsThePortsOfARun) {
    TempDirectory dir;
    const Outcome quiet = runCli(dir, {"--simulate", "read"});
    EXPECT_EQ(quiet.err, "");
    const Outcome verbose = runCli(dir, {"-v", "--simulate", "read"});
    EXPECT_EQ(verbose.exit, 0);
    EXPECT_THAT(verbose.err, StartsWith("zek-cli: "));
    EXPECT_THAT(verbose.err, HasSubstr("SIM"));
}

TEST(CliPort, ParallelBasesAreChosenForThisRunOnly) {
    TempDirectory dir;
    dir.write("qvsetup.cfg", "COM5");
    // "show" touches no port: what the selection did is all there is to see.
    Outcome run = runCli(dir, {"--json", "--port", "COM3", "show"});
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_TRUE(report(run).at("menu").at("1157").at("checked").get<bool>());
    run = runCli(dir, {"--json", "--port", "0378", "show"});
    ASSERT_EQ(run.exit, 0) << run.err;
    for (int id = 1155; id <= 1162; ++id) {
        EXPECT_FALSE(report(run).at("menu").at(std::to_string(id)).at("checked").get<bool>()) << id;
    }
    EXPECT_EQ(dir.read("qvsetup.cfg"), "COM5");
    EXPECT_EQ(runCli(dir, {"--port", "0379", "show"}).exit, 2);
}

}  // namespace
