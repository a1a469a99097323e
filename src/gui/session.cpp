#include "gui/session.h"

#include "gui/port_menu_extra.h"

#include <QDir>
#include <QFile>

#include "shell/language_choice.h"

namespace gui {

Session::Session(const StartOptions& options, std::ostream& errors)
    : Session(options, shell::findRealPorts(), errors) {}

Session::Session(const StartOptions& options, shell::RealPorts ports, std::ostream& errors,
                 const std::function<void(QtHost&)>& prepareHost)
    : m_start(m_host, options, std::move(ports)) {
    if (prepareHost) {
        prepareHost(m_host);
    }
    shell::App& app = m_start.app();
    m_window = std::make_unique<MainWindow>(app, m_host, &comPortNote);

    m_startDirectory = shell::desktopStartDirectory(options, m_host, errors);
    // Relative paths, the help document and the file dialog start where qvsetup.cfg is.
    if (!m_startDirectory.empty()) {
        QDir::setCurrent(QFile::decodeName(QByteArray::fromStdString(m_startDirectory)));
    }
    app.setLanguage(shell::startLanguage(options.language, m_startDirectory));
    m_window->followLanguage();
    app.initDialog(m_startDirectory);
    // The ports beyond COM1-COM8, and the one chosen among them last time.
    installPortMenuExtra(app, *m_window, m_startDirectory);
    m_start.startSimulation(options, errors);
    m_window->syncFromModel();
}

}  // namespace gui
