// The serial port's modem-control lines, one system call per change or read, on an open
// port's native handle (a file descriptor, or a HANDLE under _WIN32). One file per
// system: modem_lines_posix.cpp, modem_lines_win32.cpp. Internal to the line driver.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "adapter/line_access.h"
#include "ui/system_error.h"

namespace adapter::modem {

enum class Line { Rts, Dtr, Break };

// On failure error names the call, the system's error number and its text; its subject
// is left to the caller.
[[nodiscard]] bool setLine(std::intptr_t handle, Line line, bool on, ui::SystemError& error);
// CTS and DSR as modemCtsOn | modemDsrOn.
[[nodiscard]] bool readStatus(std::intptr_t handle, std::uint32_t& status, ui::SystemError& error);

// The adapter's lines on an open port's handle (not owned). The first failed call makes
// the lines failed(), its error kept with the device as subject; from then on nothing
// reaches the port and reads give 0.
class HandleLines final : public LineAccess {
  public:
    explicit HandleLines(std::intptr_t handle, std::string device = {})
        : m_handle(handle), m_device(std::move(device)) {}

    void setClock(bool high) override { change(Line::Rts, high); }
    void setDataOut(bool high) override { change(Line::Dtr, high); }
    void setReset(bool high) override { change(Line::Break, high); }
    int readDataIn() override;
    bool readLoopBack() override;
    std::uint32_t readModemStatus() override;
    const ui::SystemError* fault() const override { return m_failed ? &m_error : nullptr; }

    const ui::SystemError& error() const { return m_error; }

  private:
    void change(Line line, bool on);
    void fail();

    std::intptr_t m_handle;
    std::string m_device;
    bool m_failed = false;
    ui::SystemError m_error;
};

}  // namespace adapter::modem
