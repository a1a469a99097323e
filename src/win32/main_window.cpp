#include "win32/main_window.h"

#include "resources/texts.h"
#include "resources/translation.h"
#include "shell/commands.h"
#include "shell/desktop_start.h"
#include "shell/real_ports.h"

namespace win32 {

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
        if (MenuBar* bar = m_window.menu();
            bar != nullptr && popup == bar->popup(ids::PortPopupIndex)) {
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
        menu->addItem(ids::PortPopupIndex, ids::VirtualControllerItem,
                      lang::shownText(m_app.language(), texts::VirtualController), true);
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
    bar->removeItems(ids::PortPopupIndex, ids::CheckPortItem, ids::CheckPortItem);
    bar->removeItems(ids::PortPopupIndex, ids::FirstFoundPortItem,
                     ids::FirstFoundPortItem + ids::MaxFoundPortItems - 1);
    m_found = shell::foundPortItems(m_discover());
    for (std::size_t i = 0; i < m_found.size(); ++i) {
        const shell::FoundPortItem& item = m_found[i];
        bar->addItem(ids::PortPopupIndex, ids::FirstFoundPortItem + static_cast<ui::ControlId>(i),
                     item.note.empty() ? item.device : item.device + '\t' + item.note, i == 0);
    }
    // Last: the findings for the chosen port.
    bar->addItem(ids::PortPopupIndex, ids::CheckPortItem,
                 lang::shownText(m_app.language(), texts::CheckPort), true);
    updateChecks();
}

void MainWindow::updateChecks() {
    MenuBar* bar = m_window.menu();
    if (bar == nullptr) {
        return;
    }
    bar->setChecked(ids::VirtualControllerItem, m_app.virtualControllerSelected());
    for (std::size_t i = 0; i < m_found.size(); ++i) {
        bar->setChecked(ids::FirstFoundPortItem + static_cast<ui::ControlId>(i),
                        shell::foundPortInUse(m_app, m_found[i]));
    }
}

ui::Outcome MainWindow::runCommand(ui::ControlId id) {
    if (const shell::FoundPortItem* item = shell::foundPortItem(m_found, id)) {
        return shell::selectDevicePort(m_app, item->device);
    }
    const ui::Outcome outcome = m_app.dispatch(id);
    // A write cut off half-way is offered again, or the backup taken before it.
    shell::offerAfterInterruptedWrite(m_app, id, outcome);
    followLanguage();
    return outcome;
}

}  // namespace win32
