// --sim-driver and --sim-unplug-after from the command line: a working driver changes
// nothing the pilot sees, one that cannot work and a lost cable say why.
#include <gtest/gtest.h>

#include "cli_runner.h"

namespace {

using namespace cli_test;

TEST(CliDriverOptions, AWorkingDriverShowsWhatTheOnBoardPortShows) {
    TempDirectory dir;
    const Outcome plain = runCli(dir, {"--simulate", "--json", "read", "write"});
    const Outcome ch341 = runCli(dir, {"--sim-driver", "ch341", "--json", "read", "write"});
    ASSERT_EQ(plain.exit, 0) << plain.err;
    ASSERT_EQ(ch341.exit, 0) << ch341.err;
    EXPECT_EQ(ch341.err, "");
    const cli::json::Value expected = report(plain);
    const cli::json::Value actual = report(ch341);
    for (const char* member : {"controls", "messages", "changes", "outcome"}) {
        EXPECT_EQ(actual.at(member), expected.at(member)) << member;
    }
    // The read filled the dialog: an empty one on both sides would also compare equal.
    EXPECT_EQ(actual.at("controls").at("1145").at("text").get<std::string>(), "V 10.11-1F");
}

TEST(CliDriverOptions, ADriverThatCannotWorkIsRefusedWithItsCause) {
    TempDirectory dir;
    const Outcome run = runCli(dir, {"--sim-driver", "cdc-acm", "read"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err, StartsWith("Error: No Adaptor found at SIM\n"));
    EXPECT_THAT(run.err, HasSubstr("\nzek-cli: SIM: CTS always reads on"));
    EXPECT_THAT(run.err, HasSubstr("use a USB-serial converter"));
}

// Lost inside the connect step the next opening finds no device; lost later, a modem-line
// call fails as an unplugged converter answers it. Either way nothing is shown as read.
TEST(CliDriverOptions, APortThatVanishesEndsTheRunWithWhatWasLost) {
    const struct {
        const char* operations;
        const char* box;
        const char* detail;
    } cases[] = {
        {"500", "COM-Init-Error!", "SIM: open failed: No such file or directory"},
        {"20000", "Keine Verbindung!", "SIM: ioctl(TIOCMGET) failed: Input/output error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operations);
        TempDirectory dir;
        const Outcome run = runCli(dir, {"--sim-unplug-after", c.operations, "read"});
        EXPECT_EQ(run.exit, 1);
        EXPECT_EQ(run.err, std::string("Error: ") + c.box + "\nzek-cli: " + c.detail + "\n");
        // The log names the failed modem-line call that lost it.
        const Outcome verbose = runCli(dir, {"--sim-unplug-after", c.operations, "-v", "read"});
        EXPECT_THAT(verbose.err, HasSubstr("zek-cli: SIM: ioctl(TIOCMGET) failed: Input/output "
                                           "error\n"));
    }
}

}  // namespace
