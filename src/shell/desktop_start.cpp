#include "shell/desktop_start.h"

#include <filesystem>

#include "base/user_folders.h"

#include "adapter/adapter.h"
#include "link/link.h"
#include "resources/texts.h"
#include "shell/commands.h"

namespace shell {
namespace {

void describe(OptionParser& parser) {
    parser.addSharedOptions();
#ifdef _WIN32
    parser.setUsage("usage: zek-setup [OPTIONS]     the desktop program\n");
#else
    parser.setUsage(
        "usage: zek-setup [OPTIONS]     the desktop program; without a display use zek-cli\n");
#endif
}

}  // namespace

std::optional<StartOptions> parseDesktopOptions(const std::vector<std::string>& args,
                                                std::string& error) {
    StartOptions options;
    OptionParser parser("zek-setup", options);
    describe(parser);
    const OptionsRead read = parser.read(args, 1);
    error = read.error;
    if (error.empty() && read.next < args.size()) {
        error = "unknown argument: " + args[read.next];
    }
    return error.empty() ? std::optional(options) : std::nullopt;
}

std::string desktopUsageText() {
    StartOptions options;
    OptionParser parser("zek-setup", options);
    describe(parser);
    return parser.help();
}

std::string desktopStartDirectory(const StartOptions& options, ui::UiHost& host,
                                  std::ostream& errors) {
    if (options.userDirectory) {
        std::string reason;
        if (std::optional<std::string> directory = base::userConfigDirectory(reason)) {
            return *directory;
        }
        errors << reason << '\n';
        host.messageBox(nullptr,
                        "Der Konfigurationsordner ist nicht verfügbar:\n" + reason +
                            "\nqvsetup.cfg wird im aktuellen Ordner gesucht.",
                        texts::ErrorCaption, ui::Buttons::Ok);
    } else if (!options.directory.empty()) {
        std::error_code error;
        std::filesystem::path absolute =
            std::filesystem::absolute(options.directory, error).lexically_normal();
        if (error) {
            return options.directory;
        }
        // "/x/" is "/x", as the folder is named everywhere else.
        if (!absolute.has_filename() && absolute != absolute.root_path()) {
            absolute = absolute.parent_path();
        }
        return absolute.string();
    }
    return base::currentDirectory(errors);
}

DesktopStart::DesktopStart(ui::UiHost& host, const StartOptions& options, RealPorts ports)
    : m_ports(std::move(ports)),
      m_simulator(std::make_unique<VirtualController>(options.sim)),
      m_app(std::make_unique<App>(
          host, Backends{&m_clock, m_ports.serialPorts.get(), m_ports.portIo.get()},
          m_ports.platform)) {
    m_app->setVirtualBackends(m_simulator->backends());
    explainPortFailures(*m_app);
    m_app->setLanguage(options.language.value_or(lang::Language::German));
    // The automatic backups go to the user's data folder; a backup that fails is told and
    // the write goes on: a backup is a help, not a condition.
    ui::SystemError error;
    std::optional<std::filesystem::path> folder = base::userDataFolder(error);
    m_app->setDataFolder(folder, error.describe());
    m_app->writeGuard().setFailureReporter([this](const std::string& reason) {
        m_app->host().messageBox(&m_app->mainDialog(),
                                 std::string(texts::BackupFailed) + reason + texts::WritingAnyway,
                                 texts::BackupCaption, ui::Buttons::Ok);
    });
}

void DesktopStart::startSimulation(const StartOptions& options, std::ostream& errors) {
    if (!options.simulate) {
        return;
    }
    if (const std::string reason = m_simulator->loadMemory(); !reason.empty()) {
        errors << reason << '\n';
        m_app->host().messageBox(nullptr, reason, texts::ErrorCaption, ui::Buttons::Ok);
    }
    m_app->selectVirtualController(false);
}

ui::Outcome selectDevicePort(App& app, const std::string& device) {
    app.leaveVirtualController();
    checkPortItem(app.mainDialog(), ui::noId);
    adapter::PortSelection& port = app.port();
    port.kind = adapter::PortKind::Serial;
    port.comDeviceName = device;
    if (app.linkState().portOpen) {
        adapter::closeSerialPort(app.link());
    }
    // The adapter check names the device the user chose, not the four-character field.
    const std::string savedName = port.portName;
    port.portName = device;
    const bool found = adapter::detectAdapter(app.link()) == 0;
    port.portName = savedName;
    if (!found) {
        clink::errorTail(app.link());
        return ui::Outcome::Failed;
    }
    return ui::Outcome::Done;
}

}  // namespace shell
