// Parallel-port registers: data (base), status (base+1), control (base+2).
// Every operation returns false when the port could not be reached.
#pragma once

#include <cstdint>

namespace adapter {

class PortIo {
  public:
    virtual ~PortIo() = default;
    // The data register; the driver path writes 16 bits with the high byte 0.
    virtual bool writeData(std::uint16_t base, std::uint8_t value) = 0;
    // Low byte: data register, high byte: status register.
    virtual bool readWord(std::uint16_t base, std::uint16_t& word) = 0;
    virtual bool readControl(std::uint16_t base, std::uint8_t& value) = 0;
    virtual bool writeControl(std::uint16_t base, std::uint8_t value) = 0;
};

}  // namespace adapter
