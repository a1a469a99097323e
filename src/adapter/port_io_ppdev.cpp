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

class SystemPpdevCalls final : public PpdevCalls {
  public:
    int open(const std::string& path) override { return ::open(path.c_str(), O_RDWR | O_CLOEXEC); }
    int ioctl(int fd, unsigned long request, void* argument) override {
        return ::ioctl(fd, request, argument);
    }
    void close(int fd) override { ::close(fd); }
};

// An ioctl that a signal interrupted is made again.
int retried(PpdevCalls& calls, int fd, unsigned long request, void* argument) {
    int result = 0;
    do {
        result = calls.ioctl(fd, request, argument);
    } while (result != 0 && errno == EINTR);
    return result;
}

}  // namespace

PpdevCalls& systemPpdevCalls() {
    static SystemPpdevCalls calls;
    return calls;
}

PpdevPortIo::PpdevPortIo(std::string procRoot, std::string devRoot, PpdevCalls& calls)
    : m_procRoot(std::move(procRoot)), m_devRoot(std::move(devRoot)), m_calls(calls) {}

PpdevPortIo::~PpdevPortIo() {
    for (const auto& [base, claim] : m_ports) {
        if (claim.fd >= 0) {
            m_calls.ioctl(claim.fd, PPRELEASE, nullptr);
            m_calls.close(claim.fd);
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
        int fd = m_calls.open(m_devRoot + "/parport" + std::to_string(n));
        if (fd >= 0) {
            m_calls.close(fd);
            return true;
        }
    }
    return false;
}

// Tried once per base; a port that could not be claimed keeps its reason.
const PpdevPortIo::Claim& PpdevPortIo::claimed(std::uint16_t base) {
    auto known = m_ports.find(base);
    if (known != m_ports.end()) {
        return known->second;
    }
    Claim& claim = m_ports[base];
    claim.device = deviceFor(base);
    if (claim.device.empty()) {
        claim.error = {m_procRoot, {}, 0, "no parallel port has this base address"};
        return claim;
    }
    claim.fd = m_calls.open(claim.device);
    if (claim.fd < 0) {
        claim.error = ui::errnoError(claim.device, "open", errno);
    } else if (retried(m_calls, claim.fd, PPCLAIM, nullptr) != 0) {
        claim.error = ui::errnoError(claim.device, "ioctl(PPCLAIM)", errno);
        m_calls.close(claim.fd);
        claim.fd = -1;
    }
    return claim;
}

bool PpdevPortIo::control(std::uint16_t base, unsigned long request, const char* name,
                          unsigned char* argument) {
    const Claim& claim = claimed(base);
    if (claim.fd < 0) {
        return fail(claim.error);
    }
    if (retried(m_calls, claim.fd, request, argument) != 0) {
        return fail(ui::errnoError(claim.device, std::string("ioctl(") + name + ")", errno));
    }
    return true;
}

bool PpdevPortIo::writeData(std::uint16_t base, std::uint8_t value) {
    unsigned char data = value;
    return control(base, PPWDATA, "PPWDATA", &data);
}

bool PpdevPortIo::readWord(std::uint16_t base, std::uint16_t& word) {
    unsigned char data = 0;
    unsigned char status = 0;
    if (!control(base, PPRDATA, "PPRDATA", &data) ||
        !control(base, PPRSTATUS, "PPRSTATUS", &status)) {
        return false;
    }
    word = static_cast<std::uint16_t>(status << 8 | data);
    return true;
}

bool PpdevPortIo::readControl(std::uint16_t base, std::uint8_t& value) {
    unsigned char control_ = 0;
    if (!control(base, PPRCONTROL, "PPRCONTROL", &control_)) {
        return false;
    }
    value = control_;
    return true;
}

bool PpdevPortIo::writeControl(std::uint16_t base, std::uint8_t value) {
    unsigned char data = value;
    return control(base, PPWCONTROL, "PPWCONTROL", &data);
}

}  // namespace adapter
