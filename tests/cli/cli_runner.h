// Runs zek-cli in-process with captured output, in a directory of its own.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/json.h"
#include "cli/run.h"
#include "config/temp_directory.h"
#include "sim/setup_memory.h"
#if defined(_WIN32)
#include "adapter/serial_port_win32.h"
#endif

namespace cli_test {

using testing::HasSubstr;
using testing::StartsWith;
using testing_support::TempDirectory;

constexpr auto npos = std::string::npos;

// The detail line's text for a device path that does not exist, in the system's words.
inline std::string missingDeviceDetail(const std::string& path) {
#if defined(_WIN32)
    // ERROR_FILE_NOT_FOUND in a folder that exists, else ERROR_PATH_NOT_FOUND.
    const bool folderExists = std::filesystem::exists(std::filesystem::path(path).parent_path());
    return path + ": CreateFileW failed: " +
           adapter::win32::systemCommCalls().errorText(folderExists ? 2 : 3);
#else
    return path + ": open failed: No such file or directory";
#endif
}

// What a shell command prints on standard output; status: what pclose returned.
inline std::string commandOutput(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t count; pipe != nullptr && (count = std::fread(buffer, 1, 4096, pipe)) > 0;) {
        out.append(buffer, count);
    }
    const int closed = pipe != nullptr ? pclose(pipe) : -1;
    if (status != nullptr) {
        *status = closed;
    }
    return out;
}

struct Outcome {
    int exit = -1;
    std::string out;
    std::string err;
};

// The user's data folder of a test: the backups and the update record of its runs.
inline std::string dataFolder(const TempDirectory& dir) {
    return dir.path() + "/data/zek-setup";
}

// The data folder's root is XDG_DATA_HOME here, LOCALAPPDATA on Windows.
inline void useDataFolderOf(const TempDirectory& dir) {
    const std::string root = dir.path() + "/data";
#if defined(_WIN32)
    _putenv_s("LOCALAPPDATA", root.c_str());
#else
    ::setenv("XDG_DATA_HOME", root.c_str(), 1);
#endif
}

// Every run gets --dir, so qvsetup.cfg lands in the test's directory, and the test's own
// data folder, so no backup or update record of another test is seen.
inline Outcome runCli(const TempDirectory& dir, std::vector<std::string> args,
                      const std::string& input = "", bool interactive = false) {
    useDataFolderOf(dir);
    args.insert(args.begin(), {"--dir", dir.path()});
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in(input);
    Outcome outcome;
    outcome.exit = cli::run(args, cli::Console{out, err, in, interactive});
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

// A run written as one line: the words split at blanks, "@name" standing for that file in
// the test's directory (its path may hold blanks).
inline Outcome runCli(const TempDirectory& dir, const char* line, const std::string& input = "",
                      bool interactive = false) {
    std::vector<std::string> args;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
        args.push_back(word.starts_with('@') ? dir.file(word.substr(1)) : word);
    }
    return runCli(dir, std::move(args), input, interactive);
}

// The --json report of a run.
inline cli::json::Value report(const Outcome& outcome) {
    cli::json::ParseResult parsed = cli::json::parse(outcome.out);
    EXPECT_TRUE(parsed.value) << parsed.error << "\n" << outcome.out;
    return parsed.value.value_or(cli::json::Value::object());
}

// A setup memory written by --sim-save.
inline sim::SetupBytes readMemory(const TempDirectory& dir, const std::string& name) {
    const std::string bytes = dir.read(name);
    sim::SetupBytes memory{};
    EXPECT_EQ(bytes.size(), memory.size()) << name;
    std::copy_n(bytes.begin(), std::min(bytes.size(), memory.size()), memory.begin());
    return memory;
}

// Address → new value, for every byte that differs.
inline std::map<int, int> differences(const sim::SetupBytes& before, const sim::SetupBytes& after) {
    std::map<int, int> changed;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] != after[i]) {
            changed[static_cast<int>(i)] = after[i];
        }
    }
    return changed;
}

}  // namespace cli_test
