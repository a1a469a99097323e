#include "base/safe_file_system.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/safe_file.h"

namespace base::file_system {
namespace fs = std::filesystem;

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

}  // namespace base::file_system
