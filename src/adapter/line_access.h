// The adapter's four lines, as one small seam. Every back-end (the serial adapter on a
// port's modem lines, the parallel port's data/status register, the virtual adapter, the
// recording fake) is one class.
//
//   PC                          adapter                       controller
//   CLOCK    (RTS   | D1) ------------------------------------> SCK
//   DATA-OUT (DTR   | D0) ------------------------------------> MOSI
//   RESET    (break | D3) ------------------------------------> /RESET
//   DATA-IN  (CTS   | ACK, status bit 6) <--------------------- MISO
//   DSR <---- loop-back of DTR inside the serial adapter
#pragma once

#include <cstdint>

#include "ui/system_error.h"

namespace adapter {

// Facts of the adapter behind the lines that the link's clocking follows.
struct LineTraits {
    // DATA-OUT goes back high after the rising CLOCK edge, one bit delay before DATA-IN
    // is sampled.
    bool idleDataOutHigh = false;
    // One more bit delay between the sample and the falling CLOCK edge.
    bool delayAfterSample = false;
    // A failure of these lines is shown to the user by the lines themselves (with the
    // system's own box), so the command it interrupts says nothing more.
    bool showsOwnFault = false;
    // The lines override exchangeBits to send a whole exchange in one transfer; a layer
    // in front of them (the serial adapter on a port) hands the exchange on.
    bool exchangesAtOnce = false;
};

// How the link clocks an exchange: the length of a bit delay, in DATA-IN reads of these
// lines, and the adapter's facts.
struct BitClocking {
    long long readsPerDelay = 1;
    LineTraits traits;
};

class LineAccess {
  public:
    virtual ~LineAccess() = default;

    virtual void setClock(bool high) = 0;
    virtual void setDataOut(bool high) = 0;
    virtual void setReset(bool high) = 0;
    // 1 when DATA-IN is high.
    [[nodiscard]] virtual int readDataIn() = 0;
    // The serial adapter's DTR-to-DSR loop-back (DSR on); false where there is none.
    [[nodiscard]] virtual bool readLoopBack() { return false; }
    // CTS (modemCtsOn) and DSR (modemDsrOn) together; a back-end that reads both in one
    // system call overrides this.
    [[nodiscard]] virtual std::uint32_t readModemStatus() {
        std::uint32_t status = readDataIn() != 0 ? 0x10u : 0u;
        return readLoopBack() ? status | 0x20u : status;
    }
    // Pushes out anything a back-end may batch; nothing by default.
    virtual void flush() {}

    // Sticky fault: the first failed system call (device unplugged, port lost), kept.
    // Later operations do nothing; the link checks this after each byte or command.
    [[nodiscard]] virtual const ui::SystemError* fault() const { return nullptr; }
    [[nodiscard]] virtual bool failed() const { return fault() != nullptr; }

    [[nodiscard]] virtual LineTraits traits() const { return {}; }

    // The link's exchange of count bits (at most 32): bits goes out most significant
    // first, one CLOCK pulse each; returns the DATA-IN samples in the same order, the
    // first in the highest place. The default is the sequence line by line, each bit
    // delay made of DATA-IN reads; a back-end that can send the whole sequence in one
    // transfer overrides it with the same line changes.
    [[nodiscard]] virtual std::uint32_t exchangeBits(std::uint32_t bits, int count,
                                                     const BitClocking& clocking);

  protected:
    // One bit delay of the link: readsPerDelay DATA-IN reads, their values unused.
    void delayOneBit(const BitClocking& clocking);
};

}  // namespace adapter
