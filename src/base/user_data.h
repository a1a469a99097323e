// The user's data folder, where the automatic backups and the update record live:
// $XDG_DATA_HOME/zek-setup, else ~/.local/share/zek-setup; on Windows the local
// application data folder, %LOCALAPPDATA%\zek-setup.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "ui/system_error.h"

namespace base {

// One environment variable's value; nullopt when it is not set. A path rather than text,
// so Windows values keep their wide characters.
using EnvironmentLookup = std::function<std::optional<std::filesystem::path>(const char* name)>;

enum class FolderConvention {
    freedesktop,  // XDG_DATA_HOME, then HOME
    windows,      // LOCALAPPDATA
};

// The convention of the platform this was built for.
FolderConvention nativeFolderConvention();

// The data folder from these variables, without touching the disk. Empty and relative
// values count as unset, as other programs treat them. nullopt with the reason in error
// when no variable names a folder.
[[nodiscard]] std::optional<std::filesystem::path> resolveUserDataFolder(
    const EnvironmentLookup& environment, FolderConvention convention, ui::SystemError& error);

// The process's own environment; on Windows a missing LOCALAPPDATA is asked of the shell
// (SHGetKnownFolderPath), as a service account may run without it.
EnvironmentLookup processEnvironment();

// resolveUserDataFolder on the process environment and the native convention. The folder
// is not created here: whoever writes into it does so.
[[nodiscard]] std::optional<std::filesystem::path> userDataFolder(ui::SystemError& error);

}  // namespace base
