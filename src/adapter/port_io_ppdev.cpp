#include "adapter/port_io_ppdev.h"

#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

namespace adapter {

namespace {

// The kernel numbers parallel ports from 0; more than this many is not a PC.
constexpr int maxPorts = 16;

template <typename Argument>
bool control(int fd, unsigned long request, Argument* argument) {
    if (fd < 0) {
        return false;
    }
    for (;;) {
        if (::ioctl(fd, request, argument) == 0) {
            return true;
        }
        if (errno != EINTR) {
            return false;
        }
    }
}

}  // namespace

PpdevPortIo::PpdevPortIo(std::string procRoot, std::string devRoot)
    : m_procRoot(std::move(procRoot)), m_devRoot(std::move(devRoot)) {}

PpdevPortIo::~PpdevPortIo() {
    for (const auto& [base, fd] : m_ports) {
        if (fd >= 0) {
            ::ioctl(fd, PPRELEASE);
            ::close(fd);
        }
    }
}

std::string PpdevPortIo::deviceFor(std::uint16_t base) const {
    for (int n = 0; n < maxPorts; ++n) {
        std::string name = "parport" + std::to_string(n);
        std::ifstream file(m_procRoot + "/" + name + "/base-addr");
        // "888\t1912": the base, then the base of the extended registers.
        unsigned long address = 0;
        if (file >> address && address == base) {
            return m_devRoot + "/" + name;
        }
    }
    return {};
}

bool PpdevPortIo::anyPortUsable() const {
    for (int n = 0; n < maxPorts; ++n) {
        std::string device = m_devRoot + "/parport" + std::to_string(n);
        int fd = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            return true;
        }
    }
    return false;
}

int PpdevPortIo::claimedPort(std::uint16_t base) {
    auto known = m_ports.find(base);
    if (known != m_ports.end()) {
        return known->second;
    }
    int fd = -1;
    std::string device = deviceFor(base);
    if (!device.empty()) {
        fd = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
        if (fd >= 0 && !control(fd, PPCLAIM, static_cast<int*>(nullptr))) {
            ::close(fd);
            fd = -1;
        }
    }
    m_ports[base] = fd;
    return fd;
}

bool PpdevPortIo::writeData(std::uint16_t base, std::uint8_t value) {
    unsigned char data = value;
    return control(claimedPort(base), PPWDATA, &data);
}

bool PpdevPortIo::readWord(std::uint16_t base, std::uint16_t& word) {
    int fd = claimedPort(base);
    unsigned char data = 0;
    unsigned char status = 0;
    if (!control(fd, PPRDATA, &data) || !control(fd, PPRSTATUS, &status)) {
        return false;
    }
    word = static_cast<std::uint16_t>(status << 8 | data);
    return true;
}

bool PpdevPortIo::readControl(std::uint16_t base, std::uint8_t& value) {
    unsigned char control_ = 0;
    if (!control(claimedPort(base), PPRCONTROL, &control_)) {
        return false;
    }
    value = control_;
    return true;
}

bool PpdevPortIo::writeControl(std::uint16_t base, std::uint8_t value) {
    unsigned char data = value;
    return control(claimedPort(base), PPWCONTROL, &data);
}

}  // namespace adapter
