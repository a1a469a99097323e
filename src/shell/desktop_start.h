// What both desktop programs do at start-up and in the Port menu, whatever draws their
// windows.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "adapter/clock.h"
#include "shell/app.h"
#include "shell/real_ports.h"
#include "shell/start_options.h"
#include "shell/virtual_controller.h"

namespace shell {

// What both desktop programs own beside their host and window, and the start-up they share.
class DesktopStart {
  public:
    // The application context on ports, the virtual controller beside them; boxes speak
    // --lang until the start directory is known, and automatic backups are kept.
    DesktopStart(ui::UiHost& host, const StartOptions& options, RealPorts ports);

    App& app() { return *m_app; }
    VirtualController& simulator() { return *m_simulator; }

    // --simulate: the virtual controller's memory loaded (a failure told) and selected.
    void startSimulation(const StartOptions& options, std::ostream& errors);

  private:
    adapter::MonotonicClock m_clock;
    RealPorts m_ports;
    std::unique_ptr<VirtualController> m_simulator;
    std::unique_ptr<App> m_app;
};

// The desktop program's command line, the program's name first: only the options both
// front ends share. nullopt with the reason in error for one that makes no sense.
std::optional<StartOptions> parseDesktopOptions(const std::vector<std::string>& args,
                                                std::string& error);
// --help's text.
std::string desktopUsageText();

// Where qvsetup.cfg lives: the user's configuration folder for --user-dir (when there is
// none, the user is told and the current directory serves), --dir made absolute, or the
// current directory. What the user cannot see in a box goes to errors as well.
std::string desktopStartDirectory(const StartOptions& options, ui::UiHost& host,
                                  std::ostream& errors);

// Selects device (a port no COM item reaches) as the serial adapter's port and runs the
// adapter check, as a COM item does. qvsetup.cfg's port field stays as it is.
ui::Outcome selectDevicePort(App& app, const std::string& device);

}  // namespace shell
