// The port field at the start of qvsetup.cfg: what dialog initialisation reads and
// writes back, and what the End sequence saves.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace config {

enum class PortFileStatus {
    Opened,       // the file was there
    Created,      // the file was missing and has been created empty
    Unavailable,  // neither opened nor created: keep the preset port, skip the write-back
};

struct PortFieldRead {
    PortFileStatus status = PortFileStatus::Unavailable;
    // At most 4 characters; nullopt when nothing could be read (empty file).
    std::optional<std::string> portName;
};

// The port name as read from the file's first bytes: at most 4 characters, up to and
// including a line feed, cut at a zero byte. nullopt for no bytes at all.
std::optional<std::string> portNameFromBytes(std::string_view bytes);

// Dialog initialisation: opens qvsetup.cfg in directory, creating it empty when missing,
// and reads the port field.
PortFieldRead readPortField(const std::string& directory);

// Writes the first 4 characters of portName at offset 0 and nothing else (nothing at all
// for an empty name). Never creates the file; false when it cannot be opened.
bool writePortField(const std::string& directory, std::string_view portName);

}  // namespace config
