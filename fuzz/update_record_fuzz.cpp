// libs: zek_update
// The record parser and the file-name fields it is checked against.
#include <cstdlib>

#include "update/file_name.h"
#include "update/update_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    update::UpdateRecord record;
    const bool read = update::parseUpdateRecord(bytes, record) == update::RecordError::None;
    const auto parts = update::cutUpdatePath(bytes);
    if ((read && (bytes.size() < 9 || bytes[4] != ':' || record.address > 0xFFFF ||
                  record.page != static_cast<int>(record.address / 64) || record.offset >= 64)) ||
        (parts &&
         (parts->path.size() > bytes.size() || parts->fileName.size() > parts->path.size()))) {
        std::abort();
    }
    if (parts) {
        update::versionsFromFileName(parts->fileName);
    }
    return 0;
}
