// Files the user must never lose half of: written to a temporary file in the same folder,
// flushed to the disk, then renamed over the old one, so a full disk, a pulled cable or a
// crash leaves either the old file or the new one, never a truncated mix.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "ui/system_error.h"

namespace base {

// Writes all of bytes to the open descriptor; 0, or the errno of the failure. The real one
// loops over write(); tests put a full disk here.
using WriteAllFunction = std::function<int(int descriptor, std::string_view bytes)>;

struct AtomicWriteOptions {
    // false: an existing file of that name is kept and the write fails with EEXIST.
    bool replaceExisting = true;
    // Empty: the system's write.
    WriteAllFunction writeAll;
};

// Creates the parent folders when missing. On failure nothing at path has changed, no
// temporary file is left behind and the error names the failing call: "create folder",
// "open", "write", "fsync", "rename" (ENOSPC from a full disk arrives as its own reason).
[[nodiscard]] ui::SystemError writeFileAtomically(const std::filesystem::path& path,
                                                  std::string_view content,
                                                  const AtomicWriteOptions& options = {});

// The whole file as bytes, refusing one larger than limitBytes (a foreign file chosen by
// mistake is not read into memory). nullopt with the reason in error.
[[nodiscard]] std::optional<std::string> readFileLimited(const std::filesystem::path& path,
                                                         std::uintmax_t limitBytes,
                                                         ui::SystemError& error);

// fopen for binary reading with the path's native characters (wide on Windows); nullptr
// with the reason in error.
[[nodiscard]] std::FILE* openForReading(const std::filesystem::path& path, ui::SystemError& error);

// The path as UTF-8 text, for messages and records (path.string() may throw on Windows).
std::string pathText(const std::filesystem::path& path);

// The system's write loop behind WriteAllFunction, for seams that fail only sometimes.
int writeAllToDescriptor(int descriptor, std::string_view bytes);

}  // namespace base
