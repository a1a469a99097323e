// libs: zek_update
// The scrambled form's check and record reader, with and without a passing check.
#include <cstdlib>

#include "update/update_file.h"
#include "update/update_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The records are read whatever the check said, to reach the decoder with any key.
    update::ScrambledLineReader reader(bytes, update::verifyScrambledFile(bytes).rollingKey);
    update::UpdateRecord record;
    for (std::size_t lines = 1; const auto line = reader.readUpdateLine(); ++lines) {
        if (line->empty() || line->size() > 10 || line->find('\n') != line->size() - 1 ||
            lines > size / 8) {
            std::abort();
        }
        update::parseUpdateRecord(*line, record);
    }
    const update::UpdateImage image = update::readUpdateImage(bytes);
    if (image.verdict == update::FileVerdict::Accepted && image.records.empty()) {
        std::abort();
    }
    return 0;
}
