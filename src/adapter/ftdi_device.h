// The few calls of an FTDI chip that the bit-bang lines need, shaped after libftdi so that
// the real binding (ftdi_libftdi.cpp) is a thin wrapper and the virtual chip (sim/) sits
// behind the same seam. A Windows binding (the vendor's library, or libusb on WinUSB) is
// one more file behind it.
//
// Results follow libftdi: 0 or a byte count on success, negative on failure, and then
// errorString() says why (libftdi's text, with libusb's reason where it has one).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace adapter::ftdi {

inline constexpr std::uint16_t ftdiVendorId = 0x0403;
// FT232R, FT2232C/D/H, FT4232H, FT232H, FT-X. FT230X/FT231X (also 6015) have only a 4-bit
// port, which the open step finds out (no CTS/DSR pins to read).
inline constexpr std::array<std::uint16_t, 5> ftdiProductIds{0x6001, 0x6010, 0x6011, 0x6014,
                                                             0x6015};

// What the prefix of a device name selects: "ftdi:A50285BI" or "ftdi:0".
inline constexpr std::string_view portPrefix = "ftdi:";

enum class BitMode : std::uint8_t {
    Reset = 0x00,        // back to the UART
    SyncBitbang = 0x04,  // BITMODE_SYNCBB: one sample per byte written, taken before it
};

struct DeviceInfo {
    int index = 0;  // position in the bus's list, the order of ftdiProductIds then of the bus
    std::uint16_t productId = 0;
    std::string manufacturer;
    std::string description;
    std::string serial;  // empty on chips without one
};

class FtdiDevice {
  public:
    virtual ~FtdiDevice() = default;

    // Opens the listed chip: by its serial number, or by its index where it has none. The
    // kernel's serial driver is detached while the chip is open and given back when it
    // closes, so the converter's tty reappears afterwards.
    [[nodiscard]] virtual int open(const DeviceInfo& device) = 0;
    [[nodiscard]] virtual int setBitmode(std::uint8_t outputMask, BitMode mode) = 0;
    // Called after setBitmode: only then does libftdi scale the rate for bit-bang mode.
    [[nodiscard]] virtual int setBaudrate(int baud) = 0;
    [[nodiscard]] virtual int setLatencyTimer(std::uint8_t ms) = 0;
    // Drops whatever sits in the chip's and the driver's buffers (ftdi_tcioflush).
    [[nodiscard]] virtual int flushBuffers() = 0;
    [[nodiscard]] virtual int writeData(const std::uint8_t* data, int size) = 0;
    // May return fewer bytes than asked for, 0 included: the caller loops.
    [[nodiscard]] virtual int readData(std::uint8_t* data, int size) = 0;
    virtual void close() = 0;
    [[nodiscard]] virtual std::string errorString() const = 0;
};

// The FTDI chips on the machine's USB buses.
class FtdiBus {
  public:
    virtual ~FtdiBus() = default;
    // Every chip with the vendor id and one of ftdiProductIds. On failure: empty, and
    // error says why (no USB access at all, for instance).
    [[nodiscard]] virtual std::vector<DeviceInfo> listDevices(std::string& error) = 0;
    [[nodiscard]] virtual std::unique_ptr<FtdiDevice> newDevice() = 0;
};

// True for "ftdi:…" names.
[[nodiscard]] bool isFtdiPortName(std::string_view deviceName);
// The chip that "ftdi:SELECTOR" names: a serial number first; a number that is no serial
// is the index in the list.
[[nodiscard]] std::optional<DeviceInfo> resolvePortName(std::string_view deviceName,
                                                        const std::vector<DeviceInfo>& devices);
// "ftdi:SERIAL", or "ftdi:INDEX" for a chip without a serial number.
[[nodiscard]] std::string portName(const DeviceInfo& device);

}  // namespace adapter::ftdi
