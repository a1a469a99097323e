#include <windows.h>

#include "adapter/link_state.h"
#include "adapter/modem_lines.h"

namespace adapter::modem {

namespace {

HANDLE toHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

bool setLine(std::intptr_t handle, Line line, bool on, SystemError& error) {
    DWORD function = 0;
    switch (line) {
        case Line::Rts:
            function = on ? SETRTS : CLRRTS;
            break;
        case Line::Dtr:
            function = on ? SETDTR : CLRDTR;
            break;
        case Line::Break:
            function = on ? SETBREAK : CLRBREAK;
            break;
    }
    if (EscapeCommFunction(toHandle(handle), function)) {
        return true;
    }
    error = SystemError{"EscapeCommFunction", static_cast<int>(GetLastError())};
    return false;
}

bool readStatus(std::intptr_t handle, std::uint32_t& status, SystemError& error) {
    DWORD lines = 0;
    if (!GetCommModemStatus(toHandle(handle), &lines)) {
        error = SystemError{"GetCommModemStatus", static_cast<int>(GetLastError())};
        return false;
    }
    status =
        ((lines & MS_CTS_ON) != 0 ? modemCtsOn : 0u) | ((lines & MS_DSR_ON) != 0 ? modemDsrOn : 0u);
    return true;
}

}  // namespace adapter::modem
