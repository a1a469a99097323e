// The main dialog's window: its controls and menu bar bound to the application's model,
// every command dispatched through the shell. The Port menu holds, beyond COM1 … COM8 of
// the template, the virtual controller and the further ports the system lists.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "adapter/port_discovery.h"
#include "shell/port_menu.h"
#include "win32/dialog_window.h"
#include "win32/win32_host.h"

namespace win32 {

// The program's icon in its resources.
inline constexpr int appIconId = 1;

class MainWindow {
  public:
    using Discover = std::function<std::vector<adapter::DiscoveredPort>()>;

    // discover lists the system's serial ports (the registry's by default).
    MainWindow(shell::App& app, Win32Host& host, Discover discover = {});
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Runs the main dialog until the program ends.
    void run() { m_window.run(nullptr); }
    // The same window without a modal loop of its own (tests drive it message by message).
    HWND create() { return m_window.create(nullptr); }
    DialogWindow& window() { return m_window; }
    const std::vector<shell::FoundPortItem>& foundPorts() const { return m_found; }
    // Lists the ports again and rebuilds their items (done each time the Port menu opens).
    void refreshPorts();
    // The window, its menu, the boxes and the sub-dialogs follow the application's
    // language (after "Sprache / Language", and at start).
    void followLanguage();

  private:
    std::unique_ptr<MenuBar> buildMenu() const;
    ui::Outcome runCommand(ui::ControlId id);
    void updateChecks();

    shell::App& m_app;
    Win32Host& m_host;
    Discover m_discover;
    DialogWindow m_window;
    std::vector<shell::FoundPortItem> m_found;
};

}  // namespace win32
