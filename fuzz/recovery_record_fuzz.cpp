// libs: zek_shell
// The record of a broken update and the backup file names, on any bytes: no crash, and a
// record that reads is written back to the same record.
#include <cstdlib>

#include "safety/backup_store.h"
#include "safety/update_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)safety::parseBackupFileName(bytes);
    const safety::UpdateRecordStore store("/data");
    std::string reason;
    if (const auto record = store.parse(bytes, reason)) {
        const auto again = store.parse(store.format(*record), reason);
        if (!again || again->file != record->file || again->copy != record->copy ||
            again->port != record->port || again->started != record->started) {
            std::abort();
        }
    }
    return 0;
}
