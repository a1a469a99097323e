#include "sim/flash_memory.h"

#include <algorithm>

#include "sim/setup_memory.h"

namespace sim {

void FlashMemory::writePage(int page, const std::array<std::uint8_t, flashPageSize>& data) {
    const auto start = static_cast<std::size_t>(page & 0xFF) * flashPageSize;
    std::copy(data.begin(), data.end(), m_bytes.begin() + static_cast<std::ptrdiff_t>(start));
}

std::string FlashMemory::save(const std::string& path) const {
    return saveFile(path, {reinterpret_cast<const char*>(m_bytes.data()), m_bytes.size()});
}

}  // namespace sim
