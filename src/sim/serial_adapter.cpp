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
    int openHandles = 0;
};

namespace {

constexpr std::uint64_t usbCallNs = 1'000'000;  // one control transfer at full speed
// A cached status: the read only copies the driver's last report.
constexpr std::uint64_t cachedReadNs = 5'000;
constexpr std::uint64_t statusReportNs = 1'000'000;
// What a driver that emulates a break with a slow zero byte gives: about 217 ms.
constexpr std::uint64_t emulatedBreakNs = 217'000'000;

struct DriverRow {
    SerialDriver driver;
    std::string_view name;
    std::uint64_t changeNs;
    std::uint64_t readNs;
    std::uint64_t reportNs;
    std::uint64_t breakPulseNs;
    bool ctsAlwaysOn;
};

constexpr DriverRow driverRows[] = {
    {SerialDriver::Native, "native", 2'000, 2'000, 0, 0, false},
    {SerialDriver::Ftdi, "ftdi", usbCallNs, usbCallNs, 0, 0, false},
    {SerialDriver::Cp210x, "cp210x", usbCallNs, usbCallNs, 0, 0, false},
    {SerialDriver::Ch341, "ch341", usbCallNs, cachedReadNs, statusReportNs, 0, false},
    {SerialDriver::Ch341NoBreak, "ch341-nobreak", usbCallNs, cachedReadNs, statusReportNs,
     emulatedBreakNs, false},
    {SerialDriver::Pl2303, "pl2303", usbCallNs, cachedReadNs, statusReportNs, 0, false},
    {SerialDriver::CdcAcm, "cdc-acm", usbCallNs, usbCallNs, 0, 0, true},
};

const DriverRow& rowOf(SerialDriver driver) {
    const auto row = std::ranges::find(driverRows, driver, &DriverRow::driver);
    return row != std::end(driverRows) ? *row : driverRows[0];
}

class VirtualSerialLine final : public adapter::LineAccess {
  public:
    VirtualSerialLine(std::shared_ptr<VirtualSerialFactory::Shared> shared, std::string device)
        : m_shared(std::move(shared)), m_device(std::move(device)) {}
    ~VirtualSerialLine() override;

    void setClock(bool high) override { drive(Line::Clock, high); }
    void setDataOut(bool high) override {
        std::uint64_t now = 0;
        if (operate(now, config().opCostNs)) {
            m_dtr = high;
            apply(now, Line::DataOut, high);
        }
    }
    void setReset(bool high) override {
        std::uint64_t now = 0;
        if (!operate(now, config().opCostNs)) {
            return;
        }
        // A driver that cannot hold a break sends one long pulse and lets go by itself.
        m_breakEndsNs = high && config().breakPulseNs != 0 ? now + config().breakPulseNs : 0;
        apply(now, Line::Reset, high);
    }
    int readDataIn() override {
        std::uint64_t now = 0;
        if (!operate(now, readCost()) || !adapterPresent()) {
            return 0;
        }
        if (config().ctsAlwaysOn) {
            return 1;
        }
        if (config().statusReportIntervalNs != 0) {
            return m_reportedCts ? 1 : 0;
        }
        return m_shared->controller.readDataIn(now) ? 1 : 0;
    }
    bool readLoopBack() override {
        std::uint64_t now = 0;
        if (!operate(now, readCost())) {
            return false;
        }
        const bool dtr = config().statusReportIntervalNs != 0 ? m_reportedDtr : m_dtr;
        switch (config().loopBack) {
            case LoopBack::FollowsDtr:
                return dtr;
            case LoopBack::Missing:
                return false;
            case LoopBack::StuckOn:
                return true;
        }
        return false;
    }
    const ui::SystemError* fault() const override { return m_failed ? &m_fault : nullptr; }
    // What the port's driver tells about itself, as the real back-end learns it from the
    // kernel driver's name.
    adapter::LineTraits traits() const override {
        adapter::LineTraits traits;
        traits.linesRaisedOnOpen = config().raisesLinesOnOpen;
        traits.statusReportIntervalNs = config().statusReportIntervalNs;
        traits.dataInConstant = config().ctsAlwaysOn;
        traits.breakHeld = config().breakPulseNs == 0;
        return traits;
    }

    // Opening the port leaves break off (RESET low); RTS and DTR are off too, or raised
    // where the driver does what a tty does.
    void driveOpeningLevels() {
        ++m_shared->openHandles;
        if (!adapterPresent()) {
            return;
        }
        const bool raised = config().raisesLinesOnOpen;
        m_dtr = raised;
        m_reportedDtr = raised;
        const Line order[] = {raised ? Line::Reset : Line::Clock, Line::DataOut,
                              raised ? Line::Clock : Line::Reset};
        for (Line line : order) {
            m_shared->clock.advanceNs(step(config().opCostNs));
            m_shared->controller.setLine(m_shared->clock.nowNs(), line,
                                         raised && line != Line::Reset);
        }
    }

  private:
    using Shared = VirtualSerialFactory::Shared;
    const SerialAdapterConfig& config() const;
    static std::uint64_t step(std::uint64_t costNs) { return std::max<std::uint64_t>(costNs, 1); }
    std::uint64_t readCost() const {
        return config().readCostNs != 0 ? config().readCostNs : config().opCostNs;
    }
    bool adapterPresent() const;

