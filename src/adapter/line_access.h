// The adapter's four lines, as one small seam. Every back-end (serial modem lines,
// parallel data/status register, the virtual adapter, the recording fake) is one class.
//
//   PC                          adapter                       controller
//   CLOCK    (RTS   | D1) ------------------------------------> SCK
//   DATA-OUT (DTR   | D0) ------------------------------------> MOSI
//   RESET    (break | D3) ------------------------------------> /RESET
//   DATA-IN  (CTS   | ACK, status bit 6) <--------------------- MISO
//   DSR <---- loop-back of DTR inside the serial adapter
#pragma once

#include <cstdint>

namespace adapter {

class LineAccess {
  public:
    virtual ~LineAccess() = default;

    virtual void setClock(bool high) = 0;
    virtual void setDataOut(bool high) = 0;
    virtual void setReset(bool high) = 0;
    // 1 when DATA-IN is high.
    virtual int readDataIn() = 0;
    // The serial adapter's DTR-to-DSR loop-back (DSR on); false where there is none.
    virtual bool readLoopBack() { return false; }
    // CTS (modemCtsOn) and DSR (modemDsrOn) together; a back-end that reads both in one
    // system call overrides this.
    virtual std::uint32_t readModemStatus() {
        std::uint32_t status = readDataIn() != 0 ? 0x10u : 0u;
        return readLoopBack() ? status | 0x20u : status;
    }
    // Pushes out anything a back-end may batch; nothing by default.
    virtual void flush() {}
    // Sticky fault: the first failed system call (device unplugged, port lost). Later
    // operations do nothing; the link checks this after each byte or command.
    virtual bool failed() const { return false; }
};

}  // namespace adapter
