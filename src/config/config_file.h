// qvsetup.cfg: a record of text fields at fixed byte offsets, updated in place.
// The file is never rewritten as a whole and never truncated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace config {

inline constexpr const char* configFileName = "qvsetup.cfg";

// Field offsets in bytes.
inline constexpr std::size_t portFieldOffset = 0;
inline constexpr std::size_t portFieldLength = 4;
inline constexpr std::size_t lineBreakOffset = 30;
inline constexpr std::size_t updatePathOffset = 32;
inline constexpr std::size_t poleCountOffset = 256;
inline constexpr std::size_t poleCountLength = 2;
inline constexpr std::size_t gearRatioOffset = 260;

// The path of qvsetup.cfg in directory (the current directory when empty).
std::string configFilePath(const std::string& directory);

class ConfigFile {
  public:
    enum class Mode { ExistingOnly, CreateIfMissing };

    ConfigFile() = default;
    ~ConfigFile();
    ConfigFile(ConfigFile&& other) noexcept;
    ConfigFile& operator=(ConfigFile&& other) noexcept;
    ConfigFile(const ConfigFile&) = delete;
    ConfigFile& operator=(const ConfigFile&) = delete;

    // Opens qvsetup.cfg in directory for reading and updating in place (binary).
    bool open(const std::string& directory, Mode mode = Mode::ExistingOnly);
    // True when open() had to create the file.
    bool created() const { return m_created; }
    void close();

    std::uint64_t size();
    // Up to maxLength bytes from offset; fewer (or none) where the file ends.
    std::string readAt(std::uint64_t offset, std::size_t maxLength);
    // Writes bytes at offset; a gap past the end of the file is filled with zero bytes.
    bool writeAt(std::uint64_t offset, std::string_view bytes);

  private:
    std::FILE* m_file = nullptr;
    bool m_created = false;
};

}  // namespace config
