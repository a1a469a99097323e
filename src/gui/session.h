// Everything the desktop program owns while it runs: the host, the back-ends, the
// virtual controller, the application context and the main window, started in order.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <ostream>

#include "gui/main_window.h"
#include "gui/qt_host.h"
#include "gui/start_options.h"
#include "shell/desktop_start.h"

namespace gui {

// What the Port menu shows beside COMn: the system device, marked when it is missing.
QString comPortNote(ui::ControlId id);

class Session {
  public:
    // Builds the context and the window and runs dialog initialisation; errors that the
    // user cannot see in a box (there is no window yet) go to errors as well.
    Session(const StartOptions& options, std::ostream& errors);
    // Real ports as given, for tests and benchmarks that must not touch the machine's;
    // prepareHost runs before anything can show a box.
    Session(const StartOptions& options, shell::RealPorts ports, std::ostream& errors,
            const std::function<void(QtHost&)>& prepareHost = {});

    shell::App& app() { return m_start.app(); }
    QtHost& host() { return m_host; }
    MainWindow& window() { return *m_window; }
    shell::VirtualController& simulator() { return m_start.simulator(); }
    const std::string& startDirectory() const { return m_startDirectory; }

  private:
    QtHost m_host;
    shell::DesktopStart m_start;
    std::unique_ptr<MainWindow> m_window;
    std::string m_startDirectory;
};

}  // namespace gui