    // What happened on its own between the last call and now: the end of a break pulse
    // and the driver's status reports, in the order they came.
    void catchUp(std::uint64_t now) {
        Controller& controller = m_shared->controller;
        const std::uint64_t interval = config().statusReportIntervalNs;
        const std::uint64_t reportNs = interval != 0 ? now - now % interval : 0;
        const bool newReport = interval != 0 && reportNs > m_lastReportNs;
        auto endBreak = [&] {
            if (m_breakEndsNs != 0 && m_breakEndsNs <= now) {
                if (adapterPresent()) {
                    controller.setLine(m_breakEndsNs, Line::Reset, false);
                }
                m_breakEndsNs = 0;
            }
        };
        if (m_breakEndsNs != 0 && (!newReport || m_breakEndsNs <= reportNs)) {
            endBreak();
        }
        if (newReport) {
            m_lastReportNs = reportNs;
            m_reportedCts = adapterPresent() && controller.readDataIn(reportNs);
            m_reportedDtr = m_dtr;
        }
        endBreak();
    }

    // One modem-line call: costs its time, or does nothing once the port is gone.
    bool operate(std::uint64_t& now, std::uint64_t costNs);

    void apply(std::uint64_t now, Line line, bool high) {
        if (adapterPresent()) {
            m_shared->controller.setLine(now, line, high);
        }
    }
    void drive(Line line, bool high) {
        std::uint64_t now = 0;
        if (operate(now, config().opCostNs)) {
            apply(now, line, high);
        }
    }

    std::shared_ptr<Shared> m_shared;
    std::string m_device;
    bool m_dtr = false;
    bool m_failed = false;
    ui::SystemError m_fault;
    std::uint64_t m_breakEndsNs = 0;
    std::uint64_t m_lastReportNs = 0;
    bool m_reportedCts = false;
    bool m_reportedDtr = false;
};

const SerialAdapterConfig& VirtualSerialLine::config() const {
    return m_shared->config;
}

bool VirtualSerialLine::adapterPresent() const {
    return m_shared->attached && m_shared->config.loopBack != LoopBack::Missing;
}

bool VirtualSerialLine::operate(std::uint64_t& now, std::uint64_t costNs) {
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
    s.clock.advanceNs(step(costNs));
    now = s.clock.nowNs();
    catchUp(now);
    return true;
}

// The last close drops DTR and RTS, as a tty with hang-up on close does.
VirtualSerialLine::~VirtualSerialLine() {
    Shared& s = *m_shared;
    if (--s.openHandles > 0 || !s.config.raisesLinesOnOpen || m_failed || s.vanished) {
        return;
    }
    s.clock.advanceNs(step(s.config.opCostNs));
    catchUp(s.clock.nowNs());
    apply(s.clock.nowNs(), Line::DataOut, false);
    s.clock.advanceNs(step(s.config.opCostNs));
    apply(s.clock.nowNs(), Line::Clock, false);
}

}  // namespace

VirtualSerialFactory::VirtualSerialFactory(adapter::VirtualClock& clock, Controller& controller)
    : m_shared(std::make_shared<Shared>(Shared{clock, controller, {}})) {}

VirtualSerialFactory::~VirtualSerialFactory() = default;

namespace {

// What a real port's opening step fails with.
ui::SystemError openingError(const std::string& device, adapter::SerialOpenResult result) {
    switch (result) {
        case adapter::SerialOpenResult::CannotReadSettings:
            return ui::errnoError(device, "ioctl(TIOCMGET)", ENOTTY);
        case adapter::SerialOpenResult::CannotWriteSettings:
        case adapter::SerialOpenResult::CannotWriteTimeouts:
            return ui::errnoError(device, "tcsetattr", EINVAL);
        case adapter::SerialOpenResult::Ok:
        case adapter::SerialOpenResult::CannotOpen:
            break;
    }
    return ui::errnoError(device, "open", ENOENT);
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
        error = openingError(deviceName, result);
        return nullptr;
    }
    error = {};
    ++s.opens;
    s.operationsSinceOpen = 0;
    auto line = std::make_unique<VirtualSerialLine>(m_shared, deviceName);
    line->driveOpeningLevels();
    return line;
}

SerialAdapterConfig& VirtualSerialFactory::config() {
    return m_shared->config;
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

std::optional<SerialDriver> driverProfileByName(std::string_view name) {
    const auto row = std::ranges::find(driverRows, name, &DriverRow::name);
    return row != std::end(driverRows) ? std::optional(row->driver) : std::nullopt;
}

std::string_view driverName(SerialDriver driver) {
    return rowOf(driver).name;
}

void useDriver(SerialAdapterConfig& config, SerialDriver driver) {
    const DriverRow& row = rowOf(driver);
    config.driver = driver;
    config.opCostNs = row.changeNs;
    config.readCostNs = row.readNs;
    config.statusReportIntervalNs = row.reportNs;
    config.breakPulseNs = row.breakPulseNs;
    config.ctsAlwaysOn = row.ctsAlwaysOn;
    config.raisesLinesOnOpen = true;
}

bool applySimDriver(SerialAdapterConfig& config, std::string_view name) {
    const std::optional<SerialDriver> driver = driverProfileByName(name);
    if (driver) {
        useDriver(config, *driver);
    }
    return driver.has_value();
}

}  // namespace sim
