#include "gui/session.h"

#include "gui/port_menu_extra.h"

#include <QDir>
#include <QFile>

#include "base/user_folders.h"
#include "resources/texts.h"
#include "shell/commands.h"
#include "shell/language_choice.h"

namespace gui {

Session::Session(const StartOptions& options, std::ostream& errors)
    : Session(options, shell::findRealPorts(), errors) {}

Session::Session(const StartOptions& options, shell::RealPorts ports, std::ostream& errors,
                 const std::function<void(QtHost&)>& prepareHost)
    : m_ports(std::move(ports)),
      m_simulator(std::make_unique<shell::VirtualController>(options.sim)) {
    if (prepareHost) {
        prepareHost(m_host);
    }
    m_app = std::make_unique<shell::App>(
        m_host, shell::Backends{&m_clock, m_ports.serialPorts.get(), m_ports.portIo.get()},
        m_ports.platform);
    m_app->setVirtualBackends(m_simulator->backends());
    shell::explainPortFailures(*m_app);
    // Boxes before the start directory is known already speak --lang.
    m_app->setLanguage(options.language.value_or(lang::Language::German));
    useDataFolder();
    m_window = std::make_unique<MainWindow>(*m_app, m_host, &comPortNote);

    m_startDirectory = chooseStartDirectory(options, errors);
    // Relative paths, the help document and the file dialog start where qvsetup.cfg is.
    if (!m_startDirectory.empty()) {
        QDir::setCurrent(QFile::decodeName(QByteArray::fromStdString(m_startDirectory)));
    }
    m_app->setLanguage(shell::startLanguage(options.language, m_startDirectory));
    m_window->followLanguage();
    m_app->initDialog(m_startDirectory);
    // The ports beyond COM1-COM8, and the one chosen among them last time.
    installPortMenuExtra(*m_app, *m_window, m_startDirectory);

    if (options.simulate) {
        if (const std::string reason = m_simulator->loadMemory(); !reason.empty()) {
            errors << reason << '\n';
            m_host.messageBox(nullptr, reason, texts::ErrorCaption, ui::Buttons::Ok);
        }
        m_app->selectVirtualController(false);
    }
    m_window->syncFromModel();
}

void Session::useDataFolder() {
    ui::SystemError error;
    std::optional<std::filesystem::path> folder = base::userDataFolder(error);
    m_app->setDataFolder(folder, error.describe());
    // The write goes on: a backup is a help, not a condition.
    m_app->writeGuard().setFailureReporter([this](const std::string& reason) {
        m_host.messageBox(&m_app->mainDialog(),
                          std::string(texts::BackupFailed) + reason + texts::WritingAnyway,
                          texts::BackupCaption, ui::Buttons::Ok);
    });
}

Session::~Session() {
    m_window.reset();
    m_app.reset();
}

std::string Session::chooseStartDirectory(const StartOptions& options, std::ostream& errors) {
    if (options.userDirectory) {
        std::string reason;
        if (std::optional<std::string> directory = base::userConfigDirectory(reason)) {
            return *directory;
        }
        errors << reason << '\n';
        m_host.messageBox(nullptr,
                          "Der Konfigurationsordner ist nicht verfügbar:\n" + reason +
                              "\nqvsetup.cfg wird im aktuellen Ordner gesucht.",
                          texts::ErrorCaption, ui::Buttons::Ok);
    } else if (!options.directory.empty()) {
        const QString directory = QFile::decodeName(QByteArray::fromStdString(options.directory));
        return QFile::encodeName(QDir(directory).absolutePath()).toStdString();
    }
    return base::currentDirectory(errors);
}

}  // namespace gui
