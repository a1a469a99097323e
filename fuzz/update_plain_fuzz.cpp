// libs: zek_update
// The plain form's line reader and the whole-file check over it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "update/update_file.h"
#include "update/update_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    update::PlainLineReader reader(bytes);
    std::size_t lines = 0;
    while (const auto line = reader.readUpdateLine()) {
        // Every line lies inside the input and holds no line end.
        if (line->data() < bytes.data() || line->data() + line->size() > bytes.data() + size ||
            line->find_first_of("\r\n") != std::string_view::npos) {
            std::abort();
        }
        update::UpdateRecord record;
        update::parseUpdateRecord(*line, record);
        if (++lines > size + 1) {
            std::abort();  // the reader must move on with every line
        }
    }
    const update::UpdateImage image = update::readUpdateImage(bytes);
    for (const update::UpdateRecord& record : image.records) {
        if (record.address >= update::flashAddressLimit) {
            std::abort();
        }
    }
    return 0;
}
