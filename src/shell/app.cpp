#include "shell/app.h"

#include <chrono>

#include "adapter/adapter.h"
#include "adapter/timer_resolution.h"
#include "link/link.h"
#include "resources/main_dialog.h"
#include "shell/backend_switch.h"
#include "shell/commands.h"
#include "shell/dispatch.h"

namespace shell {

App::App(ui::UiHost& host, Backends backends, PlatformFlags platform)
    : m_host(host),
      m_backends(backends),
      m_switch(std::make_unique<BackendSwitch>(backends)),
      m_mainDialog(resources::mainDialogTemplate()),
      m_link{m_port,    m_linkState, m_messageText, *m_switch,
             *m_switch, *m_switch,   m_host,        &m_mainDialog},
      m_guard([this] { return safety::takeBackup(m_mainDialog, m_setupImage); }) {
    m_link.writeGate = &m_guard;
    m_port.directPortIo = platform.directPortIo;
    m_port.portDriverReady = platform.portDriverReady;
}

App::~App() {
    // The lines go back to rest while the back-ends they belong to still exist.
    m_linkState.serialPort.reset();
    m_linkState.portOpen = false;
}

ui::Outcome App::dispatch(ui::ControlId id) {
    // A command's waits end on time only on the fine timer tick (Windows).
    const adapter::FineTimerResolution fineTick;
    m_host.setPendingDetail({});
    const DispatchRow* row = findCommand(id);
    const unsigned traits = row != nullptr ? row->traits : 0;
    m_guard.beginCommand((traits & WritesSettings) != 0);
    // An id without a row does nothing, which is all it is asked to do.
    const ui::Outcome outcome = row != nullptr ? runCommand(*row, *this, id) : ui::Outcome::Done;
    // What a read put into the dialog is what the controller holds: the backup before the
    // next write is taken from it, without asking the controller again.
    if ((traits & ReadsSettings) != 0 && outcome == ui::Outcome::Done &&
        m_setupImage.valuesRead()) {
        m_guard.rememberRead();
    }
    return outcome;
}

void App::setBackends(Backends backends) {
    if (m_linkState.portOpen || m_linkState.serialPort) {
        adapter::closeSerialPort(m_link);
    }
    // A new back-end has its own adapter and its own speed.
    m_linkState.adapterDetected = false;
    m_backends = backends;
    m_switch->set(backends);
}

void App::setVirtualBackends(Backends backends) {
    m_virtualBackends = backends;
}

void App::selectVirtualController(bool checkAdapter) {
    if (!m_virtualBackends) {
        return;
    }
    if (!m_virtualSelected) {
        m_realBackends = m_backends;
        m_realPort = m_port;
    }
    setBackends(*m_virtualBackends);
    m_virtualSelected = true;
    m_guard.setVirtualController(true);
    checkPortItem(m_mainDialog, ui::noId);
    m_port.kind = adapter::PortKind::Serial;
    m_port.portName = virtualPortName;
    m_port.comDeviceName = virtualPortName;
    if (checkAdapter && adapter::detectAdapter(m_link) != 0) {
        clink::errorTail(m_link);
    }
}

void App::leaveVirtualController() {
    if (!m_virtualSelected) {
        return;
    }
    setBackends(m_realBackends);
    m_virtualSelected = false;
    m_guard.setVirtualController(false);
    m_port.kind = m_realPort.kind;
    m_port.portName = m_realPort.portName;
    m_port.comDeviceName = m_realPort.comDeviceName;
}

const std::string& App::savedPortName() const {
    return m_virtualSelected ? m_realPort.portName : m_port.portName;
}

settings::SettingsContext App::settingsContext() {
    return settings::SettingsContext{m_link, m_mainDialog, m_setupImage, m_motorData, m_lockByte};
}

isp::IspContext App::ispContext() {
    return isp::IspContext{m_link, m_ispState};
}

void App::setDataFolder(std::optional<std::filesystem::path> folder, std::string whyNot) {
    m_guard.setBackupFolder(folder, std::move(whyNot));
    if (folder) {
        m_updateRecords.emplace(*folder);
    } else {
        m_updateRecords.reset();
    }
}

update::UpdateContext App::updateContext() {
    update::UpdateContext ctx{m_link, m_updateState, m_setupImage.controllerVersion};
    if (!m_updateRecords || m_guard.dryRun()) {
        return ctx;  // a dry run sends no page, so there is nothing to resume
    }
    ctx.started = [this](const std::string& filePath) {
        const ui::SystemError error =
            m_updateRecords->begin(filePath, m_port.comDeviceName,
                                   safety::localCalendarTime(std::chrono::system_clock::now()));
        // The update itself goes on: the record only helps after a failure.
        if (!error.empty()) {
            m_host.logEvent("update record not written: " + error.describe());
        }
    };
    ctx.finished = [this] {
        m_updateState.resumeFilePath.clear();
        if (const ui::SystemError error = m_updateRecords->complete(); !error.empty()) {
            m_host.logEvent("update record not removed: " + error.describe());
        }
    };
    return ctx;
}

}  // namespace shell
