// libs: zek_cli_core
// zek-cli's options and step grammar: the input is the argument list, one argument per
// line. Whatever parses is checked against the dialogs as a run would, before any step.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "cli/step_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> args;
    while (!rest.empty() && args.size() < 64) {
        const std::size_t end = rest.find('\n');
        args.emplace_back(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    cli::CommandLine line = cli::parseCommandLine(args);
    if (line.options.has_value() == !line.error.empty()) {
        __builtin_trap();  // either options or one reason
    }
    if (!line.options) {
        return 0;
    }
    // Files named by the input are never opened: the checks see one that does not exist.
    for (cli::Step& step : line.options->steps) {
        if (!step.file.empty()) {
            step.file = "/nonexistent/zek-fuzz/file";
        }
    }
    std::vector<std::optional<safety::SettingsBackup>> backups;
    (void)cli::checkSteps(line.options->steps, backups);
    return 0;
}
