#include "sim/flash_memory.h"

#include <algorithm>
#include <fstream>

namespace sim {

void FlashMemory::writePage(int page, const std::array<std::uint8_t, flashPageSize>& data) {
    const auto start = static_cast<std::size_t>(page & 0xFF) * flashPageSize;
    std::copy(data.begin(), data.end(), m_bytes.begin() + static_cast<std::ptrdiff_t>(start));
}

std::string FlashMemory::save(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return "cannot create " + path;
    }
    out.write(reinterpret_cast<const char*>(m_bytes.data()),
              static_cast<std::streamsize>(m_bytes.size()));
    out.flush();
    if (!out) {
        return "cannot write " + path;
    }
    return {};
}

}  // namespace sim
