// Runs of the built program itself: arguments, streams and exit status as a shell script
// sees them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "cli/json.h"
#include "config/temp_directory.h"

namespace {

using testing::StartsWith;
using testing_support::TempDirectory;

struct ProcessResult {
    int exit = -1;
    std::string out;
};

// Runs zek-cli in dir; standard error is redirected by the arguments when wanted.
ProcessResult runProgram(const TempDirectory& dir, const std::string& arguments) {
    const std::string command =
        "cd '" + dir.path() + "' && '" ZEK_CLI_PATH "' " + arguments + " </dev/null";
    ProcessResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    std::size_t count = 0;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.out.append(buffer, count);
    }
    const int status = pclose(pipe);
    result.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

TEST(CliExecutable, ReportsAndExitsAsAShellScriptSeesIt) {
    TempDirectory dir;
    ProcessResult run = runProgram(dir, "--simulate read 'set' '1135' 2>&1");
    EXPECT_EQ(run.exit, 2);
    EXPECT_EQ(run.out, "zek-cli: set: 1135 is not ID=VALUE\n");
    run = runProgram(dir, "--help");
    EXPECT_EQ(run.exit, 0);
    EXPECT_THAT(run.out, StartsWith("usage: zek-cli"));
    EXPECT_FALSE(dir.exists("qvsetup.cfg"));

    // With --json the report is the whole standard output.
    run = runProgram(dir, "--simulate --json write 2>/dev/null");
    EXPECT_EQ(run.exit, 1);
    const cli::json::ParseResult parsed = cli::json::parse(run.out);
    ASSERT_TRUE(parsed.value) << parsed.error << run.out;
    EXPECT_EQ(parsed.value->at("exit").get<int>(), 1);
    // The virtual controller leaves no configuration file behind.
    EXPECT_FALSE(dir.exists("qvsetup.cfg"));
}

}  // namespace
