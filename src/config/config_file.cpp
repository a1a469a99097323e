#include "config/config_file.h"

#include <climits>
#include <filesystem>
#include <utility>

namespace config {

namespace {

bool seekTo(std::FILE* file, std::uint64_t offset) {
    if (offset > static_cast<std::uint64_t>(LONG_MAX)) {
        return false;
    }
    return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
}

}  // namespace

std::string configFilePath(const std::string& directory) {
    if (directory.empty()) {
        return configFileName;
    }
    return (std::filesystem::path(directory) / configFileName).string();
}

ConfigFile::~ConfigFile() {
    close();
}

ConfigFile::ConfigFile(ConfigFile&& other) noexcept
    : m_file(std::exchange(other.m_file, nullptr)), m_created(other.m_created) {}

ConfigFile& ConfigFile::operator=(ConfigFile&& other) noexcept {
    if (this != &other) {
        close();
        m_file = std::exchange(other.m_file, nullptr);
        m_created = other.m_created;
    }
    return *this;
}

bool ConfigFile::open(const std::string& directory, Mode mode) {
    close();
    m_created = false;
    const std::string path = configFilePath(directory);
    m_file = std::fopen(path.c_str(), "r+b");
    if (m_file == nullptr && mode == Mode::CreateIfMissing) {
        // Only reached when the file cannot be opened as it is; an existing file is
        // never emptied, since "r+b" would have opened it.
        std::error_code error;
        if (!std::filesystem::exists(path, error) && !error) {
            m_file = std::fopen(path.c_str(), "w+b");
            m_created = m_file != nullptr;
        }
    }
    return m_file != nullptr;
}

void ConfigFile::close() {
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

std::uint64_t ConfigFile::size() {
    if (m_file == nullptr || std::fseek(m_file, 0, SEEK_END) != 0) {
        return 0;
    }
    const long end = std::ftell(m_file);
    return end < 0 ? 0 : static_cast<std::uint64_t>(end);
}

std::string ConfigFile::readAt(std::uint64_t offset, std::size_t maxLength) {
    std::string bytes;
    if (m_file == nullptr || offset >= size() || !seekTo(m_file, offset)) {
        return bytes;
    }
    bytes.resize(maxLength);
    bytes.resize(std::fread(bytes.data(), 1, maxLength, m_file));
    return bytes;
}

bool ConfigFile::writeAt(std::uint64_t offset, std::string_view bytes) {
    if (m_file == nullptr) {
        return false;
    }
    const std::uint64_t end = size();
    if (offset > end) {
        // Fill the gap explicitly rather than relying on seeking past the end.
        if (!seekTo(m_file, end)) {
            return false;
        }
        for (std::uint64_t at = end; at < offset; ++at) {
            if (std::fputc(0, m_file) == EOF) {
                return false;
            }
        }
    }
    if (!seekTo(m_file, offset)) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), m_file) == bytes.size();
    return std::fflush(m_file) == 0 && written;
}

}  // namespace config
