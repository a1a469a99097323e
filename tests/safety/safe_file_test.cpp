#include "base/safe_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <tuple>

#include "config/temp_directory.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDirectory;

// The call that puts the new file in place.
#if defined(_WIN32)
constexpr const char* replaceCall = "MoveFileExW";
#else
constexpr const char* replaceCall = "rename";
#endif

TEST(AtomicWrite, CreatesFoldersAndReplacesTheOldFile) {
    TempDirectory folder;
    const fs::path path = folder / "a/b/settings.json";
    ASSERT_TRUE(base::writeFileAtomically(path, "old").empty());
    ASSERT_TRUE(base::writeFileAtomically(path, "new content").empty());
    EXPECT_EQ(folder.read("a/b/settings.json"), "new content");
    EXPECT_EQ(folder.names("a/b"), std::vector<std::string>{"settings.json"});
}

TEST(AtomicWrite, KeepExistingRefusesTheName) {
    TempDirectory folder;
    const fs::path path = folder / "backup.json";
    folder.write("backup.json", "first");
    base::AtomicWriteOptions keep;
    keep.replaceExisting = false;
    const ui::SystemError error = base::writeFileAtomically(path, "second", keep);
    EXPECT_EQ(error.code, EEXIST);
    EXPECT_EQ(folder.read("backup.json"), "first");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"backup.json"});

    EXPECT_TRUE(base::writeFileAtomically(folder / "other.json", "x", keep).empty());
}

// A failed write must leave the old file exactly as it was and no temporary file beside it.
TEST(AtomicWrite, AFailedWriteKeepsTheOldFileWhole) {
    TempDirectory folder;
    folder.write("settings.json", "the pilot's settings");
    const auto diskFullAfterAFewBytes = [](int descriptor, std::string_view bytes) {
        const int code = base::writeAllToDescriptor(descriptor, bytes.substr(0, 3));
        return code != 0 ? code : ENOSPC;
    };
    const ui::SystemError error =
        base::writeFileAtomically(folder / "settings.json", "a much longer new content",
                                  base::AtomicWriteOptions{.writeAll = diskFullAfterAFewBytes});
    EXPECT_EQ(std::tie(error.code, error.call, error.reason),
              std::make_tuple(ENOSPC, "write", std::string(std::strerror(ENOSPC))));
    EXPECT_EQ(folder.read("settings.json"), "the pilot's settings");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"settings.json"});
}

TEST(AtomicWrite, FolderThatCannotExist) {
    // Tests run as root, so permissions stop nothing; a regular file in the path does.
    TempDirectory folder;
    folder.write("plain", "a file, not a folder");
    ui::SystemError error = base::writeFileAtomically(folder / "plain/backups/x.json", "x");
    EXPECT_EQ(error.call, "create folder");
    EXPECT_EQ(error.code, ENOTDIR);
    EXPECT_NE(error.describe().find("plain"), std::string::npos);

    // A folder of the kernel's that takes no new files.
    error = base::writeFileAtomically("/proc/zek-safety-test.json", "x");
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.call, "open");
    EXPECT_FALSE(fs::exists("/proc/zek-safety-test.json"));
}

TEST(AtomicWrite, AFolderInTheWayIsNotReplaced) {
    TempDirectory folder;
    fs::create_directories(folder / "settings.json/inside");
    const ui::SystemError error = base::writeFileAtomically(folder / "settings.json", "x");
    EXPECT_EQ(error.call, replaceCall);
    EXPECT_TRUE(fs::is_directory(folder / "settings.json/inside"));
    EXPECT_EQ(folder.names(), std::vector<std::string>{"settings.json"});
}

TEST(ReadLimited, RefusesLargeFilesAndNamesMissingOnes) {
    TempDirectory folder;
    folder.write("exact", std::string(1024, 'x'));
    folder.write("over", std::string(1025, 'x'));
    ui::SystemError error;
    const auto exact = base::readFileLimited(folder / "exact", 1024, error);
    ASSERT_TRUE(exact.has_value()) << error.describe();
    EXPECT_EQ(exact->size(), 1024u);

    EXPECT_FALSE(base::readFileLimited(folder / "over", 1024, error).has_value());
    EXPECT_EQ(error.code, EFBIG);

    error = {};
    EXPECT_FALSE(base::readFileLimited(folder / "missing", 1024, error).has_value());
    EXPECT_EQ(error.code, ENOENT);

    error = {};
    EXPECT_FALSE(base::readFileLimited(folder / "", 1024, error).has_value());
    EXPECT_FALSE(error.empty());
}

}  // namespace
