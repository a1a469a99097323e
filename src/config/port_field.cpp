#include "config/port_field.h"

#include "config/config_file.h"

namespace config {

std::optional<std::string> portNameFromBytes(std::string_view bytes) {
    if (bytes.empty()) {
        return std::nullopt;
    }
    bytes = bytes.substr(0, portFieldLength);
    const std::size_t lineFeed = bytes.find('\n');
    if (lineFeed != std::string_view::npos) {
        bytes = bytes.substr(0, lineFeed + 1);
    }
    const std::size_t zero = bytes.find('\0');
    if (zero != std::string_view::npos) {
        bytes = bytes.substr(0, zero);
    }
    return std::string(bytes);
}

PortFieldRead readPortField(const std::string& directory) {
    PortFieldRead result;
    ConfigFile file;
    if (!file.open(directory, ConfigFile::Mode::CreateIfMissing)) {
        return result;
    }
    result.status = file.created() ? PortFileStatus::Created : PortFileStatus::Opened;
    result.portName = portNameFromBytes(file.readAt(portFieldOffset, portFieldLength));
    return result;
}

bool writePortField(const std::string& directory, std::string_view portName) {
    ConfigFile file;
    if (!file.open(directory)) {
        return false;
    }
    const std::string_view field = portName.substr(0, portFieldLength);
    const std::size_t zero = field.find('\0');
    const std::string_view text = field.substr(0, zero);
    return text.empty() || file.writeAt(portFieldOffset, text);
}

}  // namespace config
