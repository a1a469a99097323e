#include "gui/port_menu_extra.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <filesystem>

#include "adapter/adapter.h"
#include "adapter/port_discovery_qt.h"
#include "gui/command_dialog.h"
#include "gui/main_window.h"
#include "gui/menu_binding.h"
#include "link/link.h"
#include "resources/main_dialog_ids.h"
#include "resources/port_menu_ids.h"
#include "resources/texts.h"
#include "resources/translation.h"
#include "shell/commands.h"
#include "shell/desktop_start.h"
#include "shell/real_ports.h"

namespace gui {

namespace {

constexpr const char* deviceKey = "port/device";
constexpr const char* configPortKey = "port/configPortName";

QString settingsPath(const std::string& startDirectory) {
    return QString::fromStdString(
        (std::filesystem::path(startDirectory) / portChoiceFileName).string());
}

}  // namespace

std::optional<PortChoice> readPortChoice(const std::string& startDirectory) {
    QSettings settings(settingsPath(startDirectory), QSettings::IniFormat);
    const QString device = settings.value(deviceKey).toString();
    if (device.isEmpty()) {
        return std::nullopt;
    }
    return PortChoice{device.toStdString(), settings.value(configPortKey).toString().toStdString()};
}

void writePortChoice(const std::string& startDirectory, const PortChoice& choice) {
    QSettings settings(settingsPath(startDirectory), QSettings::IniFormat);
    settings.setValue(deviceKey, QString::fromStdString(choice.device));
    settings.setValue(configPortKey, QString::fromStdString(choice.configPortName));
}

void forgetPortChoice(const std::string& startDirectory) {
    QSettings settings(settingsPath(startDirectory), QSettings::IniFormat);
    settings.remove(deviceKey);
    settings.remove(configPortKey);
}

bool restorePortChoice(shell::App& app, const std::string& startDirectory) {
    const std::optional<PortChoice> choice = readPortChoice(startDirectory);
    // The virtual controller keeps the real selection aside; it is not touched here.
    if (!choice || app.virtualControllerSelected() ||
        choice->configPortName != app.port().portName) {
        return false;
    }
    shell::checkPortItem(app.mainDialog(), ui::noId);
    app.port().kind = adapter::PortKind::Serial;
    app.port().comDeviceName = choice->device;
    return true;
}

ui::Outcome selectFoundPort(shell::App& app, const std::string& device,
                            const std::string& startDirectory) {
    // portName stays what qvsetup.cfg holds; the choice file says which device it meant.
    writePortChoice(startDirectory, {device, app.port().portName});
    return shell::selectDevicePort(app, device);
}

PortMenuExtra::PortMenuExtra(shell::App& app, CommandDialog& window, std::string startDirectory,
                             Discover discover)
    : QObject(&window),
      m_app(app),
      m_window(window),
      m_startDirectory(std::move(startDirectory)),
      m_discover(discover ? std::move(discover)
                          : Discover([] { return shell::listSerialPorts(); })) {
    if (MenuBinding* menus = window.menus()) {
        m_menu = menus->popup(ids::PortPopupIndex);
    }
    if (m_menu != nullptr) {
        connect(m_menu, &QMenu::aboutToShow, this, &PortMenuExtra::refresh);
    }
    window.setCommandHandler([this](ui::ControlId id) { return runCommand(id); });
    refresh();
}

QAction* PortMenuExtra::action(int index) const {
    return index >= 0 && index < static_cast<int>(m_actions.size())
               ? m_actions[static_cast<std::size_t>(index)]
               : nullptr;
}

void PortMenuExtra::refresh() {
    if (m_menu == nullptr) {
        return;
    }
    for (QAction* action : m_actions) {
        m_menu->removeAction(action);
        action->deleteLater();
    }
    m_actions.clear();
    if (m_separator != nullptr) {
        m_menu->removeAction(m_separator);
        m_separator->deleteLater();
        m_separator = nullptr;
    }
    m_items = shell::foundPortItems(m_discover());
    m_separator = m_menu->addSeparator();
    auto add = [this](const QString& text, ui::ControlId id) {
        QAction* action = m_menu->addAction(text);
        action->setProperty(menuIdProperty, id);
        action->setObjectName(QStringLiteral("menu-%1").arg(id));
        connect(action, &QAction::triggered, this, [this, id] { m_window.runCommand(id); });
        m_actions.push_back(action);
    };
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        // After a tab the description stands in the column of shortcuts, as the COM
        // items show their device.
        add(QString::fromStdString(m_items[i].device + '\t' + m_items[i].note),
            ids::FirstFoundPortItem + static_cast<ui::ControlId>(i));
    }
    // Last: the findings for the chosen port.
    add(QString::fromStdString(lang::shownText(m_app.language(), texts::CheckPort)),
        ids::CheckPortItem);
    updateChecks();
}

void PortMenuExtra::updateChecks() {
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        showChecked(m_actions[i], shell::foundPortInUse(m_app, m_items[i]));
    }
}

ui::Outcome PortMenuExtra::runCommand(ui::ControlId id) {
    if (const shell::FoundPortItem* item = shell::foundPortItem(m_items, id)) {
        const ui::Outcome outcome = selectFoundPort(m_app, item->device, m_startDirectory);
        updateChecks();
        return outcome;
    }
    // A COM item chosen now is what qvsetup.cfg will say; the remembered device is over.
    if (id >= ids::Com1Item && id <= ids::Com8Item) {
        forgetPortChoice(m_startDirectory);
    }
    return m_app.dispatch(id);
}

PortMenuExtra* installPortMenuExtra(shell::App& app, CommandDialog& window,
                                    const std::string& startDirectory) {
    restorePortChoice(app, startDirectory);
    auto* extra = new PortMenuExtra(app, window, startDirectory);
    window.syncFromModel();
    return extra;
}

}  // namespace gui
