#include "base/safe_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace base {
namespace fs = std::filesystem;
namespace {

// The few system calls that differ between the platforms, each wrapped once.
#ifdef _WIN32
int openExclusive(const fs::path& path) {
    return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int writeSome(int descriptor, const char* data, std::size_t size) {
    // _write takes an unsigned int count; large buffers go in pieces.
    const unsigned int piece = size > 0x40000000u ? 0x40000000u : unsigned(size);
    return _write(descriptor, data, piece);
}
int syncDescriptor(int descriptor) {
    return _commit(descriptor);
}
int closeDescriptor(int descriptor) {
    return _close(descriptor);
}
void syncFolder(const fs::path&) {}
// MoveFileEx is the one rename that replaces an existing file on Windows; without
// MOVEFILE_REPLACE_EXISTING it refuses to, which is the no-overwrite case.
ui::SystemError renameFile(const fs::path& from, const fs::path& to, bool replaceExisting) {
    DWORD flags = MOVEFILE_WRITE_THROUGH;
    if (replaceExisting) {
        flags |= MOVEFILE_REPLACE_EXISTING;
    }
    if (MoveFileExW(from.c_str(), to.c_str(), flags)) {
        return {};
    }
    const DWORD code = GetLastError();
    if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) {
        return ui::errnoError(pathText(to), "rename", EEXIST);
    }
    return ui::SystemError{pathText(to), "MoveFileExW", int(code),
                           std::system_category().message(int(code))};
}
std::FILE* openFileForReading(const fs::path& path) {
    return _wfopen(path.c_str(), L"rb");
}
long processNumber() {
    return long(GetCurrentProcessId());
}
#else
int openExclusive(const fs::path& path) {
    int descriptor;
    do {
        descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}
int writeSome(int descriptor, const char* data, std::size_t size) {
    return int(::write(descriptor, data, size));
}
int syncDescriptor(int descriptor) {
    return ::fsync(descriptor);
}
int closeDescriptor(int descriptor) {
    return ::close(descriptor);
}
// The rename itself is made durable by syncing the folder that holds the name; some file
// systems cannot, and the file's own contents are already on the disk, so this is best effort.
void syncFolder(const fs::path& folder) {
    const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}
ui::SystemError renameFile(const fs::path& from, const fs::path& to, bool replaceExisting) {
    if (replaceExisting) {
        if (::rename(from.c_str(), to.c_str()) == 0) {
            return {};
        }
        const int code = errno;
        return ui::errnoError(pathText(to), "rename", code);
    }
    // A hard link is the portable rename that refuses an existing name atomically.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return {};
    }
    const int code = errno;
    if (code == EEXIST) {
        return ui::errnoError(pathText(to), "link", code);
    }
    // File systems without hard links (FAT on a memory stick): check, then rename. Two of
    // our own processes racing for one name within this gap is the only loss, and unlikely.
    std::error_code ignored;
    if (fs::exists(to, ignored)) {
        return ui::errnoError(pathText(to), "rename", EEXIST);
    }
    if (::rename(from.c_str(), to.c_str()) == 0) {
        return {};
    }
    const int renameCode = errno;
    return ui::errnoError(pathText(to), "rename", renameCode);
}
std::FILE* openFileForReading(const fs::path& path) {
    return std::fopen(path.c_str(), "rbe");
}
long processNumber() {
    return long(::getpid());
}
#endif

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
