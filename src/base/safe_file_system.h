// The few system calls of the atomic write that differ between the platforms, each
// wrapped once: safe_file_posix.cpp and safe_file_windows.cpp.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>

#include "ui/system_error.h"

namespace base::file_system {

int openExclusive(const std::filesystem::path& path);
int writeSome(int descriptor, const char* data, std::size_t size);
int syncDescriptor(int descriptor);
int closeDescriptor(int descriptor);
// Makes a rename durable where the system can; best effort.
void syncFolder(const std::filesystem::path& folder);
// Without replaceExisting an existing target is refused with EEXIST.
ui::SystemError renameFile(const std::filesystem::path& from, const std::filesystem::path& to,
                           bool replaceExisting);
std::FILE* openFileForReading(const std::filesystem::path& path);
long processNumber();

}  // namespace base::file_system
