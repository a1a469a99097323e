#include <string>

#include "adapter/port_selection.h"
#include "config/config_file.h"
#include "config/port_field.h"
#include "resources/main_dialog_ids.h"
#include "resources/texts.h"
#include "settings/settings.h"
#include "shell/app.h"
#include "shell/commands.h"

namespace shell {
namespace {

struct PortRow {
    const char* name;
    ui::ControlId item;  // noId for the parallel bases, which have no menu item
    std::uint16_t parallelBase;
};

constexpr PortRow portRows[] = {
    {"0278", ui::noId, 0x278},  {"0378", ui::noId, 0x378},  {"03BC", ui::noId, 0x3BC},
    {"COM1", ids::Com1Item, 0}, {"COM2", ids::Com2Item, 0}, {"COM3", ids::Com3Item, 0},
    {"COM4", ids::Com4Item, 0}, {"COM5", ids::Com5Item, 0}, {"COM6", ids::Com6Item, 0},
    {"COM7", ids::Com7Item, 0}, {"COM8", ids::Com8Item, 0},
};

// The file is single-byte text of any origin; only plain characters go into a message.
std::string printable(const std::string& text) {
    std::string shown;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        shown += byte >= 0x20 && byte < 0x7F ? c : '?';
    }
    return shown;
}

// Applies the port field to the selection; false when it names no known port.
bool applyPortName(App& app) {
    adapter::PortSelection& port = app.port();
    for (const PortRow& row : portRows) {
        if (port.portName != row.name) {
            continue;
        }
        if (row.item == ui::noId) {
            port.parallelBase = row.parallelBase;
        } else {
            checkPortItem(app.mainDialog(), row.item);
            port.kind = adapter::PortKind::Serial;
            port.comDeviceName = port.portName;
        }
        return true;
    }
    return false;
}

}  // namespace

void App::initDialog(const std::string& startDirectory) {
    m_mainDialog.setEnabled(ids::StatusField, false);
    m_port.startDirectory = startDirectory;

    const bool parallelReachable = m_port.directPortIo || m_port.portDriverReady;
    const std::string preset = parallelReachable ? "0378" : "COM2";
    const config::PortFieldRead field = config::readPortField(startDirectory);
    switch (field.status) {
        case config::PortFileStatus::Created:
            m_port.portName = field.portName.value_or(preset);
            break;
        case config::PortFileStatus::Opened:
            m_port.portName = field.portName.value_or("");
            break;
        case config::PortFileStatus::Unavailable:
            m_port.portName = preset;
            break;
    }
    // Without a way to the parallel port only the serial ports are usable.
    if (!parallelReachable && (m_port.portName.empty() || m_port.portName.front() != 'C')) {
        m_port.portName = "COM2";
    }

    const std::string path = config::configFilePath(startDirectory);
    if (field.status == config::PortFileStatus::Unavailable) {
        m_host.messageBox(nullptr,
                          "qvsetup.cfg kann weder geöffnet noch angelegt werden:\n" + path +
                              "\nDie Port-Auswahl wird nicht gespeichert.",
                          texts::ErrorCaption);
        setConfigWarningShown();
    } else if (!config::writePortField(startDirectory, m_port.portName)) {
        m_host.messageBox(nullptr, cannotSavePortText(path), texts::ErrorCaption);
        setConfigWarningShown();
    }

    // An empty field is a known state (the parallel port at 0378); anything else the
    // table does not know leaves the user without a usable port until one is chosen.
    if (!applyPortName(*this) && !m_port.portName.empty()) {
        m_host.messageBox(nullptr,
                          "Unbekannter Port \"" + printable(m_port.portName) +
                              "\" in qvsetup.cfg.\nBitte im Menü \"Port\" einen Port wählen.",
                          texts::ErrorCaption);
    }

    settings::fillMainDialogLists(m_mainDialog);
}

}  // namespace shell
