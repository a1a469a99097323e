// The application context: every process-wide record of the program, owned by one
// object that main() (or a test) creates, and the main dialog's command dispatch.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "adapter/clock.h"
#include "adapter/link_context.h"
#include "isp/isp.h"
#include "resources/language.h"
#include "resources/port_menu_ids.h"
#include "safety/update_record.h"
#include "safety/write_guard.h"
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

// ids::VirtualControllerItem is not part of the template, so the dialog model has no check
// mark for it: ask virtualControllerSelected().
// What portName reads while the virtual controller is selected ("No Adaptor found at SIM").
inline constexpr const char* virtualPortName = "SIM";

class BackendSwitch;

class App {
  public:
    App(ui::UiHost& host, Backends backends, PlatformFlags platform);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Dialog initialisation; the start directory is where qvsetup.cfg lives.
    void initDialog(const std::string& startDirectory);
    // Runs command id to completion (the dispatch table).
    ui::Outcome dispatch(ui::ControlId id);
    // Switches the line driver to other back-ends (for example the virtual controller);
    // an open serial port is closed first.
    void setBackends(Backends backends);

    // --- the virtual controller as a port choice
    // The back-ends VirtualControllerItem switches to; without them the item does nothing.
    void setVirtualBackends(Backends backends);
    bool hasVirtualController() const { return m_virtualBackends.has_value(); }
    // Selects the virtual controller on the serial kind. The port name End saves stays what
    // it was, so qvsetup.cfg keeps the real port. checkAdapter runs the adapter check as
    // a port command does; start-up selects it quietly.
    void selectVirtualController(bool checkAdapter);
    // Back to the real back-ends (a COM item does this before it opens its port).
    void leaveVirtualController();
    bool virtualControllerSelected() const { return m_virtualSelected; }
    // The name the End sequence writes to qvsetup.cfg.
    const std::string& savedPortName() const;

    ui::Dialog& mainDialog() { return m_mainDialog; }
    ui::UiHost& host() { return m_host; }
    adapter::LinkContext& link() { return m_link; }
    adapter::PortSelection& port() { return m_port; }
    adapter::LinkState& linkState() { return m_linkState; }
    settings::SetupImage& setupImage() { return m_setupImage; }
    std::string& messageText() { return m_messageText; }
    update::UpdateState& updateState() { return m_updateState; }
    // The last read, the automatic backup and the dry run.
    safety::WriteGuard& writeGuard() { return m_guard; }
    // The user's data folder, for the backups and the update record; nullopt with the
    // reason when there is none. Without a call neither is kept.
    void setDataFolder(std::optional<std::filesystem::path> folder, std::string whyNot = {});
    // The record of an update in progress; null without a data folder.
    const safety::UpdateRecordStore* updateRecords() const {
        return m_updateRecords ? &*m_updateRecords : nullptr;
    }
    bool ended() const { return m_mainDialog.ended(); }

    // The parts of the context each command family receives.
    settings::SettingsContext settingsContext();
    isp::IspContext ispContext();
    update::UpdateContext updateContext();

    // Set when the user was already told that qvsetup.cfg cannot be written, so that the
    // End sequence does not say it twice.
    bool configWarningShown() const { return m_configWarningShown; }

    // The language the hosts show; the model and the commands stay German.
    lang::Language language() const { return m_language; }
    void setLanguage(lang::Language language) { m_language = language; }
    void setConfigWarningShown() { m_configWarningShown = true; }

  private:
    ui::UiHost& m_host;
    Backends m_backends;
    std::unique_ptr<BackendSwitch> m_switch;
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
    safety::WriteGuard m_guard;
    std::optional<safety::UpdateRecordStore> m_updateRecords;

    std::optional<Backends> m_virtualBackends;
    bool m_virtualSelected = false;
    Backends m_realBackends;
    adapter::PortSelection m_realPort;  // kind and names before the virtual controller
    bool m_configWarningShown = false;
    lang::Language m_language = lang::Language::German;
};

}  // namespace shell
