#include "sim/serial_adapter.h"

#include <algorithm>
#include <cerrno>

namespace sim {

struct VirtualSerialFactory::Shared {
    adapter::VirtualClock& clock;
    Controller& controller;
    SerialAdapterConfig config;
    bool attached = true;
    bool vanished = false;
    int opens = 0;
    std::uint64_t operations = 0;
    std::uint64_t operationsSinceOpen = 0;
};

namespace {

class VirtualSerialLine final : public adapter::LineAccess {
  public:
    VirtualSerialLine(std::shared_ptr<VirtualSerialFactory::Shared> shared, bool wired,
                      std::string device)
        : m_shared(std::move(shared)), m_wired(wired), m_device(std::move(device)) {}

    void setClock(bool high) override { drive(Line::Clock, high); }
    void setDataOut(bool high) override {
        m_dtr = high;
        drive(Line::DataOut, high);
    }
    void setReset(bool high) override { drive(Line::Reset, high); }
    int readDataIn() override {
        std::uint64_t now = 0;
        if (!operate(now) || !adapterPresent()) {
            return 0;
        }
        return m_shared->controller.readDataIn(now) ? 1 : 0;
    }
    bool readLoopBack() override {
        std::uint64_t now = 0;
        if (!operate(now)) {
            return false;
        }
        switch (m_shared->config.loopBack) {
            case LoopBack::FollowsDtr:
                return m_wired && m_dtr;
            case LoopBack::Missing:
                return false;
            case LoopBack::StuckOn:
                return true;
        }
        return false;
    }
    const ui::SystemError* fault() const override { return m_failed ? &m_fault : nullptr; }

    // Opening the port leaves RTS, DTR and break off: all three lines low.
    void driveOpeningLevels() {
        if (!adapterPresent()) {
            return;
        }
        for (Line line : {Line::Clock, Line::DataOut, Line::Reset}) {
            m_shared->clock.advanceNs(step());
            m_shared->controller.setLine(m_shared->clock.nowNs(), line, false);
        }
    }

  private:
    std::uint64_t step() const { return std::max<std::uint64_t>(m_shared->config.opCostNs, 1); }
    bool adapterPresent() const {
        return m_wired && m_shared->attached && m_shared->config.loopBack != LoopBack::Missing;
    }

    // One modem-line call: costs its time, or does nothing once the port is gone.
    bool operate(std::uint64_t& now) {
        Shared& s = *m_shared;
        if (m_failed) {
            return false;
        }
        const std::uint64_t limit = s.config.vanishAfterOps;
        if (s.vanished || (limit != 0 && s.operationsSinceOpen >= limit)) {
            // As an unplugged USB converter answers the next modem-line call.
            s.vanished = true;
            m_failed = true;
            m_fault = ui::errnoError(m_device, "ioctl(TIOCMGET)", EIO);
            return false;
        }
        ++s.operations;
        ++s.operationsSinceOpen;
        s.clock.advanceNs(step());
        now = s.clock.nowNs();
        return true;
    }

    void drive(Line line, bool high) {
        std::uint64_t now = 0;
        if (operate(now) && adapterPresent()) {
            m_shared->controller.setLine(now, line, high);
        }
    }

    using Shared = VirtualSerialFactory::Shared;
    std::shared_ptr<Shared> m_shared;
    bool m_wired;
    std::string m_device;
    bool m_dtr = false;
    bool m_failed = false;
    ui::SystemError m_fault;
};

}  // namespace

VirtualSerialFactory::VirtualSerialFactory(adapter::VirtualClock& clock, Controller& controller)
    : m_shared(std::make_shared<Shared>(Shared{clock, controller, {}})) {}

VirtualSerialFactory::~VirtualSerialFactory() = default;

namespace {

// What a real port's opening step fails with, when the configuration names no errno.
ui::SystemError openingError(const std::string& device, adapter::SerialOpenResult result,
                             int code) {
    switch (result) {
        case adapter::SerialOpenResult::CannotReadSettings:
            return ui::errnoError(device, "ioctl(TIOCMGET)", code != 0 ? code : ENOTTY);
        case adapter::SerialOpenResult::CannotWriteSettings:
        case adapter::SerialOpenResult::CannotWriteTimeouts:
            return ui::errnoError(device, "tcsetattr", code != 0 ? code : EINVAL);
        case adapter::SerialOpenResult::Ok:
        case adapter::SerialOpenResult::CannotOpen:
            break;
    }
    return ui::errnoError(device, "open", code != 0 ? code : ENOENT);
}

}  // namespace

std::unique_ptr<adapter::LineAccess> VirtualSerialFactory::open(const std::string& deviceName,
                                                                adapter::SerialOpenResult& result,
                                                                ui::SystemError& error) {
    Shared& s = *m_shared;
    if (s.vanished) {
        result = adapter::SerialOpenResult::CannotOpen;
        error = ui::errnoError(deviceName, "open", ENOENT);
        return nullptr;
    }
    result = s.config.openResult;
    if (result != adapter::SerialOpenResult::Ok) {
        error = openingError(deviceName, result, s.config.openErrno);
        return nullptr;
    }
    error = {};
    ++s.opens;
    s.operationsSinceOpen = 0;
    const bool wired = s.config.adapterPort.empty() || s.config.adapterPort == deviceName;
    auto line = std::make_unique<VirtualSerialLine>(m_shared, wired, deviceName);
    line->driveOpeningLevels();
    return line;
}

SerialAdapterConfig& VirtualSerialFactory::config() {
    return m_shared->config;
}

void VirtualSerialFactory::replug() {
    m_shared->vanished = false;
    m_shared->config.vanishAfterOps = 0;
}

bool VirtualSerialFactory::vanished() const {
    return m_shared->vanished;
}
void VirtualSerialFactory::setAttached(bool attached) {
    m_shared->attached = attached;
}
int VirtualSerialFactory::openCount() const {
    return m_shared->opens;
}
std::uint64_t VirtualSerialFactory::operationCount() const {
    return m_shared->operations;
}

}  // namespace sim
