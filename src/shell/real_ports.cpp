#include "shell/real_ports.h"

#include "adapter/parallel_access.h"
#include "adapter/port_discovery_qt.h"
#include "adapter/serial_port_qt.h"

#ifdef ZEK_HAVE_LIBFTDI
#include "adapter/clock.h"
#include "adapter/ftdi_libftdi.h"
#include "adapter/ftdi_lines.h"
#endif

namespace shell {

namespace {

#ifdef ZEK_HAVE_LIBFTDI
// "ftdi:…" names open the converter in synchronous bit-bang mode through libftdi; every
// other name is a serial port as before.
class RealSerialPorts final : public adapter::SerialPortFactory {
  public:
    RealSerialPorts()
        : m_bus(adapter::ftdi::makeLibftdiBus()), m_ftdiPorts(*m_bus, m_clock, m_plainPorts) {}

    using SerialPortFactory::open;
    std::unique_ptr<adapter::LineAccess> open(const std::string& deviceName,
                                              adapter::SerialOpenResult& result,
                                              ui::SystemError& error) override {
        return m_ftdiPorts.open(deviceName, result, error);
    }
    std::string devicePath(const std::string& deviceName) const override {
        return m_ftdiPorts.devicePath(deviceName);
    }

  private:
    adapter::MonotonicClock m_clock;
    adapter::QtSerialPortFactory m_plainPorts;
    std::unique_ptr<adapter::ftdi::FtdiBus> m_bus;
    adapter::FtdiPortFactory m_ftdiPorts;
};
#else
using RealSerialPorts = adapter::QtSerialPortFactory;
#endif

}  // namespace

RealPorts findRealPorts() {
    RealPorts ports;
    ports.serialPorts = std::make_unique<RealSerialPorts>();
    adapter::ParallelAccess parallel = adapter::chooseParallelAccess();
    ports.portIo = std::move(parallel.portIo);
    ports.platform = PlatformFlags{parallel.directPortIo, parallel.portDriverReady};
    return ports;
}

std::vector<adapter::DiscoveredPort> listSerialPorts() {
#ifdef ZEK_HAVE_LIBFTDI
    return adapter::withFtdiFastPorts(adapter::discoverAllSerialPorts());
#else
    return adapter::discoverAllSerialPorts();
#endif
}

bool ftdiFastPathBuilt() {
#ifdef ZEK_HAVE_LIBFTDI
    return true;
#else
    return false;
#endif
}

}  // namespace shell
