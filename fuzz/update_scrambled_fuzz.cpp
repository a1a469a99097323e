// libs: zek_update
// The scrambled form's check and record reader, with and without a passing check.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "update/update_file.h"
#include "update/update_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const update::ScrambledCheck check = update::verifyScrambledFile(bytes);
    // Read the records whatever the check said, to reach the decoder with any key.
    update::ScrambledLineReader reader(bytes, check.rollingKey);
    std::size_t lines = 0;
    while (const auto line = reader.readUpdateLine()) {
        const std::size_t lineFeed = line->find('\n');
        if (line->empty() || line->size() > 10 || lineFeed != line->size() - 1) {
            std::abort();
        }
        update::UpdateRecord record;
        update::parseUpdateRecord(*line, record);
        if (++lines > size / 8) {
            std::abort();
        }
    }
    const update::UpdateImage image = update::readUpdateImage(bytes);
    if (image.verdict == update::FileVerdict::Accepted && image.records.empty()) {
        std::abort();
    }
    return 0;
}
