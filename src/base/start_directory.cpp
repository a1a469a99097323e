#include "base/start_directory.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace base {

std::string currentDirectory(std::ostream& errors) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::current_path(error);
    if (error) {
        errors << "_getcwd error " << error.message() << '\n';
        return {};
    }
    return path.string();
}

std::optional<std::string> userConfigDirectory(std::string& error) {
    namespace fs = std::filesystem;
    fs::path base;
    // Relative values of these variables are to be ignored, as other programs do.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && fs::path(configHome).is_absolute()) {
        base = configHome;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || !fs::path(home).is_absolute()) {
            error = "neither XDG_CONFIG_HOME nor HOME names a folder";
            return std::nullopt;
        }
        base = fs::path(home) / ".config";
    }
    const fs::path directory = base / "zek-setup";
    std::error_code code;
    fs::create_directories(directory, code);
    if (!fs::is_directory(directory, code)) {
        error = directory.string() + ": " + (code ? code.message() : "not a folder");
        return std::nullopt;
    }
    return directory.string();
}

}  // namespace base
