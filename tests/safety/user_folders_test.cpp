// The user's folders from the environment. That the program reads its own environment
// shows in the command line's backup tests, which move the data folder with XDG_DATA_HOME.
#include "base/user_folders.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

namespace {

using base::UserFolder;
using enum base::FolderConvention;

TEST(UserDataFolder, FollowsTheVariablesInOrder) {
    const struct {
        const char* name;
        base::FolderConvention convention;
        const char* environment;  // NAME=VALUE ...; "NAME=" is set but empty
        const char* expected;     // nullptr: no folder
        UserFolder folder = UserFolder::data;
    } cases[] = {
        {"data home wins", freedesktop, "XDG_DATA_HOME=/x/data HOME=/home/p", "/x/data/zek-setup"},
        {"home without data home", freedesktop, "HOME=/home/p", "/home/p/.local/share/zek-setup"},
        {"empty data home counts as unset", freedesktop, "XDG_DATA_HOME= HOME=/home/p",
         "/home/p/.local/share/zek-setup"},
        {"relative data home is ignored", freedesktop, "XDG_DATA_HOME=data HOME=/home/p",
         "/home/p/.local/share/zek-setup"},
        {"relative home is no folder", freedesktop, "HOME=home", nullptr},
        {"nothing set", freedesktop, "", nullptr},
        {"windows ignores HOME", windows, "HOME=/home/p XDG_DATA_HOME=/x", nullptr},
        {"windows local app data", windows, "LOCALAPPDATA=/appdata", "/appdata/zek-setup"},
        {"config home wins", freedesktop,
         "XDG_CONFIG_HOME=/x/config XDG_DATA_HOME=/x/data HOME=/home/p", "/x/config/zek-setup",
         UserFolder::configuration},
        {"config under home", freedesktop, "XDG_DATA_HOME=/x/data HOME=/home/p",
         "/home/p/.config/zek-setup", UserFolder::configuration},
        {"windows roaming app data for configuration", windows,
         "LOCALAPPDATA=/local APPDATA=/roaming", "/roaming/zek-setup", UserFolder::configuration},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        std::map<std::string, std::filesystem::path> environment;
        std::istringstream words(test.environment);
        for (std::string word; words >> word;) {
            environment[word.substr(0, word.find('='))] = word.substr(word.find('=') + 1);
        }
        const auto lookup = [&](const char* name) -> std::optional<std::filesystem::path> {
            return environment.contains(name) ? std::optional(environment[name]) : std::nullopt;
        };
        ui::SystemError error;
        const auto folder = base::resolveUserFolder(test.folder, lookup, test.convention, error);
        EXPECT_EQ(folder, test.expected == nullptr
                              ? std::nullopt
                              : std::optional<std::filesystem::path>(test.expected));
        EXPECT_EQ(error.reason.empty(), folder.has_value());
    }
}

}  // namespace
