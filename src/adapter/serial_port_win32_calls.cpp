// CommCalls bound to the system's communications calls (Windows builds only).
#include <windows.h>

#include <cstring>

#include "adapter/serial_port_win32.h"

namespace adapter::win32 {

static_assert(static_cast<DWORD>(CommFunction::SetRts) == SETRTS);
static_assert(static_cast<DWORD>(CommFunction::ClearRts) == CLRRTS);
static_assert(static_cast<DWORD>(CommFunction::SetDtr) == SETDTR);
static_assert(static_cast<DWORD>(CommFunction::ClearDtr) == CLRDTR);
static_assert(static_cast<DWORD>(CommFunction::SetBreak) == SETBREAK);
static_assert(static_cast<DWORD>(CommFunction::ClearBreak) == CLRBREAK);
static_assert(modemCtsOn == MS_CTS_ON && modemDsrOn == MS_DSR_ON);
static_assert(NOPARITY == 0 && ONESTOPBIT == 0);
static_assert(DTR_CONTROL_DISABLE == 0 && RTS_CONTROL_DISABLE == 0);
static_assert(sizeof(DCB) <= sizeof(CommSettings::native));

namespace {

HANDLE toHandle(CommHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

std::wstring toWide(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

std::string toUtf8(const wchar_t* text, int length) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

class SystemCommCalls final : public CommCalls {
  public:
    CommHandle createFile(const std::string& path) override {
        HANDLE handle = CreateFileW(toWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        return handle == INVALID_HANDLE_VALUE ? invalidCommHandle
                                              : reinterpret_cast<CommHandle>(handle);
    }

    bool getCommState(CommHandle handle, CommSettings& settings) override {
        DCB block{};
        block.DCBlength = sizeof block;
        if (!GetCommState(toHandle(handle), &block)) {
            return false;
        }
        std::memcpy(settings.native.data(), &block, sizeof block);
        settings.baudRate = block.BaudRate;
        settings.byteSize = block.ByteSize;
        settings.parity = block.Parity;
        settings.stopBits = block.StopBits;
        settings.ctsFlow = block.fOutxCtsFlow != 0;
        settings.dsrFlow = block.fOutxDsrFlow != 0;
        settings.dsrSensitivity = block.fDsrSensitivity != 0;
        settings.xonXoffOut = block.fOutX != 0;
        settings.xonXoffIn = block.fInX != 0;
        settings.dtrControl = static_cast<std::uint8_t>(block.fDtrControl);
        settings.rtsControl = static_cast<std::uint8_t>(block.fRtsControl);
        return true;
    }

    bool setCommState(CommHandle handle, const CommSettings& settings) override {
        DCB block;
        std::memcpy(&block, settings.native.data(), sizeof block);
        block.BaudRate = settings.baudRate;
        block.ByteSize = settings.byteSize;
        block.Parity = settings.parity;
        block.StopBits = settings.stopBits;
        block.fOutxCtsFlow = settings.ctsFlow;
        block.fOutxDsrFlow = settings.dsrFlow;
        block.fDsrSensitivity = settings.dsrSensitivity;
        block.fOutX = settings.xonXoffOut;
        block.fInX = settings.xonXoffIn;
        block.fDtrControl = settings.dtrControl;
        block.fRtsControl = settings.rtsControl;
        return SetCommState(toHandle(handle), &block) != 0;
    }

    bool setCommTimeouts(CommHandle handle, const CommTimeouts& timeouts) override {
        COMMTIMEOUTS values{};
        values.ReadIntervalTimeout = timeouts.readIntervalMs;
        values.ReadTotalTimeoutMultiplier = timeouts.readTotalMultiplierMs;
        values.ReadTotalTimeoutConstant = timeouts.readTotalConstantMs;
        values.WriteTotalTimeoutMultiplier = timeouts.writeTotalMultiplierMs;
        values.WriteTotalTimeoutConstant = timeouts.writeTotalConstantMs;
        return SetCommTimeouts(toHandle(handle), &values) != 0;
    }

    bool escapeCommFunction(CommHandle handle, CommFunction function) override {
        return EscapeCommFunction(toHandle(handle), static_cast<DWORD>(function)) != 0;
    }

    bool getCommModemStatus(CommHandle handle, std::uint32_t& status) override {
        DWORD lines = 0;
        if (!GetCommModemStatus(toHandle(handle), &lines)) {
            return false;
        }
        status = lines;
        return true;
    }

    void closeHandle(CommHandle handle) override { CloseHandle(toHandle(handle)); }

    std::uint32_t lastError() override { return GetLastError(); }

    std::string errorText(std::uint32_t code) override {
        wchar_t* buffer = nullptr;
        const DWORD length =
            FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
        if (length == 0 || buffer == nullptr) {
            return "error " + std::to_string(code);
        }
        std::string text = toUtf8(buffer, static_cast<int>(length));
        LocalFree(buffer);
        // The system's texts end with a line break (and sometimes a full stop before it).
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                                 text.back() == '.')) {
            text.pop_back();
        }
        return text;
    }
};

}  // namespace

CommCalls& systemCommCalls() {
    static SystemCommCalls calls;
    return calls;
}

}  // namespace adapter::win32
