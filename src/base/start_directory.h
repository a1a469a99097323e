// Where qvsetup.cfg lives: the directory the program starts in, or a chosen one.
#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace base {

// The current directory; when it cannot be read, "_getcwd error" and the reason go to
// errors and the result is empty (qvsetup.cfg is then opened by its bare name).
std::string currentDirectory(std::ostream& errors);

// The user's configuration folder for this program: $XDG_CONFIG_HOME/zek-setup, else
// $HOME/.config/zek-setup. Created when missing; nullopt with the reason in error when
// there is no such folder and it cannot be made.
std::optional<std::string> userConfigDirectory(std::string& error);

}  // namespace base
