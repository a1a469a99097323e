// libs: zek_shell
// The broken-update record and the backup file names: whatever the data folder holds,
// reading it never crashes, and a record that reads is written back to the same record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "safety/backup_store.h"
#include "safety/update_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)safety::parseBackupFileName(bytes);
    // Most inputs get the record's first line, so the fuzzer reaches the fields.
    const bool withHeader = size > 0 && (data[0] & 1) != 0;
    const std::string text = withHeader
                                 ? "zek-setup update record 1\n" + std::string(bytes.substr(1))
                                 : std::string(bytes);
    std::string reason;
    const std::optional<safety::UpdateRecord> record = safety::parseUpdateRecord(text, reason);
    if (record) {
        std::string again;
        const std::optional<safety::UpdateRecord> reread =
            safety::parseUpdateRecord(safety::formatUpdateRecord(*record), again);
        if (!reread || reread->file != record->file || reread->sha256Hex != record->sha256Hex ||
            reread->port != record->port || reread->started != record->started) {
            std::abort();
        }
    }
    return 0;
}
