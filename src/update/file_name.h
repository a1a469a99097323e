// The file-name part of an update path and the two controller versions it carries:
// "A3012B1010.upd" fits the versions 0x3012 and 0x1010.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace update {

struct UpdatePathParts {
    std::string path;      // cut right after ".upd"
    std::string fileName;  // from the last folder separator before ".upd" to the cut
};

// ".upd" in any letter case, searched at positions 1 … 250 (never 0); nullopt when absent.
// Folders are separated by "\" or "/".
std::optional<UpdatePathParts> cutUpdatePath(std::string_view path);

struct FileVersions {
    std::optional<std::uint16_t> first;   // characters 1 … 4 of the name
    std::optional<std::uint16_t> second;  // characters 6 … 9
    bool fits(std::int32_t controllerVersion) const {
        return (first && *first == controllerVersion) || (second && *second == controllerVersion);
    }
};

FileVersions versionsFromFileName(std::string_view fileName);

}  // namespace update
