// The virtual FTDI converter behind the same seam as libftdi: an FT232R in synchronous
// bit-bang mode on a USB-RS232 converter, its RS-232 lines wired to the programming
// adapter and the virtual controller.
//
//   D0 TXD -> break -> RESET    D2 RTS# -> CLOCK    D4 DTR# -> DATA-OUT
//   D3 CTS# <- DATA-IN          D5 DSR# <- DTR, looped back inside the adapter
//
// The converter's RS-232 driver inverts: a 0 bit is a line on, an asserted input reads 0.
// The chip takes one byte from its FIFO per pin-state period, samples all pins just before
// applying it, and drives the controller with the result at that time. Samples go back in
// USB packets of 62, sent when full or when the latency timer (16 ms until set) expires.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "adapter/clock.h"
#include "adapter/ftdi_device.h"
#include "sim/controller.h"

namespace sim {

struct VirtualFtdiConfig {
    adapter::ftdi::DeviceInfo device{0, 0x6001, "FTDI", "FT232R USB UART", "ZEK0001"};
    // false: nothing on the converter's RS-232 side; its inputs read off.
    bool adapterAttached = true;
    // An EEPROM setting that inverts the DSR# pin.
    bool dsrPinInverted = false;
    // Opening fails with this libftdi result (-4 no access, -5 claimed by another program).
    int openFailure = 0;
    std::string openFailureText;
    // The chip vanishes (unplugged) at this write to it (0 = never).
    std::uint64_t vanishAtWrite = 0;
    std::size_t fifoBytes = 128;
    std::size_t packetSamples = 62;
};

class VirtualFtdiBus final : public adapter::ftdi::FtdiBus {
  public:
    VirtualFtdiBus(adapter::VirtualClock& clock, Controller& controller);
    ~VirtualFtdiBus() override;

    std::vector<adapter::ftdi::DeviceInfo> listDevices(std::string& error) override;
    std::unique_ptr<adapter::ftdi::FtdiDevice> newDevice() override;

    VirtualFtdiConfig& config();
    bool vanished() const;
    // Writes to the chip so far, and those that would have overrun its FIFO.
    std::uint64_t writes() const;
    std::uint64_t overruns() const;
    // The shortest time any output line held a level while in bit-bang mode.
    std::uint64_t shortestPulseNs() const;

    struct Shared;

  private:
    std::shared_ptr<Shared> m_shared;
};

}  // namespace sim
