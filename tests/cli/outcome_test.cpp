// What a script learns from a run besides the outcome: the system error behind a box,
// the verbose log, and the port a run chose.
#include <gtest/gtest.h>

#include "cli/command_line.h"
#include "cli/console_host.h"
#include "cli_runner.h"

namespace {

using namespace cli_test;

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
