// libs: zek_cli_core
// The settings backup reader on arbitrary bytes: no crash, and whatever it accepts it
// writes back in a form it accepts again.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cli/json.h"
#include "safety/settings_backup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const safety::BackupRead read = safety::parseBackup(text);
    if (read.backup) {
        const safety::BackupRead again =
            safety::parseBackup(cli::json::write(safety::backupToJson(*read.backup)));
        if (!again.backup) {
            __builtin_trap();
        }
    }
    const cli::json::ParseResult parsed = cli::json::parse(text);
    if (parsed.value && !cli::json::parse(cli::json::write(*parsed.value)).value) {
        __builtin_trap();
    }
    return 0;
}
