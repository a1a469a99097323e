// The serial adapter as the link sees it: the modem lines of the open port (nothing
// happens while none is open), the last modem status kept for reads that get no answer,
// and a port that failed closed at once, its error kept, shown and logged.
#pragma once

#include <cstdint>

#include "adapter/line_access.h"
#include "adapter/link_context.h"

namespace adapter {

class SerialLines final : public LineAccess {
  public:
    explicit SerialLines(LinkContext& ctx) : m_ctx(ctx) {}

    void setClock(bool high) override { drive(&LineAccess::setClock, high); }      // RTS
    void setDataOut(bool high) override { drive(&LineAccess::setDataOut, high); }  // DTR
    void setReset(bool high) override { drive(&LineAccess::setReset, high); }      // break
    int readDataIn() override;                 // CTS into modemStatus
    bool readLoopBack() override;              // DSR into modemStatus
    std::uint32_t readModemStatus() override;  // CTS and DSR into modemStatus
    const ui::SystemError* fault() const override;
    // A detected serial adapter idles DATA-OUT high before DATA-IN is sampled; CLOCK
    // stays high one more bit delay after the sample. The open port's driver adds its own
    // facts (cached status, a break it cannot hold).
    LineTraits traits() const override;

    // The open port's own exchangeBits where it sends an exchange at once, else the
    // sequence line by line on these lines.
    std::uint32_t exchangeBits(std::uint32_t bits, int count, const BitClocking& clocking) override;
    bool exchangeSequence(std::span<const ExchangeStep> steps, const BitClocking& clocking,
                          std::vector<std::uint32_t>& samples) override;

  private:
    LineAccess* openPort();
    void drive(void (LineAccess::*set)(bool), bool high);
    void dropIfFailed();

    LinkContext& m_ctx;
};

}  // namespace adapter
