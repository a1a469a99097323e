#include <windows.h>

#include "adapter/link_state.h"
#include "adapter/modem_lines.h"

namespace adapter::modem {

namespace {

HANDLE toHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// The failed call with GetLastError() and the system's text for it.
ui::SystemError lastError(const char* call) {
    const DWORD code = GetLastError();
    char text[256] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, sizeof text, nullptr);
    // The system's texts end in a line break that a detail line does not want.
    while (length > 0 &&
           (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == '.')) {
        --length;
    }
    return ui::SystemError{{}, call, static_cast<int>(code), std::string(text, length)};
}

}  // namespace

bool setLine(std::intptr_t handle, Line line, bool on, ui::SystemError& error) {
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
    error = lastError("EscapeCommFunction");
    return false;
}

bool readStatus(std::intptr_t handle, std::uint32_t& status, ui::SystemError& error) {
    DWORD lines = 0;
    if (!GetCommModemStatus(toHandle(handle), &lines)) {
        error = lastError("GetCommModemStatus");
        return false;
    }
    status =
        ((lines & MS_CTS_ON) != 0 ? modemCtsOn : 0u) | ((lines & MS_DSR_ON) != 0 ? modemDsrOn : 0u);
    return true;
}

}  // namespace adapter::modem
