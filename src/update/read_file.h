// Reads an update file into memory in one go.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace update {

// Far above anything that fits the controller's flash (16 KiB in either form is less than
// 256 KiB), so a larger file is no update file.
inline constexpr std::size_t maxUpdateFileBytes = 4 * 1024 * 1024;

// The file's bytes; nullopt when it cannot be opened or read, or is larger than the limit.
std::optional<std::string> readUpdateFileBytes(const std::string& path);

// Whether the file can be opened for reading.
bool updateFileOpens(const std::string& path);

}  // namespace update
