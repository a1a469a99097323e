#include "shell/backend_switch.h"

namespace shell {

std::uint64_t BackendSwitch::nowNs() {
    return clock().nowNs();
}

void BackendSwitch::waitUntilNs(std::uint64_t deadlineNs) {
    clock().waitUntilNs(deadlineNs);
}

void BackendSwitch::waitServingUntilNs(std::uint64_t deadlineNs, std::uint64_t sliceNs,
                                       const std::function<void()>& serve) {
    clock().waitServingUntilNs(deadlineNs, sliceNs, serve);
}

std::uint32_t BackendSwitch::tickCount() {
    return clock().tickCount();
}

std::unique_ptr<adapter::LineAccess> BackendSwitch::open(const std::string& deviceName,
                                                         adapter::SerialOpenResult& result,
                                                         ui::SystemError& error) {
    if (m_backends.serialPorts == nullptr) {
        result = adapter::SerialOpenResult::CannotOpen;
        return nullptr;
    }
    return m_backends.serialPorts->open(deviceName, result, error);
}

std::string BackendSwitch::devicePath(const std::string& deviceName) const {
    return m_backends.serialPorts != nullptr ? m_backends.serialPorts->devicePath(deviceName)
                                             : deviceName;
}

// Without a parallel back-end every access fails, which the line driver reports as a
// driver access error.
bool BackendSwitch::writeData(std::uint16_t base, std::uint8_t value) {
    return m_backends.portIo != nullptr && m_backends.portIo->writeData(base, value);
}

bool BackendSwitch::readWord(std::uint16_t base, std::uint16_t& word) {
    return m_backends.portIo != nullptr && m_backends.portIo->readWord(base, word);
}

bool BackendSwitch::readControl(std::uint16_t base, std::uint8_t& value) {
    return m_backends.portIo != nullptr && m_backends.portIo->readControl(base, value);
}

bool BackendSwitch::writeControl(std::uint16_t base, std::uint8_t value) {
    return m_backends.portIo != nullptr && m_backends.portIo->writeControl(base, value);
}

}  // namespace shell
