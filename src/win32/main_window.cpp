#include "win32/main_window.h"

#include "resources/main_dialog_ids.h"
#include "resources/texts.h"
#include "resources/translation.h"
#include "shell/commands.h"
#include "shell/desktop_start.h"
#include "shell/real_ports.h"

namespace win32 {
namespace {

bool reachedByComItem(const std::string& name) {
    for (int n = 1; n <= ids::Com8Item - ids::Com1Item + 1; ++n) {
        if (name == "COM" + std::to_string(n)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<FoundPortItem> foundPortItems(const std::vector<adapter::DiscoveredPort>& ports) {
    std::vector<FoundPortItem> items;
    for (const adapter::DiscoveredPort& port : ports) {
        if (reachedByComItem(port.name)) {
            continue;
        }
        items.push_back({port.name, port.driver});
        if (items.size() == maxFoundPortItems) {
            break;
        }
    }
    return items;
}

MainWindow::MainWindow(shell::App& app, Win32Host& host, Discover discover)
    : m_app(app),
      m_host(host),
      m_discover(discover ? std::move(discover) : Discover(&shell::listSerialPorts)),
      m_window(app.mainDialog(), [this](ui::ControlId id) { return runCommand(id); }) {
    m_window.setMenu(buildMenu());
    m_window.setIcon(appIconId);
    // Enter would send OK, which ends the program without saving the port.
    m_window.setEnterSendsCommands(false);
    m_window.setAfterSync([this] { updateChecks(); });
    m_window.setOnInit([this] { refreshPorts(); });
    m_window.setOnMenuPopup([this](HMENU popup) {
        if (MenuBar* bar = m_window.menu(); bar != nullptr && popup == bar->popup(portPopupIndex)) {
            refreshPorts();
        }
    });
    m_host.registerWindow(m_window);
}

MainWindow::~MainWindow() {
    m_host.unregisterWindow(m_window);
}

std::unique_ptr<MenuBar> MainWindow::buildMenu() const {
    auto menu = std::make_unique<MenuBar>(m_app.mainDialog(), m_app.language());
    if (m_app.hasVirtualController()) {
        menu->addItem(portPopupIndex, shell::VirtualControllerItem,
                      lang::shownText(m_app.language(), virtualControllerText), true);
    }
    return menu;
}

void MainWindow::followLanguage() {
    if (m_window.language() == m_app.language() && m_host.language() == m_app.language()) {
        return;
    }
    m_host.setLanguage(m_app.language());
    m_window.setLanguage(m_app.language());
    m_window.setMenu(buildMenu());
    refreshPorts();
}

void MainWindow::refreshPorts() {
    MenuBar* bar = m_window.menu();
    if (bar == nullptr) {
        return;
    }
    bar->removeItems(portPopupIndex, ids::CheckPortItem, ids::CheckPortItem);
    bar->removeItems(portPopupIndex, firstFoundPortItem,
                     firstFoundPortItem + maxFoundPortItems - 1);
    m_found = foundPortItems(m_discover());
    for (std::size_t i = 0; i < m_found.size(); ++i) {
        const std::string text =
            m_found[i].note.empty() ? m_found[i].name : m_found[i].name + '\t' + m_found[i].note;
        bar->addItem(portPopupIndex, firstFoundPortItem + static_cast<ui::ControlId>(i), text,
                     i == 0);
    }
    // Last: the findings for the chosen port.
    bar->addItem(portPopupIndex, ids::CheckPortItem,
                 lang::shownText(m_app.language(), texts::CheckPort), true);
    updateChecks();
}

void MainWindow::updateChecks() {
    MenuBar* bar = m_window.menu();
    if (bar == nullptr) {
        return;
    }
    bar->setChecked(shell::VirtualControllerItem, m_app.virtualControllerSelected());
    const adapter::PortSelection& port = m_app.port();
    const bool serial =
        !m_app.virtualControllerSelected() && port.kind == adapter::PortKind::Serial;
    for (std::size_t i = 0; i < m_found.size(); ++i) {
        bar->setChecked(firstFoundPortItem + static_cast<ui::ControlId>(i),
                        serial && port.comDeviceName == m_found[i].name);
    }
}

ui::Outcome MainWindow::runCommand(ui::ControlId id) {
    const ui::ControlId index = id - firstFoundPortItem;
    if (index >= 0 && index < static_cast<ui::ControlId>(m_found.size())) {
        return shell::selectDevicePort(m_app, m_found[static_cast<std::size_t>(index)].name);
    }
    const ui::Outcome outcome = m_app.dispatch(id);
    // A write cut off half-way is offered again, or the backup taken before it.
    shell::offerAfterInterruptedWrite(m_app, id, outcome);
    followLanguage();
    return outcome;
}

}  // namespace win32
