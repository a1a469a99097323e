// The "Port" menu beyond COM1 … COM8: the ports found on this machine that those items do
// not reach (ttyUSB4 on, ttyACM*, the stable /dev/serial/by-id names), each with what it
// is. A port chosen there is remembered in its own settings file beside qvsetup.cfg,
// whose port field holds only four characters and keeps its exact format.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "shell/app.h"
#include "shell/port_menu.h"
#include "ui/outcome.h"

class QAction;
class QMenu;

namespace gui {

class CommandDialog;

// The INI file beside qvsetup.cfg.
inline constexpr const char* portChoiceFileName = "zek-setup-ports.ini";

// The remembered choice: the device, and the qvsetup.cfg port name at the time, so that a
// port chosen later by its COM item (or by an older program) wins over it.
struct PortChoice {
    std::string device;
    std::string configPortName;
};
std::optional<PortChoice> readPortChoice(const std::string& startDirectory);
void writePortChoice(const std::string& startDirectory, const PortChoice& choice);
void forgetPortChoice(const std::string& startDirectory);

// Applies a remembered choice after dialog initialisation, quietly as start-up applies
// the COM port: true when it still matches qvsetup.cfg and was applied.
bool restorePortChoice(shell::App& app, const std::string& startDirectory);

// Selects device as the serial adapter's port and runs the adapter check, as a COM item
// does, and remembers it.
ui::Outcome selectFoundPort(shell::App& app, const std::string& device,
                            const std::string& startDirectory);

class PortMenuExtra : public QObject {
    Q_OBJECT

  public:
    using Discover = std::function<std::vector<adapter::DiscoveredPort>()>;

    // Adds the items to window's "Port" pop-up and keeps them current each time it opens;
    // takes over window's command handler so that the items run as commands do.
    PortMenuExtra(shell::App& app, CommandDialog& window, std::string startDirectory,
                  Discover discover = {});

    // Rebuilds the items from a fresh port list.
    void refresh();
    const std::vector<shell::FoundPortItem>& items() const { return m_items; }
    QAction* action(int index) const;

  private:
    ui::Outcome runCommand(ui::ControlId id);
    void updateChecks();

    shell::App& m_app;
    CommandDialog& m_window;
    std::string m_startDirectory;
    Discover m_discover;
    QMenu* m_menu = nullptr;
    QAction* m_separator = nullptr;
    std::vector<shell::FoundPortItem> m_items;
    std::vector<QAction*> m_actions;
};

// The hook: one call after the main window is built.
PortMenuExtra* installPortMenuExtra(shell::App& app, CommandDialog& window,
                                    const std::string& startDirectory);

}  // namespace gui
