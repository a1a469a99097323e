// The firmware's side of the clocked link, edge by edge (a shift-register slave).
#pragma once

#include <cstdint>

#include "sim/data_in_driver.h"
#include "sim/firmware.h"

namespace sim {

class LinkSlave {
  public:
    LinkSlave(Firmware& firmware, DataInDriver& dataIn) : m_firmware(firmware), m_dataIn(dataIn) {}

    void risingClock(std::uint64_t timeNs, bool dataOut);
    void fallingClock(std::uint64_t timeNs);
    // Started or reset: no byte in progress, nothing to answer, DATA-IN low.
    void restart(std::uint64_t timeNs);

  private:
    static constexpr int replyTag = 1;

    Firmware& m_firmware;
    DataInDriver& m_dataIn;
    int m_bits = 0;               // bits of the current byte received so far
    std::uint8_t m_received = 0;  // shift register: bits coming in
    std::uint8_t m_sending = 0;   // the byte being shifted out
    std::uint8_t m_lastByte = 0;  // what the shift register held after the last byte
    std::uint8_t m_reply = 0;
    bool m_replyPending = false;
    std::uint64_t m_replyReadyNs = 0;
    std::uint64_t m_busyUntilNs = 0;
};

}  // namespace sim
