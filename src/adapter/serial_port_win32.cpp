// The Win32 serial back-end's steps, written against CommCalls only, so that they build
// and are tested on any system.
#include "adapter/serial_port_win32.h"

#include <utility>

namespace adapter::win32 {

namespace {

constexpr std::uint32_t baudRate = 9600;
constexpr std::uint8_t dataBits = 8;
constexpr std::uint8_t noParity = 0;
constexpr std::uint8_t oneStopBit = 0;
constexpr std::uint8_t lineControlDisabled = 0;  // DTR_CONTROL_DISABLE, RTS_CONTROL_DISABLE

// Nothing is ever read, but a read must never block: interval 3 ms, total 5 ms.
constexpr CommTimeouts readTimeouts{.readIntervalMs = 3, .readTotalConstantMs = 5};

// The driver must leave RTS and DTR to us and never hold anything back on CTS, DSR or
// XON/XOFF: every form of flow control is off.
void setAdapterSettings(CommSettings& settings) {
    settings.baudRate = baudRate;
    settings.byteSize = dataBits;
    settings.parity = noParity;
    settings.stopBits = oneStopBit;
    settings.ctsFlow = false;
    settings.dsrFlow = false;
    settings.dsrSensitivity = false;
    settings.xonXoffOut = false;
    settings.xonXoffIn = false;
    settings.dtrControl = lineControlDisabled;
    settings.rtsControl = lineControlDisabled;
}

}  // namespace

std::string devicePath(const std::string& portName) {
    // A path ("\\.\COM3", "C:\ports\x") is opened as it stands.
    if (portName.find_first_of("\\/:") != std::string::npos) {
        return portName;
    }
    return "\\\\.\\" + portName;
}

ui::SystemError commError(CommCalls& calls, const std::string& portName, const char* call) {
    const std::uint32_t code = calls.lastError();
    return ui::SystemError{portName, call, static_cast<int>(code), calls.errorText(code)};
}

CommLines::CommLines(CommCalls& calls, CommHandle handle, std::string portName)
    : m_calls(calls), m_handle(handle), m_portName(std::move(portName)) {}

CommLines::~CommLines() {
    m_calls.closeHandle(m_handle);
}

void CommLines::escape(CommFunction function) {
    if (!failed() && !m_calls.escapeCommFunction(m_handle, function)) {
        m_error = commError(m_calls, m_portName, "EscapeCommFunction");
    }
}

std::uint32_t CommLines::readModemStatus() {
    std::uint32_t lines = 0;
    if (failed()) {
        return 0;
    }
    if (!m_calls.getCommModemStatus(m_handle, lines)) {
        m_error = commError(m_calls, m_portName, "GetCommModemStatus");
        return 0;
    }
    // The link knows CTS and DSR by the same bits as the system reports them.
    return lines & (modemCtsOn | modemDsrOn);
}

std::unique_ptr<LineAccess> CommPortFactory::open(const std::string& deviceName,
                                                  SerialOpenResult& result,
                                                  ui::SystemError& error) {
    auto fail = [&](SerialOpenResult reason, const char* call) {
        error = commError(m_calls, deviceName, call);
        result = reason;
        return nullptr;
    };
    error = {};
    const CommHandle handle = m_calls.createFile(devicePath(deviceName));
    if (handle == invalidCommHandle) {
        return fail(SerialOpenResult::CannotOpen, "CreateFileW");
    }
    // From here on the lines own the handle: a failed step closes it with them.
    auto lines = std::make_unique<CommLines>(m_calls, handle, deviceName);
    CommSettings settings;
    if (!m_calls.getCommState(handle, settings)) {
        return fail(SerialOpenResult::CannotReadSettings, "GetCommState");
    }
    setAdapterSettings(settings);
    if (!m_calls.setCommState(handle, settings)) {
        return fail(SerialOpenResult::CannotWriteSettings, "SetCommState");
    }
    if (!m_calls.setCommTimeouts(handle, readTimeouts)) {
        return fail(SerialOpenResult::CannotWriteTimeouts, "SetCommTimeouts");
    }
    result = SerialOpenResult::Ok;
    return lines;
}

}  // namespace adapter::win32
