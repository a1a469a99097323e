#include "adapter/serial_port_qt.h"

#include <QSerialPort>
#include <type_traits>

#include "adapter/com_mapping.h"
#include "adapter/link_state.h"
#include "adapter/modem_lines.h"

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

// The port stays open as long as its lines exist.
class QtSerialLines final : public LineAccess {
  public:
    explicit QtSerialLines(std::unique_ptr<QSerialPort> port)
        : m_port(std::move(port)), m_lines(nativeHandle(m_port->handle())) {}
    ~QtSerialLines() override { m_port->close(); }

    void setClock(bool high) override { m_lines.setClock(high); }
    void setDataOut(bool high) override { m_lines.setDataOut(high); }
    void setReset(bool high) override { m_lines.setReset(high); }
    int readDataIn() override { return m_lines.readDataIn(); }
    bool readLoopBack() override { return m_lines.readLoopBack(); }
    std::uint32_t readModemStatus() override { return m_lines.readModemStatus(); }
    bool failed() const override { return m_lines.failed(); }

  private:
    std::unique_ptr<QSerialPort> m_port;
    modem::HandleLines m_lines;
};

}  // namespace

std::unique_ptr<LineAccess> QtSerialPortFactory::open(const std::string& deviceName,
                                                      SerialOpenResult& result) {
    m_lastError.clear();
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(QString::fromStdString(systemDeviceFor(deviceName)));
    // Write-only: the UART's data path is never used, so nothing can ever wait for input.
    if (!port->open(QIODevice::WriteOnly)) {
        m_lastError = port->errorString().toStdString();
        result = SerialOpenResult::CannotOpen;
        return nullptr;
    }
    std::uint32_t status = 0;
    modem::SystemError error;
    if (!modem::readStatus(nativeHandle(port->handle()), status, error)) {
        m_lastError = error.call + " failed, error " + std::to_string(error.code);
        port->close();
        result = SerialOpenResult::CannotReadSettings;
        return nullptr;
    }
    // Flow control off: the driver must leave RTS and DTR to us.
    if (!port->setBaudRate(QSerialPort::Baud9600) || !port->setDataBits(QSerialPort::Data8) ||
        !port->setParity(QSerialPort::NoParity) || !port->setStopBits(QSerialPort::OneStop) ||
        !port->setFlowControl(QSerialPort::NoFlowControl)) {
        m_lastError = port->errorString().toStdString();
        port->close();
        result = SerialOpenResult::CannotWriteSettings;
        return nullptr;
    }
    result = SerialOpenResult::Ok;
    return std::make_unique<QtSerialLines>(std::move(port));
}

}  // namespace adapter
