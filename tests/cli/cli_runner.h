// Runs zek-cli in-process with captured output, in a directory of its own.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/run.h"
#include "config/temp_directory.h"

namespace cli_test {

struct Outcome {
    int exit = -1;
    std::string out;
    std::string err;
};

// Every run gets --dir, so qvsetup.cfg lands in the test's directory.
inline Outcome runCli(const testing_support::TempDirectory& dir, std::vector<std::string> args,
                      const std::string& input = "", bool interactive = false) {
    args.insert(args.begin(), {"--dir", dir.path()});
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in(input);
    Outcome outcome;
    outcome.exit = cli::run(args, cli::Console{out, err, in, interactive});
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

}  // namespace cli_test
