// The main dialog's window: its controls and menu bar bound to the application's model,
// every command dispatched through the shell. The Port menu holds, beyond COM1 … COM8 of
// the template, the virtual controller and the further ports the system lists.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "adapter/port_discovery.h"
#include "resources/port_menu_ids.h"
#include "shell/app.h"
#include "win32/dialog_window.h"
#include "win32/win32_host.h"

namespace win32 {

inline constexpr const char* virtualControllerText = "Virtueller Controller";
// The "Port" pop-up is the second of the bar.
inline constexpr int portPopupIndex = 1;
// The first command id of the further ports' items.
inline constexpr ui::ControlId firstFoundPortItem = ids::FirstFoundPortItem;
inline constexpr int maxFoundPortItems = 100;
// The program's icon in its resources.
inline constexpr int appIconId = 1;

struct FoundPortItem {
    std::string name;  // what the item opens: "COM12"
    std::string note;  // the driver's device shown beside it
};

// The ports no COM item reaches (COM9 and above), in the order the system lists them.
std::vector<FoundPortItem> foundPortItems(const std::vector<adapter::DiscoveredPort>& ports);

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
    const std::vector<FoundPortItem>& foundPorts() const { return m_found; }
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
    std::vector<FoundPortItem> m_found;
};

}  // namespace win32
