// The processor's serial programming interface while RESET is held low, from the
// processor's side: 4-byte instructions framed by its own bit counter.
#pragma once

#include <array>
#include <cstdint>

#include "sim/controller_config.h"
#include "sim/data_in_driver.h"

namespace sim {

class IspSlave {
  public:
    IspSlave(const IspConfig& config, DataInDriver& dataIn) : m_config(config), m_dataIn(dataIn) {}

    // RESET went low: programming mode starts over, framing as configured.
    void enterReset(std::uint64_t timeNs);
    void risingClock(std::uint64_t timeNs, bool dataOut);
    void fallingClock(std::uint64_t timeNs);

    bool enabled() const { return m_enabled; }
    // 32-bit frames completed, in step or not, since the last reset.
    int frames() const { return m_frames; }

  private:
    std::uint8_t answerForByte(int index);
    std::uint8_t readAnswer();
    std::uint8_t signatureByte(int address);

    const IspConfig& m_config;
    DataInDriver& m_dataIn;
    int m_bit = 0;  // bit position within the processor's own 32-bit frame
    std::array<std::uint8_t, 4> m_frame{};
    std::uint8_t m_sending = 0;
    bool m_enabled = false;
    int m_frames = 0;
    // Signature passes that showed family 0x01; kept across resets.
    int m_familyOnePasses = 0;
};

}  // namespace sim
