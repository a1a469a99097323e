// The parallel adapter's lines over PortIo: a shadow of the data register (outputImage),
// written whole once per line change, and DATA-IN from status bit 6 of the word read at
// the base (inputWord). A failed or impossible register access shows "Error during
// driver access!" once and ends the dialog named by the main window; accesses do nothing
// while that fault stands. Internal to the line driver.
//
//   data register   D0 -> DATA-OUT   D1 -> CLOCK   D3 -> RESET
//   status register bit 6 (ACK) <- DATA-IN, bit 14 of the word at the base
#pragma once

#include <cstdint>
#include <string>

#include "adapter/line_access.h"
#include "adapter/link_context.h"

namespace adapter {

inline constexpr std::int32_t dataOutBit = 0x01;  // D0
inline constexpr std::int32_t clockBit = 0x02;    // D1
inline constexpr std::int32_t resetBit = 0x08;    // D3
inline constexpr std::int32_t lineBits = dataOutBit | clockBit | resetBit;
inline constexpr std::uint16_t dataInInputBit = 0x4000;    // status register bit 6 (ACK)
inline constexpr std::uint8_t controlDirectionBit = 0x20;  // set: data pins are inputs

// "parallel port 0378": how the log and the error detail name the port at base.
std::string parallelPortName(std::uint16_t base);

class ParallelLines final : public LineAccess {
  public:
    explicit ParallelLines(LinkContext& ctx) : m_ctx(ctx) {}

    void setClock(bool high) override { setImageBit(clockBit, high); }
    void setDataOut(bool high) override { setImageBit(dataOutBit, high); }
    void setReset(bool high) override { setImageBit(resetBit, high); }
    int readDataIn() override;
    const ui::SystemError* fault() const override;
    LineTraits traits() const override { return LineTraits{.showsOwnFault = true}; }

    // outputImage to the data register, in one write.
    void writeOutputImage();
    // The data and status registers into inputWord, in one read.
    void readInputWord();
    // All three lines low; with the port instructions the data pins are first turned to
    // outputs, with a settling wait on either side of the write.
    void lowerLines();

  private:
    void setImageBit(std::int32_t bit, bool high);
    [[nodiscard]] bool reachable();
    [[nodiscard]] bool faultStands();
    void reportFault(const char* call);

    LinkContext& m_ctx;
};

}  // namespace adapter
