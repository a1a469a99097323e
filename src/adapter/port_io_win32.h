// The parallel port through the driver library "DLPORTIO.dll" (Windows). The two entry
// points used for the data and status registers are looked up by name; a library or
// entry point that is missing makes the access fail.
#pragma once

#include <cstdint>

#include "adapter/port_io.h"

namespace adapter {

class DriverLibraryPortIo final : public PortIo {
  public:
    DriverLibraryPortIo();
    ~DriverLibraryPortIo() override;
    DriverLibraryPortIo(const DriverLibraryPortIo&) = delete;
    DriverLibraryPortIo& operator=(const DriverLibraryPortIo&) = delete;

    bool loaded() const { return m_library != nullptr; }

    // DlPortWritePortUshort(base, value): the high byte, 0, lands on the read-only status.
    bool writeData(std::uint16_t base, std::uint8_t value) override;
    // DlPortReadPortUlong(base), low 16 bits.
    bool readWord(std::uint16_t base, std::uint16_t& word) override;
    // DlPortReadPortUchar / DlPortWritePortUchar at base+2, where the library has them.
    bool readControl(std::uint16_t base, std::uint8_t& value) override;
    bool writeControl(std::uint16_t base, std::uint8_t value) override;

  private:
    void* entry(const char* name);

    void* m_library = nullptr;
};

}  // namespace adapter
