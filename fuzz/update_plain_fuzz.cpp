// libs: zek_update
// The plain form's line reader and the whole-file check over it.
#include <cstdlib>

#include "update/update_file.h"
#include "update/update_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    update::PlainLineReader reader(bytes);
    update::UpdateRecord record;
    for (std::size_t lines = 1; const auto line = reader.readUpdateLine(); ++lines) {
        // Every line lies inside the input, holds no line end, and the reader moves on.
        if (line->data() < bytes.data() || line->data() + line->size() > bytes.data() + size ||
            line->find_first_of("\r\n") != std::string_view::npos || lines > size + 1) {
            std::abort();
        }
        update::parseUpdateRecord(*line, record);
    }
    for (const update::UpdateRecord& read : update::readUpdateImage(bytes).records) {
        if (read.address >= update::flashAddressLimit) {
            std::abort();
        }
    }
    return 0;
}
