#include "update/file_name.h"

namespace update {

namespace {

constexpr std::string_view extension = ".upd";
constexpr std::size_t lastSearchPosition = 250;

char toLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool extensionAt(std::string_view path, std::size_t position) {
    if (path.size() - position < extension.size()) {
        return false;
    }
    for (std::size_t i = 0; i < extension.size(); ++i) {
        if (toLower(path[position + i]) != extension[i]) {
            return false;
        }
    }
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = toLower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::optional<std::uint16_t> versionAt(std::string_view fileName, std::size_t position) {
    std::optional<std::uint16_t> version;
    for (std::size_t i = position; i < position + 4 && i < fileName.size(); ++i) {
        const int digit = hexDigit(fileName[i]);
        if (digit < 0) {
            break;
        }
        version = static_cast<std::uint16_t>(version.value_or(0) * 16 + digit);
    }
    return version;
}

}  // namespace

std::optional<UpdatePathParts> cutUpdatePath(std::string_view path) {
    for (std::size_t position = 1; position <= lastSearchPosition && position < path.size();
         ++position) {
        if (!extensionAt(path, position)) {
            continue;
        }
        const std::size_t cut = position + extension.size();
        const std::size_t separator = path.find_last_of("\\/", position);
        const std::size_t nameStart = separator == std::string_view::npos ? 0 : separator + 1;
        return UpdatePathParts{std::string(path.substr(0, cut)),
                               std::string(path.substr(nameStart, cut - nameStart))};
    }
    return std::nullopt;
}

FileVersions versionsFromFileName(std::string_view fileName) {
    return FileVersions{versionAt(fileName, 1), versionAt(fileName, 6)};
}

}  // namespace update
