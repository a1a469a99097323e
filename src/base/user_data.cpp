#include "base/user_data.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>

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
    if (std::string_view(name) != "LOCALAPPDATA") {
        return std::nullopt;
    }
    PWSTR known = nullptr;
    std::optional<fs::path> folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known))) {
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

std::optional<fs::path> resolveUserDataFolder(const EnvironmentLookup& environment,
                                              FolderConvention convention, ui::SystemError& error) {
    if (convention == FolderConvention::windows) {
        if (std::optional<fs::path> local = absoluteValue(environment, "LOCALAPPDATA")) {
            return *local / folderName;
        }
        error = ui::SystemError{"", "", ENOENT, "LOCALAPPDATA names no folder"};
        return std::nullopt;
    }
    if (std::optional<fs::path> dataHome = absoluteValue(environment, "XDG_DATA_HOME")) {
        return *dataHome / folderName;
    }
    if (std::optional<fs::path> home = absoluteValue(environment, "HOME")) {
        return *home / ".local" / "share" / folderName;
    }
    error = ui::SystemError{"", "", ENOENT, "neither XDG_DATA_HOME nor HOME names a folder"};
    return std::nullopt;
}

EnvironmentLookup processEnvironment() {
    return &variable;
}

std::optional<fs::path> userDataFolder(ui::SystemError& error) {
    return resolveUserDataFolder(processEnvironment(), nativeFolderConvention(), error);
}

}  // namespace base
