// Everything the Windows desktop program owns while it runs: the host, the back-ends, the
// virtual controller, the application context and the main window, started in order.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "shell/desktop_start.h"
#include "win32/main_window.h"
#include "win32/win32_host.h"

namespace win32 {

class Session {
  public:
    // Builds the context and the window and runs dialog initialisation; errors that the
    // user cannot see in a box go to errors as well.
    Session(const shell::StartOptions& options, std::ostream& errors);
    // Real ports and the port list as given, for tests that must not touch the machine's.
    Session(const shell::StartOptions& options, shell::RealPorts ports, std::ostream& errors,
            MainWindow::Discover discover);

    shell::App& app() { return m_start.app(); }
    Win32Host& host() { return m_host; }
    MainWindow& window() { return *m_window; }
    shell::VirtualController& simulator() { return m_start.simulator(); }
    const std::string& startDirectory() const { return m_startDirectory; }

  private:
    Win32Host m_host;
    shell::DesktopStart m_start;
    std::unique_ptr<MainWindow> m_window;
    std::string m_startDirectory;
};

// The command line, the program's name first, as UTF-8.
std::vector<std::string> commandLineArguments();

}  // namespace win32
