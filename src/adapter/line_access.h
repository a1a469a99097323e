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
#include <functional>
#include <span>
#include <vector>

#include "adapter/clock.h"
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
    // Opening the port raised DTR and RTS (every tty does), so CLOCK and DATA-OUT stand
    // high until the program puts them where its sequences expect them.
    bool linesRaisedOnOpen = false;
    // The driver answers a CTS read with the level of its last status report, sent this
    // often (0: a read asks the line itself). A change is seen only after the next report.
    std::uint64_t statusReportIntervalNs = 0;
    // CTS reads on whatever the adapter drives (a CDC-ACM port): DATA-IN cannot be read.
    bool dataInConstant = false;
    // A break request stays on until it is cleared; false where it becomes a short pulse,
    // so RESET cannot be held high.
    bool breakHeld = true;
};

// How the link clocks an exchange: the length of a bit delay, in DATA-IN reads of these
// lines, and the adapter's facts.
struct BitClocking {
    long long readsPerDelay = 1;
    LineTraits traits;
    // Where one read costs more than a whole bit delay (a USB converter), readsPerDelay is
    // 0 and a delay is made on this clock instead: unitNs from the last line change, which
    // a slow line call has usually provided by itself. Also the clock that waits for a
    // fresh status report before a sample. Null: reads only.
    Clock* clock = nullptr;
    std::uint64_t unitNs = 0;
    // Lines that send a long run in one go call this between its transfers, so that the
    // host's keep-alive is not held up by it. Empty: nobody to tell.
    std::function<void()> keepAlive;
};

// One exchange of a run that the link sends without a host wait in between: unitsBefore
// bit delays with the lines as they are, then count bits of bits.
struct ExchangeStep {
    int unitsBefore = 0;
    std::uint32_t bits = 0;
    int count = 8;
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

    // A run of exchanges whose answers are only looked at afterwards: true when these lines
    // sent it at once (as few transfers as they can), with each exchange's samples in
    // samples, in order. The default sends nothing and says false: the caller then makes
    // the steps one by one, its own bit delays and exchanges, exactly as single exchanges.
    [[nodiscard]] virtual bool exchangeSequence(std::span<const ExchangeStep> /*steps*/,
                                                const BitClocking& /*clocking*/,
                                                std::vector<std::uint32_t>& /*samples*/) {
        return false;
    }

  protected:
    // One bit delay of the link: readsPerDelay DATA-IN reads, their values unused, then
    // what is left of unitNs since lastChangeNs, on the clock.
    void delayOneBit(const BitClocking& clocking, std::uint64_t lastChangeNs = 0);
};

}  // namespace adapter
