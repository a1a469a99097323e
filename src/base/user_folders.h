// The user's folders: the data folder, where the automatic backups and the update record
// live, and the configuration folder that --user-dir starts in. Freedesktop systems:
// $XDG_DATA_HOME/zek-setup (else ~/.local/share/zek-setup) and $XDG_CONFIG_HOME/zek-setup
// (else ~/.config/zek-setup); Windows: %LOCALAPPDATA%\zek-setup and %APPDATA%\zek-setup.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "ui/system_error.h"

namespace base {

// One environment variable's value; nullopt when it is not set. A path rather than text,
// so Windows values keep their wide characters.
using EnvironmentLookup = std::function<std::optional<std::filesystem::path>(const char* name)>;

enum class FolderConvention {
    freedesktop,  // XDG_DATA_HOME / XDG_CONFIG_HOME, then HOME
    windows,      // LOCALAPPDATA / APPDATA
};

enum class UserFolder { data, configuration };

// The convention of the platform this was built for.
FolderConvention nativeFolderConvention();

// The folder from these variables, without touching the disk. Empty and relative values
// count as unset, as other programs treat them. nullopt with the reason in error when no
// variable names a folder.
[[nodiscard]] std::optional<std::filesystem::path> resolveUserFolder(
    UserFolder folder, const EnvironmentLookup& environment, FolderConvention convention,
    ui::SystemError& error);

// The process's own environment; on Windows a missing LOCALAPPDATA or APPDATA is asked of
// the shell (SHGetKnownFolderPath), as a service account may run without them.
EnvironmentLookup processEnvironment();

// resolveUserFolder on the process environment and the native convention. The data folder
// is not created here: whoever writes into it does so.
[[nodiscard]] std::optional<std::filesystem::path> userDataFolder(ui::SystemError& error);

// The configuration folder, created when missing; nullopt with the reason in error when
// there is no such folder and it cannot be made.
std::optional<std::string> userConfigDirectory(std::string& error);

// The current directory; when it cannot be read, "_getcwd error" and the reason go to
// errors and the result is empty (qvsetup.cfg is then opened by its bare name).
std::string currentDirectory(std::ostream& errors);

}  // namespace base
