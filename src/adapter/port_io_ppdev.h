// The parallel port through the Linux ppdev driver. The kernel lists each port's base
// address in /proc/sys/dev/parport/parportN/base-addr; the port at a base is
// /dev/parportN, claimed on first use and released when this object goes.
//
//   data register    (base)    PPWDATA / PPRDATA     D0 DATA-OUT, D1 CLOCK, D3 RESET
//   status register  (base+1)  PPRSTATUS             bit 6 (ACK) DATA-IN
//   control register (base+2)  PPRCONTROL / PPWCONTROL
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "adapter/port_io.h"

namespace adapter {

// The system calls the port makes, so that tests can answer them; -1 and errno on failure.
class PpdevCalls {
  public:
    virtual ~PpdevCalls() = default;
    virtual int open(const std::string& path) = 0;
    virtual int ioctl(int fd, unsigned long request, void* argument) = 0;
    virtual void close(int fd) = 0;
};
PpdevCalls& systemPpdevCalls();

class PpdevPortIo final : public PortIo {
  public:
    // The roots can be pointed elsewhere, to test the look-up without a parallel port.
    explicit PpdevPortIo(std::string procRoot = "/proc/sys/dev/parport",
                         std::string devRoot = "/dev", PpdevCalls& calls = systemPpdevCalls());
    ~PpdevPortIo() override;
    PpdevPortIo(const PpdevPortIo&) = delete;
    PpdevPortIo& operator=(const PpdevPortIo&) = delete;

    bool writeData(std::uint16_t base, std::uint8_t value) override;
    bool readWord(std::uint16_t base, std::uint16_t& word) override;
    bool readControl(std::uint16_t base, std::uint8_t& value) override;
    bool writeControl(std::uint16_t base, std::uint8_t value) override;

    // The device that serves base ("/dev/parport0"), or empty when no port has it.
    std::string deviceFor(std::uint16_t base) const;
    // True when some /dev/parportN can be opened by this process.
    bool anyPortUsable() const;

  private:
    struct Claim {
        int fd = -1;
        std::string device;
        ui::SystemError error;  // why fd is -1
    };
    const Claim& claimed(std::uint16_t base);
    bool control(std::uint16_t base, unsigned long request, const char* name,
                 unsigned char* argument);

    std::string m_procRoot;
    std::string m_devRoot;
    PpdevCalls& m_calls;
    std::map<std::uint16_t, Claim> m_ports;
};

}  // namespace adapter
