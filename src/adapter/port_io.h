// Parallel-port registers: data (base), status (base+1), control (base+2).
// Every operation returns false when the port could not be reached; error() then says
// why, in the system's words.
#pragma once

#include <cstdint>
#include <utility>

#include "ui/system_error.h"

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

    // The last failure; empty where the back-end knows no more than that it failed.
    const ui::SystemError& error() const { return m_error; }

  protected:
    bool fail(ui::SystemError error) {
        m_error = std::move(error);
        return false;
    }

  private:
    ui::SystemError m_error;
};

}  // namespace adapter
