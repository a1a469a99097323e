// The firmware's command interpreter, one received byte at a time. The bit-level shifting
// and its timing live in LinkSlave; this only decides the answer and how long the work takes.
#pragma once

#include <array>
#include <cstdint>

#include "sim/controller_config.h"
#include "sim/flash_memory.h"
#include "sim/setup_memory.h"

namespace sim {

struct FirmwareReply {
    std::uint8_t value;    // shifted out during the next byte
    std::uint64_t workNs;  // until the value is in the shift register
};

class Firmware {
  public:
    Firmware(const ControllerConfig& config, SetupBytes& setup, FlashMemory& flash)
        : m_config(config), m_setup(setup), m_flash(flash) {
        m_pageBuffer.fill(0xFF);
    }

    FirmwareReply receive(std::uint8_t byte);
    // A reset forgets a half-received command and the page buffer.
    void restart();

  private:
    enum class State {
        Idle,
        ReadAddress,   // after "U"
        WriteAddress,  // after "V"
        WriteValue,
        PageNumber,  // after "W"
        PageOffset,  // after "Y"
        PageData,
        CommitU,      // after "X"
        CommitThree,  // after "X" "U"
    };

    FirmwareReply idle(std::uint8_t byte);

    const ControllerConfig& m_config;
    SetupBytes& m_setup;
    FlashMemory& m_flash;
    State m_state = State::Idle;
    std::uint8_t m_address = 0;
    std::uint8_t m_offset = 0;
    int m_page = 0;
    std::array<std::uint8_t, flashPageSize> m_pageBuffer;
};

}  // namespace sim
