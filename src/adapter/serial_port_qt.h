// The serial adapter on a real port, opened with Qt SerialPort. Only the modem-control
// lines are used; no data byte is ever sent or read.
//
//   PC port          adapter
//   RTS   ---------> CLOCK
//   DTR   ---------> DATA-OUT, and looped back to DSR
//   TXD   (break) -> RESET
//   CTS   <--------- DATA-IN
//   DSR   <--------- DTR (loop-back: tells that the adapter is there)
//
// Each line change and each read is one system call on the port's handle (ioctl
// TIOCMBIS/TIOCMBIC, TIOCSBRK/TIOCCBRK and TIOCMGET; EscapeCommFunction and
// GetCommModemStatus under Windows). The first failed call makes the lines failed():
// the device was unplugged or is no serial port.
#pragma once

#include <memory>
#include <string>

#include "adapter/serial_port.h"

namespace adapter {

class QtSerialPortFactory final : public SerialPortFactory {
  public:
    // Opening steps and their results:
    //   the device cannot be opened (missing, busy, no permission)      CannotOpen
    //   its modem lines cannot be read (not a serial port, e.g. a pty)  CannotReadSettings
    //   9600 8N1 without flow control cannot be set                     CannotWriteSettings
    // Nothing is ever read, so there are no read time-outs to fail (CannotWriteTimeouts
    // does not occur).
    // The error names the device, the failing step ("open", "ioctl(TIOCMGET)",
    // "tcsetattr") and the system's reason; a missing device reads "No such file or
    // directory".
    using SerialPortFactory::open;
    std::unique_ptr<LineAccess> open(const std::string& deviceName, SerialOpenResult& result,
                                     ui::SystemError& error) override;
    // COM1 … COM8 as the system device they stand for, other names as they are.
    std::string devicePath(const std::string& deviceName) const override;

    // Why the last open failed, as one line for a log, or empty.
    const std::string& lastError() const { return m_lastError; }

  private:
    std::string m_lastError;
};

}  // namespace adapter
