// libs: zek_cli_core
// zek-cli's options and steps, one argument per line of the input. Whatever parses is
// checked against the dialogs as a run would, before any step.
#include <cstdlib>
#include <sstream>

#include "cli/command_line.h"
#include "cli/step_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream lines(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<std::string> args;
    for (std::string arg; args.size() < 64 && std::getline(lines, arg);) {
        args.push_back(arg);
    }
    cli::CommandLine line = cli::parseCommandLine(args);
    if (line.options.has_value() == !line.error.empty()) {
        std::abort();  // either options or one reason
    }
    if (line.options) {
        // Files the input names are never opened: the checks see one that does not exist.
        for (cli::Step& step : line.options->steps) {
            step.file = step.file.empty() ? "" : "/nonexistent/zek-fuzz/file";
        }
        std::vector<std::optional<safety::SettingsBackup>> backups;
        (void)cli::checkSteps(line.options->steps, backups);
    }
    return 0;
}
