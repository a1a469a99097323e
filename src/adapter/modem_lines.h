// The serial port's modem-control lines, one system call per change or read, on an open
// port's native handle (a file descriptor, or a HANDLE under _WIN32). One file per
// system: modem_lines_posix.cpp, modem_lines_win32.cpp. Internal to the line driver.
#pragma once

#include <cstdint>
#include <string>

#include "adapter/line_access.h"

namespace adapter::modem {

enum class Line { Rts, Dtr, Break };

// The first failed call, for the log: its name and the system's error number.
struct SystemError {
    std::string call;
    int code = 0;
};

bool setLine(std::intptr_t handle, Line line, bool on, SystemError& error);
// CTS and DSR as modemCtsOn | modemDsrOn.
bool readStatus(std::intptr_t handle, std::uint32_t& status, SystemError& error);

// The adapter's lines on an open port's handle (not owned). The first failed call makes
// the lines failed(); from then on nothing reaches the port and reads give 0.
class HandleLines final : public LineAccess {
  public:
    explicit HandleLines(std::intptr_t handle) : m_handle(handle) {}

    void setClock(bool high) override { change(Line::Rts, high); }
    void setDataOut(bool high) override { change(Line::Dtr, high); }
    void setReset(bool high) override { change(Line::Break, high); }
    int readDataIn() override;
    bool readLoopBack() override;
    std::uint32_t readModemStatus() override;
    bool failed() const override { return m_failed; }

    const SystemError& error() const { return m_error; }

  private:
    void change(Line line, bool on);

    std::intptr_t m_handle;
    bool m_failed = false;
    SystemError m_error;
};

}  // namespace adapter::modem
