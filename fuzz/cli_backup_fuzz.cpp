// libs: zek_cli_core
// The settings backup and the JSON under it, on any bytes: no crash, and whatever is
// accepted is written back in a form that is accepted again.
#include <cstdlib>

#include "cli/json.h"
#include "safety/settings_backup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const safety::BackupRead read = safety::parseBackup(text);
    const cli::json::ParseResult parsed = cli::json::parse(text);
    if ((read.backup &&
         !safety::parseBackup(cli::json::write(safety::backupToJson(*read.backup))).backup) ||
        (parsed.value && !cli::json::parse(cli::json::write(*parsed.value)).value)) {
        std::abort();
    }
    return 0;
}
