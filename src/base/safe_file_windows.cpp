#include "base/safe_file_system.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "base/safe_file.h"

namespace base::file_system {
namespace fs = std::filesystem;

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

}  // namespace base::file_system
