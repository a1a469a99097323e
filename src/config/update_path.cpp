#include "config/update_path.h"

#include "config/config_file.h"

namespace config {

namespace {

constexpr std::string_view lineBreak = "\r\n";
constexpr std::size_t trailingBlanks = 20;

}  // namespace

StorePathResult storeUpdatePath(const std::string& directory, std::string_view path) {
    if (path.size() > maxStoredPathLength) {
        return StorePathResult::PathTooLong;
    }
    ConfigFile file;
    if (!file.open(directory)) {
        return StorePathResult::CannotOpen;
    }
    std::string block(path);
    block.push_back('\0');
    block.append(trailingBlanks, ' ');
    // Written as bytes: the line break is CR LF on every platform.
    if (!file.writeAt(lineBreakOffset, lineBreak) || !file.writeAt(updatePathOffset, block)) {
        return StorePathResult::WriteFailed;
    }
    return StorePathResult::Stored;
}

}  // namespace config
