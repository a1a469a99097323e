#include "adapter/link_state.h"
#include "adapter/modem_lines.h"

namespace adapter::modem {

void HandleLines::fail() {
    m_failed = true;
    m_error.subject = m_device;
}

void HandleLines::change(Line line, bool on) {
    if (!m_failed && !setLine(m_handle, line, on, m_error)) {
        fail();
    }
}

std::uint32_t HandleLines::readModemStatus() {
    std::uint32_t status = 0;
    if (!m_failed && !readStatus(m_handle, status, m_error)) {
        fail();
    }
    return status;
}

int HandleLines::readDataIn() {
    return (readModemStatus() & modemCtsOn) != 0 ? 1 : 0;
}

bool HandleLines::readLoopBack() {
    return (readModemStatus() & modemDsrOn) != 0;
}

}  // namespace adapter::modem
