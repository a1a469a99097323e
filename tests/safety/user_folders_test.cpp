#include "base/user_folders.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using base::FolderConvention;
using base::UserFolder;

struct FolderCase {
    const char* name;
    FolderConvention convention;
    std::map<std::string, std::string> environment;
    const char* expected;  // nullptr: no folder
    UserFolder folder = UserFolder::data;
};

TEST(UserDataFolder, FollowsTheVariablesInOrder) {
    const FolderCase cases[] = {
        {"data home wins",
         FolderConvention::freedesktop,
         {{"XDG_DATA_HOME", "/x/data"}, {"HOME", "/home/p"}},
         "/x/data/zek-setup"},
        {"home without data home",
         FolderConvention::freedesktop,
         {{"HOME", "/home/p"}},
         "/home/p/.local/share/zek-setup"},
        {"empty data home counts as unset",
         FolderConvention::freedesktop,
         {{"XDG_DATA_HOME", ""}, {"HOME", "/home/p"}},
         "/home/p/.local/share/zek-setup"},
        {"relative data home is ignored",
         FolderConvention::freedesktop,
         {{"XDG_DATA_HOME", "data"}, {"HOME", "/home/p"}},
         "/home/p/.local/share/zek-setup"},
        {"relative home is no folder", FolderConvention::freedesktop, {{"HOME", "home"}}, nullptr},
        {"nothing set", FolderConvention::freedesktop, {}, nullptr},
        {"windows ignores HOME",
         FolderConvention::windows,
         {{"HOME", "/home/p"}, {"XDG_DATA_HOME", "/x"}},
         nullptr},
        {"windows local app data",
         FolderConvention::windows,
         {{"LOCALAPPDATA", "/appdata"}},
         "/appdata/zek-setup"},
        {"config home wins",
         FolderConvention::freedesktop,
         {{"XDG_CONFIG_HOME", "/x/config"}, {"XDG_DATA_HOME", "/x/data"}, {"HOME", "/home/p"}},
         "/x/config/zek-setup",
         UserFolder::configuration},
        {"config under home",
         FolderConvention::freedesktop,
         {{"XDG_DATA_HOME", "/x/data"}, {"HOME", "/home/p"}},
         "/home/p/.config/zek-setup",
         UserFolder::configuration},
        {"windows roaming app data for configuration",
         FolderConvention::windows,
         {{"LOCALAPPDATA", "/local"}, {"APPDATA", "/roaming"}},
         "/roaming/zek-setup",
         UserFolder::configuration},
    };
    for (const FolderCase& test : cases) {
        SCOPED_TRACE(test.name);
        const base::EnvironmentLookup lookup =
            [&](const char* name) -> std::optional<std::filesystem::path> {
            const auto found = test.environment.find(name);
            if (found == test.environment.end()) {
                return std::nullopt;
            }
            return std::filesystem::path(found->second);
        };
        ui::SystemError error;
        const auto folder = base::resolveUserFolder(test.folder, lookup, test.convention, error);
        if (test.expected == nullptr) {
            EXPECT_FALSE(folder.has_value());
            EXPECT_FALSE(error.reason.empty());
        } else {
            ASSERT_TRUE(folder.has_value()) << error.describe();
            EXPECT_EQ(*folder, std::filesystem::path(test.expected));
        }
    }
}

TEST(UserDataFolder, ProcessEnvironmentIsRead) {
    setenv("XDG_DATA_HOME", "/tmp/zek-safety-data-home", 1);
    ui::SystemError error;
    const auto folder = base::userDataFolder(error);
    unsetenv("XDG_DATA_HOME");
    ASSERT_TRUE(folder.has_value()) << error.describe();
    EXPECT_EQ(*folder, std::filesystem::path("/tmp/zek-safety-data-home/zek-setup"));
    // Resolving creates nothing.
    EXPECT_FALSE(std::filesystem::exists(*folder));
}

}  // namespace
