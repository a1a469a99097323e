// The update path block of qvsetup.cfg: a line break at 30, then from 32 the path,
// one zero byte and 20 blanks. Nothing reads it back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace config {

// The longest path whose block (path, zero byte, 20 blanks) ends before the motor fields.
inline constexpr std::size_t maxStoredPathLength = 203;

enum class StorePathResult { Stored, CannotOpen, PathTooLong, WriteFailed };

// Writes the line break and the path block. A path longer than maxStoredPathLength is not
// stored at all (the file is left as it was), so it can never overwrite the motor data.
StorePathResult storeUpdatePath(const std::string& directory, std::string_view path);

}  // namespace config
