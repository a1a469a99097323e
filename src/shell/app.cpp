#include "shell/app.h"

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
      m_platform(platform),
      m_switch(std::make_unique<BackendSwitch>(backends)),
      m_mainDialog(resources::mainDialogTemplate()),
      m_link{m_port,    m_linkState, m_messageText, *m_switch,
             *m_switch, *m_switch,   m_host,        &m_mainDialog} {
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
    // An id without a row does nothing, which is all it is asked to do.
    return row != nullptr ? row->handler(*this, id) : ui::Outcome::Done;
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

update::UpdateContext App::updateContext() {
    return update::UpdateContext{m_link, m_updateState, m_setupImage.controllerVersion};
}

}  // namespace shell
