#include "win32/session.h"

#include <windows.h>

#include <shellapi.h>

#include "resources/texts.h"
#include "shell/commands.h"
#include "shell/desktop_start.h"
#include "shell/language_choice.h"
#include "win32/wide_text.h"

namespace win32 {

Session::Session(const shell::StartOptions& options, std::ostream& errors)
    : Session(options, shell::findRealPorts(), errors, {}) {}

Session::Session(const shell::StartOptions& options, shell::RealPorts ports, std::ostream& errors,
                 MainWindow::Discover discover)
    : m_ports(std::move(ports)),
      m_simulator(std::make_unique<shell::VirtualController>(options.sim)) {
    m_app = std::make_unique<shell::App>(
        m_host, shell::Backends{&m_clock, m_ports.serialPorts.get(), m_ports.portIo.get()},
        m_ports.platform);
    m_app->setVirtualBackends(m_simulator->backends());
    shell::explainPortFailures(*m_app);
    // Boxes before the start directory is known already speak --lang.
    m_app->setLanguage(options.language.value_or(lang::Language::German));
    shell::keepAutomaticBackups(*m_app);
    m_window = std::make_unique<MainWindow>(*m_app, m_host, std::move(discover));
    m_window->followLanguage();

    m_startDirectory = shell::desktopStartDirectory(options, m_host, errors);
    // Relative paths, the help document and the file dialog start where qvsetup.cfg is.
    if (!m_startDirectory.empty()) {
        SetCurrentDirectoryW(widen(m_startDirectory).c_str());
    }
    // --lang, else the choice remembered beside qvsetup.cfg, else German.
    m_app->setLanguage(shell::startLanguage(options.language, m_startDirectory));
    m_window->followLanguage();
    m_app->initDialog(m_startDirectory);

    if (options.simulate) {
        if (const std::string reason = m_simulator->loadMemory(); !reason.empty()) {
            errors << reason << '\n';
            m_host.messageBox(nullptr, reason, texts::ErrorCaption, ui::Buttons::Ok);
        }
        m_app->selectVirtualController(false);
    }
}

Session::~Session() {
    m_window.reset();
    m_app.reset();
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
