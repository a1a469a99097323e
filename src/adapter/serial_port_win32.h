// The serial adapter on a real port through the Win32 communications calls, for the
// Windows build of zek-cli. Only the modem-control lines are used; no data byte is ever
// sent or read.
//
//   PC port          adapter
//   RTS   ---------> CLOCK       EscapeCommFunction(SETRTS / CLRRTS)
//   DTR   ---------> DATA-OUT    EscapeCommFunction(SETDTR / CLRDTR), looped back to DSR
//   TXD   (break) -> RESET       EscapeCommFunction(SETBREAK / CLRBREAK)
//   CTS   <--------- DATA-IN     GetCommModemStatus (MS_CTS_ON)
//   DSR   <--------- DTR         GetCommModemStatus (MS_DSR_ON)
//
// The calls sit behind CommCalls so that the opening steps and the one-call-per-change
// rule are tested anywhere with a fake; serial_port_win32_calls.cpp binds them to the
// system and is built for Windows only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "adapter/serial_port.h"
#include "ui/system_error.h"

namespace adapter::win32 {

// EscapeCommFunction's codes and GetCommModemStatus's bits, by their Windows values; the
// binding checks each against windows.h.
enum class CommFunction : std::uint32_t {
    SetRts = 3,
    ClearRts = 4,
    SetDtr = 5,
    ClearDtr = 6,
    SetBreak = 8,
    ClearBreak = 9,
};
inline constexpr std::uint32_t modemCtsOn = 0x10;  // MS_CTS_ON
inline constexpr std::uint32_t modemDsrOn = 0x20;  // MS_DSR_ON

// The device control block's fields this back-end sets. `native` holds the whole block as
// GetCommState read it, so that SetCommState writes every other field back unchanged.
struct CommSettings {
    std::uint32_t baudRate = 0;
    std::uint8_t byteSize = 0;
    std::uint8_t parity = 0;    // NOPARITY is 0
    std::uint8_t stopBits = 0;  // ONESTOPBIT is 0
    bool ctsFlow = false;       // fOutxCtsFlow
    bool dsrFlow = false;       // fOutxDsrFlow
    bool dsrSensitivity = false;
    bool xonXoffOut = false;      // fOutX
    bool xonXoffIn = false;       // fInX
    std::uint8_t dtrControl = 0;  // DTR_CONTROL_DISABLE is 0
    std::uint8_t rtsControl = 0;  // RTS_CONTROL_DISABLE is 0
    std::array<std::byte, 64> native{};
};

struct CommTimeouts {
    std::uint32_t readIntervalMs = 0;
    std::uint32_t readTotalMultiplierMs = 0;
    std::uint32_t readTotalConstantMs = 0;
    std::uint32_t writeTotalMultiplierMs = 0;
    std::uint32_t writeTotalConstantMs = 0;
};

using CommHandle = std::intptr_t;
inline constexpr CommHandle invalidCommHandle = -1;  // INVALID_HANDLE_VALUE

// The Win32 calls the back-end makes, one member each.
class CommCalls {
  public:
    virtual ~CommCalls() = default;
    // CreateFileW(path as UTF-16, read and write, no sharing, open existing).
    virtual CommHandle createFile(const std::string& path) = 0;
    virtual bool getCommState(CommHandle handle, CommSettings& settings) = 0;
    virtual bool setCommState(CommHandle handle, const CommSettings& settings) = 0;
    virtual bool setCommTimeouts(CommHandle handle, const CommTimeouts& timeouts) = 0;
    virtual bool escapeCommFunction(CommHandle handle, CommFunction function) = 0;
    virtual bool getCommModemStatus(CommHandle handle, std::uint32_t& status) = 0;
    virtual void closeHandle(CommHandle handle) = 0;
    // GetLastError() right after a failed call, and FormatMessage's text for a code.
    virtual std::uint32_t lastError() = 0;
    virtual std::string errorText(std::uint32_t code) = 0;
};

// The system's calls (Windows builds only).
CommCalls& systemCommCalls();

// "COM12" -> "\\.\COM12": the device namespace opens COM10 and above too. A path
// ("\\.\COM3", "C:\dev\port") stays as it is.
std::string devicePath(const std::string& portName);

// The error value for a failed call: the port, the call, the Windows error code and its
// text.
ui::SystemError commError(CommCalls& calls, const std::string& portName, const char* call);

// The adapter's lines on an open port; the handle is closed with them. The first failed
// call makes the lines failed(): from then on nothing reaches the port and reads give 0.
class CommLines final : public LineAccess {
  public:
    CommLines(CommCalls& calls, CommHandle handle, std::string portName);
    ~CommLines() override;
    CommLines(const CommLines&) = delete;
    CommLines& operator=(const CommLines&) = delete;

    void setClock(bool high) override {
        escape(high ? CommFunction::SetRts : CommFunction::ClearRts);
    }
    void setDataOut(bool high) override {
        escape(high ? CommFunction::SetDtr : CommFunction::ClearDtr);
    }
    void setReset(bool high) override {
        escape(high ? CommFunction::SetBreak : CommFunction::ClearBreak);
    }
    int readDataIn() override { return (readModemStatus() & modemCtsOn) != 0 ? 1 : 0; }
    bool readLoopBack() override { return (readModemStatus() & modemDsrOn) != 0; }
    std::uint32_t readModemStatus() override;
    const ui::SystemError* fault() const override { return m_error.empty() ? nullptr : &m_error; }

  private:
    void escape(CommFunction function);

    CommCalls& m_calls;
    CommHandle m_handle;
    std::string m_portName;
    ui::SystemError m_error;
};

class CommPortFactory final : public SerialPortFactory {
  public:
    explicit CommPortFactory(CommCalls& calls = systemCommCalls()) : m_calls(calls) {}

    // Opening steps and their results:
    //   CreateFileW      (missing, busy, no permission)       CannotOpen
    //   GetCommState     (no serial port behind the name)     CannotReadSettings
    //   SetCommState     9600 8N1, no flow control            CannotWriteSettings
    //   SetCommTimeouts                                       CannotWriteTimeouts
    // The error names the port as given, the failed call, the Windows error code and its
    // text. A port that fails a step after CreateFileW is closed again, so that the next
    // attempt can open it.
    using SerialPortFactory::open;
    std::unique_ptr<LineAccess> open(const std::string& deviceName, SerialOpenResult& result,
                                     ui::SystemError& error) override;
    std::string devicePath(const std::string& deviceName) const override {
        return win32::devicePath(deviceName);
    }

  private:
    CommCalls& m_calls;
};

}  // namespace adapter::win32
