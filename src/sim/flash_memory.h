// The program flash behind the bootloader: 256 pages of 64 bytes, all a one-byte page
// number can reach; 0xFF where nothing was programmed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

inline constexpr std::size_t flashPageSize = 64;
inline constexpr std::size_t flashPageCount = 256;

struct PageLogEntry {
    enum class Kind { Select, Commit };
    Kind kind;
    int page;
};

class FlashMemory {
  public:
    FlashMemory() { m_bytes.fill(0xFF); }

    std::uint8_t byteAt(std::size_t address) const { return m_bytes.at(address); }
    const std::array<std::uint8_t, flashPageSize * flashPageCount>& bytes() const {
        return m_bytes;
    }
    void writePage(int page, const std::array<std::uint8_t, flashPageSize>& data);
    // Empty on success, else the reason.
    std::string save(const std::string& path) const;

    std::vector<PageLogEntry>& pageLog() { return m_log; }
    const std::vector<PageLogEntry>& pageLog() const { return m_log; }

  private:
    std::array<std::uint8_t, flashPageSize * flashPageCount> m_bytes;
    std::vector<PageLogEntry> m_log;
};

}  // namespace sim
