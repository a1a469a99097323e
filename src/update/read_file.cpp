#include "update/read_file.h"

#include <cstdio>
#include <memory>

namespace update {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::optional<std::string> readUpdateFileBytes(const std::string& path) {
    const FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[16384];
    for (;;) {
        const std::size_t count = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, count);
        if (bytes.size() > maxUpdateFileBytes) {
            return std::nullopt;
        }
        if (count < sizeof buffer) {
            break;
        }
    }
    if (std::ferror(file.get()) != 0) {
        return std::nullopt;
    }
    return bytes;
}

bool updateFileOpens(const std::string& path) {
    return !path.empty() && FileHandle(std::fopen(path.c_str(), "rb")) != nullptr;
}

}  // namespace update
