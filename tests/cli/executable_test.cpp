// Runs of the built program itself: arguments, streams and exit status as a shell script
// sees them.
#include <sys/wait.h>

#include "cli_runner.h"

namespace {

using namespace cli_test;

TEST(CliExecutable, ReportsAndExitsAsAShellScriptSeesIt) {
    TempDirectory dir;
    const auto run = [&](const std::string& arguments, int exit) {
        int status = -1;
        const std::string out = commandOutput(
            "cd '" + dir.path() + "' && '" ZEK_CLI_PATH "' " + arguments + " </dev/null", &status);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == exit) << arguments;
        return out;
    };
    EXPECT_EQ(run("--simulate read 'set' '1135' 2>&1", 2), "zek-cli: set: 1135 is not ID=VALUE\n");
    EXPECT_THAT(run("--help", 0), StartsWith("usage: zek-cli"));
    // With --json the report is the whole standard output.
    const cli::json::ParseResult parsed =
        cli::json::parse(run("--simulate --json write 2>/dev/null", 1));
    ASSERT_TRUE(parsed.value) << parsed.error;
    EXPECT_EQ(parsed.value->at("exit").get<int>(), 1);
    // The virtual controller leaves no configuration file behind.
    EXPECT_FALSE(dir.exists("qvsetup.cfg"));
}

}  // namespace
