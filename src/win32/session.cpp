#include "win32/session.h"

#include <windows.h>

#include <shellapi.h>

#include "shell/desktop_start.h"
#include "shell/language_choice.h"
#include "win32/wide_text.h"

namespace win32 {

Session::Session(const shell::StartOptions& options, std::ostream& errors)
    : Session(options, shell::findRealPorts(), errors, {}) {}

Session::Session(const shell::StartOptions& options, shell::RealPorts ports, std::ostream& errors,
                 MainWindow::Discover discover)
    : m_start(m_host, options, std::move(ports)) {
    shell::App& app = m_start.app();
    m_window = std::make_unique<MainWindow>(app, m_host, std::move(discover));
    m_window->followLanguage();

    m_startDirectory = shell::desktopStartDirectory(options, m_host, errors);
    // Relative paths, the help document and the file dialog start where qvsetup.cfg is.
    if (!m_startDirectory.empty()) {
        SetCurrentDirectoryW(widen(m_startDirectory).c_str());
    }
    // --lang, else the choice remembered beside qvsetup.cfg, else German.
    app.setLanguage(shell::startLanguage(options.language, m_startDirectory));
    m_window->followLanguage();
    app.initDialog(m_startDirectory);
    m_start.startSimulation(options, errors);
}

std::vector<std::string> commandLineArguments() {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(narrow(words[i]));
    }
    LocalFree(words);
    return arguments;
}

}  // namespace win32
