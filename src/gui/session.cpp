#include "gui/session.h"

#include <QDir>
#include <QFile>

#include "shell/start_directory.h"
#include "sim/test_rig.h"

namespace gui {

Session::Session(const StartOptions& options, std::ostream& errors)
    : Session(options, findRealPorts(), errors) {}

Session::Session(const StartOptions& options, RealPorts ports, std::ostream& errors,
                 const std::function<void(QtHost&)>& prepareHost)
    : m_ports(std::move(ports)), m_simulator(std::make_unique<sim::TestRig>()) {
    if (prepareHost) {
        prepareHost(m_host);
    }
    m_app = std::make_unique<shell::App>(
        m_host, shell::Backends{&m_clock, m_ports.serialPorts.get(), m_ports.portIo.get()},
        m_ports.platform);
    m_app->setVirtualBackends(shell::Backends{&m_simulator->clock(), &m_simulator->serialPorts(),
                                              &m_simulator->portIo()});
    m_window = std::make_unique<MainWindow>(*m_app, m_host, m_ports.annotate);

    m_startDirectory = chooseStartDirectory(options, errors);
    // Relative paths, the help document and the file dialog start where qvsetup.cfg is.
    if (!m_startDirectory.empty()) {
        QDir::setCurrent(QFile::decodeName(QByteArray::fromStdString(m_startDirectory)));
    }
    m_app->initDialog(m_startDirectory);

    if (options.simulate) {
        if (!options.simMemory.isEmpty()) {
            const std::string reason = sim::loadSetupFile(
                QFile::encodeName(options.simMemory).toStdString(), m_simulator->setupMemory());
            if (!reason.empty()) {
                errors << reason << '\n';
                m_host.messageBox(nullptr, reason, "Error", ui::Buttons::Ok);
            }
        }
        m_app->selectVirtualController(false);
    }
    m_window->syncFromModel();
}

Session::~Session() {
    m_window.reset();
    m_app.reset();
}

std::string Session::chooseStartDirectory(const StartOptions& options, std::ostream& errors) {
    if (options.userDirectory) {
        std::string reason;
        if (std::optional<std::string> directory = shell::userConfigDirectory(reason)) {
            return *directory;
        }
        errors << reason << '\n';
        m_host.messageBox(nullptr,
                          "Der Konfigurationsordner ist nicht verfügbar:\n" + reason +
                              "\nqvsetup.cfg wird im aktuellen Ordner gesucht.",
                          "Error", ui::Buttons::Ok);
    } else if (!options.directory.isEmpty()) {
        return QFile::encodeName(QDir(options.directory).absolutePath()).toStdString();
    }
    return shell::currentDirectory(errors);
}

}  // namespace gui
