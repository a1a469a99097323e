#include "cli/run.h"

#include <filesystem>
#include <memory>
#include <optional>

#include "cli/console_host.h"
#include "cli/dialog_view.h"
#include "cli/real_ports.h"
#include "cli/step_check.h"
#include "cli/step_runner.h"
#include "cli/virtual_controller.h"
#include "resources/main_dialog_ids.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/start_directory.h"

namespace cli {
namespace {

const char* fieldName(ui::Field field) {
    switch (field) {
        case ui::Field::Text:
            return "text";
        case ui::Field::Checked:
            return "checked";
        case ui::Field::Enabled:
            return "enabled";
        case ui::Field::Visible:
            return "visible";
        case ui::Field::Selection:
            return "selection";
    }
    return "text";
}

json::Value changeValue(const ui::Change& change) {
    switch (change.field) {
        case ui::Field::Text:
            return json::Value(change.value);
        case ui::Field::Selection:
            return json::Value(std::stoi(change.value));
        default:
            return json::Value(change.value == "true");
    }
}

json::Value report(shell::App& app, const ConsoleHost& host, const std::vector<ui::Change>& changes,
                   const std::string& refusal, int exitStatus) {
    json::Value root = json::Value::object();
    root.set("controls", controlsJson(app.mainDialog()));
    root.set("menu", menuJson(app.mainDialog()));
    json::Value messages = json::Value::array();
    for (const ConsoleMessage& message : host.messages()) {
        json::Value entry = json::Value::object();
        entry.set("caption", message.caption);
        entry.set("text", message.text);
        entry.set("owner", message.owner);
        entry.set("buttons", message.buttons);
        messages.push(std::move(entry));
    }
    root.set("messages", std::move(messages));
    root.set("beeps", host.beeps());
    json::Value changeList = json::Value::array();
    for (const ui::Change& change : changes) {
        json::Value entry = json::Value::object();
        entry.set("dialog", std::to_string(change.dialogId));
        entry.set("id", std::to_string(change.id));
        entry.set("field", fieldName(change.field));
        entry.set("value", changeValue(change));
        changeList.push(std::move(entry));
    }
    root.set("changes", std::move(changeList));
    json::Value dialogs = json::Value::object();
    for (const auto& [id, controls] : host.closedDialogs()) {
        json::Value entry = json::Value::object();
        entry.set("controls", controls);
        dialogs.set(std::to_string(id), std::move(entry));
    }
    root.set("dialogs", std::move(dialogs));
    if (!refusal.empty()) {
        root.set("error", refusal);
    }
    root.set("exit", exitStatus);
    return root;
}

int usageError(Console& console, const std::string& error) {
    console.err << "zek-cli: " << json::toUtf8(error) << '\n';
    return exitUsage;
}

// Where the port comes from: the virtual controller touches no real port, not even
// through a COM item clicked by a step.
struct Ports {
    std::unique_ptr<adapter::SerialPortFactory> real;
    std::unique_ptr<VirtualController> simulated;
};

void selectDevice(shell::App& app, const std::string& device) {
    adapter::PortSelection& port = app.port();
    port.kind = adapter::PortKind::Serial;
    port.comDeviceName = device;
    // The port field of qvsetup.cfg stays as it is: --port chooses for this run only.
    constexpr const char* comNames[] = {"COM1", "COM2", "COM3", "COM4",
                                        "COM5", "COM6", "COM7", "COM8"};
    ui::ControlId item = ui::noId;
    for (int i = 0; i < 8; ++i) {
        if (device == comNames[i]) {
            item = ids::Com1Item + i;
        }
    }
    shell::checkPortItem(app.mainDialog(), item);
}

// A file dialog answers with a full path, and qvsetup.cfg records the update file's path
// as given: every file named on the command line is made absolute once.
void makePathsAbsolute(Options& options) {
    const auto absolute = [](std::string& path) {
        std::error_code error;
        if (!path.empty()) {
            const std::filesystem::path full = std::filesystem::absolute(path, error);
            if (!error) {
                path = full.lexically_normal().string();
            }
        }
    };
    absolute(options.directory);
    absolute(options.sim.memoryFile);
    absolute(options.sim.saveFile);
    absolute(options.sim.flashSaveFile);
    absolute(options.sim.traceFile);
    for (Step& step : options.steps) {
        absolute(step.file);
    }
}

}  // namespace

int run(const std::vector<std::string>& args, Console console) {
    CommandLine commandLine = parseCommandLine(args);
    if (!commandLine.options) {
        return usageError(console, commandLine.error);
    }
    Options options = *commandLine.options;
    makePathsAbsolute(options);
    if (options.help) {
        console.out << usageText();
        return exitSuccess;
    }
    if (options.steps.empty()) {
        return usageError(console, "no steps given (zek-cli --help lists them)");
    }
    std::vector<std::optional<SettingsBackup>> backups;
    if (std::string error = checkOptionFiles(options); !error.empty()) {
        return usageError(console, error);
    }
    if (std::string error = checkSteps(options.steps, backups); !error.empty()) {
        return usageError(console, error);
    }

    Ports ports;
    shell::Backends realBackends;
    if (options.port == PortChoice::Simulate) {
        ports.simulated = std::make_unique<VirtualController>(options.sim);
        if (std::string error = ports.simulated->loadMemory(); !error.empty()) {
            return usageError(console, error);
        }
    } else {
        ports.real = makeRealSerialPorts();
        realBackends.serialPorts = ports.real.get();
    }

    ConsoleHost host(console.err, console.in,
                     ConsoleSettings{options.yes, console.interactive, options.progress});
    shell::App app(host, realBackends, shell::PlatformFlags{});
    const std::string startDirectory =
        options.directory.empty() ? shell::currentDirectory(console.err) : options.directory;
    app.initDialog(startDirectory);
    if (ports.simulated) {
        app.setVirtualBackends(ports.simulated->backends());
        app.selectVirtualController(false);
    } else if (options.port == PortChoice::Device) {
        selectDevice(app, options.device);
    }

    std::vector<ui::Change> changes;
    app.mainDialog().setChangeLog(&changes);
    host.setChangeLog(&changes);
    StepRunner runner(app, host, options.steps, backups, changes, console.out, options.json);
    runner.runAll();
    app.mainDialog().setChangeLog(nullptr);
    host.setChangeLog(nullptr);

    int exitStatus = runner.failed() ? exitStepFailed : exitSuccess;
    if (!runner.refusal().empty()) {
        console.err << "zek-cli: " << json::toUtf8(runner.refusal()) << '\n';
    }
    if (ports.simulated) {
        if (std::string error = ports.simulated->saveOutputs(); !error.empty()) {
            console.err << "zek-cli: " << json::toUtf8(error) << '\n';
            exitStatus = exitStepFailed;
        }
    }
    if (options.json) {
        console.out << json::write(report(app, host, changes, runner.refusal(), exitStatus));
    }
    console.out.flush();
    return exitStatus;
}

}  // namespace cli
