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
    const safety::UpdateRecordStore store("/data");
    std::string reason;
    const std::optional<safety::UnfinishedUpdate> record = store.parse(bytes, reason);
    if (record) {
        std::string again;
        const std::optional<safety::UnfinishedUpdate> reread =
            store.parse(store.format(*record), again);
        if (!reread || reread->file != record->file || reread->copy != record->copy ||
            reread->port != record->port || reread->started != record->started) {
            std::abort();
        }
    }
    return 0;
}
