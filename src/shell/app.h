// The application context: every process-wide record of the program, owned by one
// object that main() (or a test) creates, and the main dialog's command dispatch.
#pragma once

#include <memory>
#include <string>

#include "adapter/clock.h"
#include "adapter/link_context.h"
#include "isp/isp.h"
#include "settings/settings.h"
#include "ui/dialog.h"
#include "ui/ui_host.h"
#include "update/update.h"

namespace shell {

// How the line driver reaches the hardware (real ports, or the virtual controller).
struct Backends {
    adapter::Clock* clock = nullptr;
    adapter::SerialPortFactory* serialPorts = nullptr;
    adapter::PortIo* portIo = nullptr;
};

// What start-up found out about the platform: which ways to the parallel port exist.
struct PlatformFlags {
    bool directPortIo = false;
    bool portDriverReady = false;
};

class App {
public:
    App(ui::UiHost& host, Backends backends, PlatformFlags platform);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Dialog initialisation; the start directory is where qvsetup.cfg lives.
    void initDialog(const std::string& startDirectory);
    // Runs command id to completion (the dispatch table).
    void dispatch(ui::ControlId id);
    // Switches the line driver to other back-ends (for example the virtual controller);
    // an open serial port is closed first.
    void setBackends(Backends backends);

    ui::Dialog& mainDialog() { return m_mainDialog; }
    ui::UiHost& host() { return m_host; }
    adapter::LinkContext& link() { return m_link; }
    adapter::PortSelection& port() { return m_port; }
    adapter::LinkState& linkState() { return m_linkState; }
    settings::SetupImage& setupImage() { return m_setupImage; }
    settings::MotorData& motorData() { return m_motorData; }
    std::string& messageText() { return m_messageText; }
    bool ended() const { return m_mainDialog.ended(); }

private:
    ui::UiHost& m_host;
    Backends m_backends;
    adapter::PortSelection m_port;
    adapter::LinkState m_linkState;
    std::string m_messageText;
    ui::Dialog m_mainDialog;
    adapter::LinkContext m_link;
    settings::SetupImage m_setupImage;
    settings::MotorData m_motorData;
    std::uint8_t m_lockByte = 0;
    isp::IspState m_ispState;
    update::UpdateState m_updateState;
};

}  // namespace shell
