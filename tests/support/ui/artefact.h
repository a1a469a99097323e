// Pictures a test leaves for whoever looks at the run, in ZEK_TEST_OUTPUT when it is set.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace testing_support {

// Where the artefact name goes (its folder made), or nullopt when nobody asked for them.
inline std::optional<std::filesystem::path> artefactPath(const std::string& name) {
    const char* folder = std::getenv("ZEK_TEST_OUTPUT");
    if (folder == nullptr) {
        return std::nullopt;
    }
    std::string directory = folder;
#ifdef _WIN32
    // Wine hands the Unix folder over as it is; its drive Z: is the Unix root.
    if (!directory.empty() && directory[0] == '/') {
        directory = "Z:" + directory;
    }
#endif
    std::filesystem::create_directories(directory);
    return std::filesystem::path(directory) / name;
}

}  // namespace testing_support
