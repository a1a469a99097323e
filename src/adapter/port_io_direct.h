// The parallel port through the processor's port instructions (x86 Linux). The process
// needs the right to use them (root or CAP_SYS_RAWIO); where it has none, or on another
// processor, every operation returns false.
#pragma once

#include <cstdint>
#include <set>

#include "adapter/port_io.h"

namespace adapter {

class DirectPortIo final : public PortIo {
  public:
    bool writeData(std::uint16_t base, std::uint8_t value) override;
    // One 16-bit input at base: the data register in the low byte, status in the high.
    bool readWord(std::uint16_t base, std::uint16_t& word) override;
    bool readControl(std::uint16_t base, std::uint8_t& value) override;
    bool writeControl(std::uint16_t base, std::uint8_t value) override;

    // True when this process may use the port instructions at base … base+2.
    static bool permitted(std::uint16_t base);

  private:
    bool granted(std::uint16_t base);

    std::set<std::uint16_t> m_granted;
};

}  // namespace adapter
