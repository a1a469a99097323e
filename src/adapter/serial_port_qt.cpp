#include "adapter/serial_port_qt.h"

#include <QSerialPort>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <type_traits>

#include "adapter/com_mapping.h"
#include "adapter/link_state.h"
#include "adapter/modem_lines.h"
#include "adapter/port_discovery.h"

namespace adapter {

namespace {

// QSerialPort::handle() is a file descriptor on POSIX systems and a HANDLE on Windows.
template <typename Handle>
std::intptr_t nativeHandle(Handle handle) {
    if constexpr (std::is_pointer_v<Handle>) {
        return reinterpret_cast<std::intptr_t>(handle);
    } else {
        return static_cast<std::intptr_t>(handle);
    }
}

// Qt folds the system's error numbers into a few kinds; each maps back to the errno that
// stands for it, so that the reason reads as the C library says it.
int errnoFor(QSerialPort::SerialPortError kind) {
    switch (kind) {
        case QSerialPort::DeviceNotFoundError:
            return ENOENT;
        case QSerialPort::PermissionError:
            return EACCES;
        case QSerialPort::OpenError:
            return EBUSY;
        case QSerialPort::ResourceError:
            return EIO;
        case QSerialPort::UnsupportedOperationError:
            return ENOTTY;
        case QSerialPort::TimeoutError:
            return ETIMEDOUT;
        default:
            return 0;
    }
}

ui::SystemError qtError(const std::string& device, const char* call, const QSerialPort& port) {
    const int code = errnoFor(port.error());
    if (code == ENOENT) {
        // Qt's own text for it is not the system's.
        return ui::errnoError(device, call, code);
    }
    return ui::SystemError{device, call, code, port.errorString().toStdString()};
}

// What the port's kernel driver does to the lines, from its name in sysfs. Opening raised
// RTS and DTR on every system.
LineTraits driverTraits(const std::string& device) {
    LineTraits traits;
    traits.linesRaisedOnOpen = true;
    std::error_code error;
    const std::filesystem::path target = std::filesystem::canonical(device, error);
    if (error) {
        return traits;
    }
    for (const DiscoveredPort& port : discoverSerialPorts()) {
        std::error_code portError;
        if (std::filesystem::canonical(port.devicePath, portError) != target || portError) {
            continue;
        }
        // These drivers answer a CTS read from the status report the chip sends every 1 ms.
        if (port.driver == "ch341" || port.driver == "pl2303") {
            traits.statusReportIntervalNs = 1'000'000;
        }
        traits.dataInConstant = port.driver == "cdc_acm";
        break;
    }
    return traits;
}

// The port stays open as long as its lines exist.
class QtSerialLines final : public LineAccess {
  public:
    QtSerialLines(std::unique_ptr<QSerialPort> port, const std::string& device)
        : m_port(std::move(port)),
          m_lines(nativeHandle(m_port->handle()), device),
          m_traits(driverTraits(device)) {}
    LineTraits traits() const override { return m_traits; }
    ~QtSerialLines() override { m_port->close(); }

    void setClock(bool high) override { m_lines.setClock(high); }
    void setDataOut(bool high) override { m_lines.setDataOut(high); }
    void setReset(bool high) override { m_lines.setReset(high); }
    int readDataIn() override { return m_lines.readDataIn(); }
    bool readLoopBack() override { return m_lines.readLoopBack(); }
    std::uint32_t readModemStatus() override { return m_lines.readModemStatus(); }
    const ui::SystemError* fault() const override { return m_lines.fault(); }

  private:
    std::unique_ptr<QSerialPort> m_port;
    modem::HandleLines m_lines;
    LineTraits m_traits;
};

}  // namespace

std::string QtSerialPortFactory::devicePath(const std::string& deviceName) const {
    return systemDeviceFor(deviceName);
}

std::unique_ptr<LineAccess> QtSerialPortFactory::open(const std::string& deviceName,
                                                      SerialOpenResult& result,
                                                      ui::SystemError& error) {
    const std::string device = devicePath(deviceName);
    auto fail = [&](SerialOpenResult reason, ui::SystemError why) {
        result = reason;
        error = std::move(why);
        m_lastError = error.describe();
        return nullptr;
    };
    m_lastError.clear();
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(QString::fromStdString(device));
    // Write-only: the UART's data path is never used, so nothing can ever wait for input.
    if (!port->open(QIODevice::WriteOnly)) {
        return fail(SerialOpenResult::CannotOpen, qtError(device, "open", *port));
    }
    std::uint32_t status = 0;
    ui::SystemError statusError;
    if (!modem::readStatus(nativeHandle(port->handle()), status, statusError)) {
        port->close();
        statusError.subject = device;
        return fail(SerialOpenResult::CannotReadSettings, std::move(statusError));
    }
    // Flow control off: the driver must leave RTS and DTR to us.
    if (!port->setBaudRate(QSerialPort::Baud9600) || !port->setDataBits(QSerialPort::Data8) ||
        !port->setParity(QSerialPort::NoParity) || !port->setStopBits(QSerialPort::OneStop) ||
        !port->setFlowControl(QSerialPort::NoFlowControl)) {
        ui::SystemError settingsError = qtError(device, "tcsetattr", *port);
        port->close();
        return fail(SerialOpenResult::CannotWriteSettings, std::move(settingsError));
    }
    result = SerialOpenResult::Ok;
    error = {};
    return std::make_unique<QtSerialLines>(std::move(port), device);
}

}  // namespace adapter
