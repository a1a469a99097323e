#include "base/user_folders.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <knownfolders.h>
#include <shlobj.h>
#endif

namespace base {
namespace fs = std::filesystem;
namespace {

constexpr const char* folderName = "zek-setup";

// Where each folder is looked for: the variable that names it, then HOME with a suffix.
struct FolderRule {
    const char* variable;
    const char* homeSuffix;  // nullptr: HOME does not count (Windows)
    const char* missing;
};

FolderRule ruleFor(UserFolder folder, FolderConvention convention) {
    const bool data = folder == UserFolder::data;
    if (convention == FolderConvention::windows) {
        return data ? FolderRule{"LOCALAPPDATA", nullptr, "LOCALAPPDATA names no folder"}
                    : FolderRule{"APPDATA", nullptr, "APPDATA names no folder"};
    }
    return data ? FolderRule{"XDG_DATA_HOME", ".local/share",
                             "neither XDG_DATA_HOME nor HOME names a folder"}
                : FolderRule{"XDG_CONFIG_HOME", ".config",
                             "neither XDG_CONFIG_HOME nor HOME names a folder"};
}

std::optional<fs::path> absoluteValue(const EnvironmentLookup& environment, const char* name) {
    std::optional<fs::path> value = environment(name);
    if (!value || value->empty() || !value->is_absolute()) {
        return std::nullopt;
    }
    return value;
}

#ifdef _WIN32
std::optional<fs::path> variable(const char* name) {
    const std::wstring wideName(name, name + std::char_traits<char>::length(name));
    if (const wchar_t* value = _wgetenv(wideName.c_str()); value != nullptr) {
        return fs::path(value);
    }
    const std::string_view asked(name);
    if (asked != "LOCALAPPDATA" && asked != "APPDATA") {
        return std::nullopt;
    }
    PWSTR known = nullptr;
    std::optional<fs::path> folder;
    if (SUCCEEDED(SHGetKnownFolderPath(
            asked == "APPDATA" ? FOLDERID_RoamingAppData : FOLDERID_LocalAppData, 0, nullptr,
            &known))) {
        folder = fs::path(known);
    }
    CoTaskMemFree(known);
    return folder;
}
#else
std::optional<fs::path> variable(const char* name) {
    if (const char* value = std::getenv(name); value != nullptr) {
        return fs::path(value);
    }
    return std::nullopt;
}
#endif

}  // namespace

FolderConvention nativeFolderConvention() {
#ifdef _WIN32
    return FolderConvention::windows;
#else
    return FolderConvention::freedesktop;
#endif
}

std::optional<fs::path> resolveUserFolder(UserFolder folder, const EnvironmentLookup& environment,
                                          FolderConvention convention, ui::SystemError& error) {
    const FolderRule rule = ruleFor(folder, convention);
    if (std::optional<fs::path> named = absoluteValue(environment, rule.variable)) {
        return *named / folderName;
    }
    if (rule.homeSuffix != nullptr) {
        if (std::optional<fs::path> home = absoluteValue(environment, "HOME")) {
            return *home / rule.homeSuffix / folderName;
        }
    }
    error = ui::SystemError{"", "", ENOENT, rule.missing};
    return std::nullopt;
}

EnvironmentLookup processEnvironment() {
    return &variable;
}

std::optional<fs::path> userDataFolder(ui::SystemError& error) {
    return resolveUserFolder(UserFolder::data, processEnvironment(), nativeFolderConvention(),
                             error);
}

std::optional<std::string> userConfigDirectory(std::string& error) {
    ui::SystemError missing;
    const std::optional<fs::path> directory = resolveUserFolder(
        UserFolder::configuration, processEnvironment(), nativeFolderConvention(), missing);
    if (!directory) {
        error = missing.reason;
        return std::nullopt;
    }
    std::error_code code;
    fs::create_directories(*directory, code);
    if (!fs::is_directory(*directory, code)) {
        error = directory->string() + ": " + (code ? code.message() : "not a folder");
        return std::nullopt;
    }
    return directory->string();
}

std::string currentDirectory(std::ostream& errors) {
    std::error_code error;
    const fs::path path = fs::current_path(error);
    if (error) {
        errors << "_getcwd error " << error.message() << '\n';
        return {};
    }
    return path.string();
}

}  // namespace base
