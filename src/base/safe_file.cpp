#include "base/safe_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <system_error>

#include "base/safe_file_system.h"

namespace base {
namespace fs = std::filesystem;
using namespace file_system;
namespace {

ui::SystemError filesystemError(const fs::path& subject, std::string call,
                                const std::error_code& code) {
    return ui::SystemError{pathText(subject), std::move(call), code.value(), code.message()};
}

// A name in the same folder (so the rename stays on one file system), hidden, and unique
// to this process and call so two writers never share one.
fs::path temporaryNameFor(const fs::path& path) {
    static std::atomic<unsigned> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::string suffix = ".tmp" + std::to_string(processNumber()) + "-" +
                               std::to_string(counter++) + "-" + std::to_string(ticks % 100000);
    fs::path name = path;
    name.replace_filename("." + pathText(path.filename()) + suffix);
    return name;
}

}  // namespace

std::string pathText(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

int writeAllToDescriptor(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const int written = writeSome(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (written == 0) {
            return ENOSPC;  // a write that stores nothing and reports no error: the disk is full
        }
        bytes.remove_prefix(std::size_t(written));
    }
    return 0;
}

ui::SystemError writeFileAtomically(const fs::path& path, std::string_view content,
                                    const AtomicWriteOptions& options) {
    const fs::path folder = path.parent_path();
    if (!folder.empty()) {
        std::error_code code;
        fs::create_directories(folder, code);
        if (code) {
            return filesystemError(folder, "create folder", code);
        }
    }

    fs::path temporary;
    int descriptor = -1;
    // A clash with a leftover of the same name is retried under a fresh name.
    for (int attempt = 0; attempt < 8 && descriptor < 0; ++attempt) {
        temporary = temporaryNameFor(path);
        descriptor = openExclusive(temporary);
        if (descriptor < 0 && errno != EEXIST) {
            break;
        }
    }
    if (descriptor < 0) {
        const int code = errno;
        return ui::errnoError(pathText(temporary), "open", code);
    }

    const auto abandon = [&](ui::SystemError error) {
        closeDescriptor(descriptor);
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return error;
    };
    const WriteAllFunction& writeAll =
        options.writeAll ? options.writeAll : WriteAllFunction(writeAllToDescriptor);
    if (const int code = writeAll(descriptor, content); code != 0) {
        return abandon(ui::errnoError(pathText(temporary), "write", code));
    }
    if (syncDescriptor(descriptor) != 0) {
        const int code = errno;
        return abandon(ui::errnoError(pathText(temporary), "fsync", code));
    }
    // Some file systems report a failed delayed write only at close.
    if (closeDescriptor(descriptor) != 0) {
        const int code = errno;
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return ui::errnoError(pathText(temporary), "close", code);
    }
    if (ui::SystemError error = renameFile(temporary, path, options.replaceExisting);
        !error.empty()) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return error;
    }
    syncFolder(folder);
    return {};
}

std::FILE* openForReading(const fs::path& path, ui::SystemError& error) {
    errno = 0;
    std::FILE* file = openFileForReading(path);
    if (file == nullptr) {
        const int code = errno != 0 ? errno : ENOENT;
        error = ui::errnoError(pathText(path), "open", code);
    }
    return file;
}

std::optional<std::string> readFileLimited(const fs::path& path, std::uintmax_t limitBytes,
                                           ui::SystemError& error) {
    std::FILE* file = openForReading(path, error);
    if (file == nullptr) {
        return std::nullopt;
    }
    std::string content;
    char chunk[8192];
    // One byte beyond the limit is enough to know the file is too large.
    while (content.size() <= limitBytes) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
        content.append(chunk, got);
        if (got < sizeof chunk) {
            break;
        }
    }
    const bool failed = std::ferror(file) != 0;
    const int code = errno;
    std::fclose(file);
    if (failed) {
        error = ui::errnoError(pathText(path), "read", code != 0 ? code : EIO);
        return std::nullopt;
    }
    if (content.size() > limitBytes) {
        error = ui::SystemError{pathText(path), "", EFBIG,
                                "larger than " + std::to_string(limitBytes / 1024) +
                                    " KiB: not a file of this program"};
        return std::nullopt;
    }
    return content;
}

}  // namespace base
