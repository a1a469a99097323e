#include "cli/run.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <random>

#include "base/safe_file.h"
#include "base/user_folders.h"
#include "cli/console_host.h"
#include "cli/dialog_view.h"
#include "cli/port_list.h"
#include "cli/step_check.h"
#include "cli/step_runner.h"
#include "config/config_file.h"
#include "diagnostics/port_checks.h"
#include "resources/main_dialog_ids.h"
#include "resources/translation.h"
#include "safety/settings_diff.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/dispatch.h"
#include "shell/real_ports.h"
#include "shell/virtual_controller.h"

namespace cli {
namespace {

// By ui::Field's order.
constexpr const char* fieldNames[] = {"text", "checked", "enabled", "visible", "selection"};

json::Value changeValue(const ui::Change& change) {
    switch (change.field) {
        case ui::Field::Text:
            return change.value;
        case ui::Field::Selection:
            return std::stoi(change.value);
        default:
            return change.value == "true";
    }
}

json::Value report(shell::App& app, const ConsoleHost& host, const std::vector<ui::Change>& changes,
                   const StepRunner& runner, bool dryRun, ui::Outcome outcome, int exitStatus) {
    const std::string& refusal = runner.refusal();
    json::Value root = json::Value::object();
    root["controls"] = controlsJson(app.mainDialog(), host.language());
    root["menu"] = menuJson(app.mainDialog());
    json::Value& messages = root["messages"] = json::Value::array();
    for (const ConsoleMessage& message : host.messages()) {
        json::Value entry = {{"caption", message.caption},
                             {"text", message.text},
                             {"owner", message.owner},
                             {"buttons", message.buttons},
                             {"captionName", message.captionName},
                             {"textName", message.textName}};
        if (!message.detail.empty()) {
            entry["detail"] = message.detail;
        }
        messages.push_back(std::move(entry));
    }
    root["beeps"] = host.beeps();
    json::Value& changeList = root["changes"] = json::Value::array();
    for (const ui::Change& change : changes) {
        json::Value entry = {{"dialog", std::to_string(change.dialogId)},
                             {"id", std::to_string(change.id)},
                             {"field", fieldNames[static_cast<int>(change.field)]},
                             {"value", changeValue(change)}};
        if (change.field == ui::Field::Text) {
            entry["value"] = lang::shownText(host.language(), change.value);
            if (std::string name = lang::textName(change.value); !name.empty()) {
                entry["valueName"] = std::move(name);
            }
        }
        changeList.push_back(std::move(entry));
    }
    json::Value& dialogs = root["dialogs"] = json::Value::object();
    for (const auto& [id, controls] : host.closedDialogs()) {
        dialogs[std::to_string(id)] = {{"controls", controls}};
    }
    if (dryRun || !runner.diffs().empty()) {
        root["diff"] = runner.diffs();
    }
    if (!refusal.empty()) {
        root["error"] = refusal;
    }
    root["outcome"] = ui::outcomeName(outcome);
    root["exit"] = exitStatus;
    return root;
}

int usageError(Console& console, const std::string& error) {
    console.err << "zek-cli: " << json::toUtf8(error) << '\n';
    return exitUsage;
}

// --port: a serial device (COMn through the program's mapping, or a path) or a parallel
// port's base. The port field of qvsetup.cfg stays as it is: --port chooses for this run.
void selectDevice(shell::App& app, const std::string& device) {
    adapter::PortSelection& port = app.port();
    constexpr std::pair<const char*, std::uint16_t> parallelBases[] = {
        {"0278", 0x278}, {"0378", 0x378}, {"03BC", 0x3BC}};
    for (const auto& [name, base] : parallelBases) {
        if (device == name) {
            port.kind = adapter::PortKind::Parallel;
            port.parallelBase = base;
            shell::checkPortItem(app.mainDialog(), ui::noId);
            return;
        }
    }
    port.kind = adapter::PortKind::Serial;
    port.comDeviceName = device;
    ui::ControlId item = ui::noId;
    for (ui::ControlId id = ids::Com1Item; id <= ids::Com8Item; ++id) {
        if (device == "COM" + std::to_string(id - ids::Com1Item + 1)) {
            item = id;
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
    shell::SimOptions& sim = options.shared.sim;
    for (std::string* path : {&options.shared.directory, &sim.memoryFile, &sim.saveFile,
                              &sim.flashSaveFile, &sim.traceFile}) {
        absolute(*path);
    }
    for (Step& step : options.steps) {
        absolute(step.file);
    }
}

// The start directory as zek-setup chooses it; a user folder that cannot be made is a
// usage error, as nothing has been sent yet.
std::optional<std::string> startDirectory(const shell::StartOptions& options, Console& console) {
    if (options.userDirectory) {
        std::string reason;
        std::optional<std::string> directory = base::userConfigDirectory(reason);
        if (!directory) {
            console.err << "zek-cli: --user-dir: " << json::toUtf8(reason) << '\n';
        }
        return directory;
    }
    return options.directory.empty() ? base::currentDirectory(console.err) : options.directory;
}

// zek-cli changes qvsetup.cfg only as the desktop program would change the user's own
// file: the virtual controller never, and a folder without one never gets one. Such a
// run works on a private copy, removed when the run ends.
class ConfigCopy {
  public:
    ConfigCopy(const std::string& startDirectory, bool simulated) {
        std::error_code error;
        const std::filesystem::path original =
            std::filesystem::path(config::configFilePath(startDirectory));
        const bool exists = std::filesystem::is_regular_file(original, error);
        if (!simulated && exists) {
            return;
        }
        std::random_device random;
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path(error) /
            ("zek-cli-" + std::to_string(random()) + "-" + std::to_string(random()));
        if (error || !std::filesystem::create_directory(folder, error)) {
            return;  // the user's folder as before: better than no configuration at all
        }
        m_folder = folder;
        if (exists) {
            std::filesystem::copy_file(original, folder / config::configFileName, error);
        }
    }
    ~ConfigCopy() {
        if (!m_folder.empty()) {
            std::error_code error;
            std::filesystem::remove_all(m_folder, error);
        }
    }
    ConfigCopy(const ConfigCopy&) = delete;
    ConfigCopy& operator=(const ConfigCopy&) = delete;

    // The folder qvsetup.cfg is used in; startDirectory when no copy was made.
    std::string directory(const std::string& startDirectory) const {
        return m_folder.empty() ? startDirectory : m_folder.string();
    }

  private:
    std::filesystem::path m_folder;
};

// doctor opens only the port it was given, through the real serial back-end; 0 when no
// check failed.
int runDoctorOn(const Options& options, Console& console) {
    diagnostics::CheckOptions doctor;
    shell::RealPorts real = shell::findRealPorts();
    if (options.port == PortChoice::Device) {
        doctor.port = options.device;
        doctor.serialPorts = real.serialPorts.get();
    }
    const std::vector<diagnostics::Finding> findings = diagnostics::runChecks(doctor);
    const bool failed = diagnostics::anyFailed(findings);
    if (options.json) {
        json::Value list = json::Value::array();
        for (const diagnostics::Finding& f : findings) {
            list.push_back({{"port", f.port},
                            {"check", f.check},
                            {"status", diagnostics::statusName(f.status)},
                            {"result", f.result},
                            {"advice", f.advice}});
        }
        const json::Value report{{"ok", !failed}, {"checks", std::move(list)}};
        console.out << json::write(report);
    } else {
        diagnostics::writeFindings(console.out, findings);
        console.out << (failed ? "Some checks failed.\n" : "No check failed.\n");
    }
    return failed ? exitStepFailed : exitSuccess;
}

// The backups and the update record live in the user's data folder.
void useDataFolder(shell::App& app, const Options& options, Console& console) {
    ui::SystemError error;
    std::optional<std::filesystem::path> folder = base::userDataFolder(error);
    app.setDataFolder(folder, error.describe());
    safety::WriteGuard& guard = app.writeGuard();
    guard.setDryRun(options.dryRun);
    std::ostream& err = console.err;
    const bool required = options.backupRequired;
    guard.setFailureReporter([&err, required](const std::string& reason) {
        err << "zek-cli: backup failed: " << json::toUtf8(reason)
            << (required ? "\n" : "; writing all the same\n");
    });
    // An update that never finished is told once, at start-up.
    if (const safety::UpdateRecordStore* records = app.updateRecords()) {
        ui::SystemError recordError;
        const std::optional<safety::UnfinishedUpdate> record = records->findIncomplete(recordError);
        if (record) {
            err << "zek-cli: the update with " << json::toUtf8(base::pathText(record->file))
                << " through " << json::toUtf8(record->port) << ", started "
                << safety::isoText(record->started)
                << ", did not finish; the step update --resume runs it again\n";
        } else if (!recordError.empty()) {
            err << "zek-cli: the update record cannot be used: "
                << json::toUtf8(recordError.describe()) << '\n';
        }
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
    if (options.shared.help) {
        console.out << usageText();
        return exitSuccess;
    }
    if (options.helpSteps) {
        console.out << settableControlsText();
        return exitSuccess;
    }
    if (options.shared.version) {
        console.out << shell::versionText("zek-cli", shell::ftdiFastPathBuilt());
        return exitSuccess;
    }
    if (options.listPorts) {
        printPortList(shell::listSerialPorts(), console.out, options.json);
        return exitSuccess;
    }
    if (options.doctor) {
        return runDoctorOn(options, console);
    }
    if (options.steps.empty()) {
        return usageError(console, "no steps given (zek-cli --help lists them)");
    }
    std::vector<std::optional<safety::SettingsBackup>> backups;
    if (std::string error = checkOptionFiles(options); !error.empty()) {
        return usageError(console, error);
    }
    if (std::string error = checkSteps(options.steps, backups); !error.empty()) {
        return usageError(console, error);
    }

    // The virtual controller touches no real port, not even through a COM item clicked
    // by a step.
    std::unique_ptr<shell::VirtualController> simulated;
    shell::RealPorts real;
    if (options.port == PortChoice::Simulate) {
        simulated = std::make_unique<shell::VirtualController>(options.shared.sim);
        if (std::string error = simulated->loadMemory(); !error.empty()) {
            return usageError(console, error);
        }
    } else {
        real = shell::findRealPorts();
    }
    const std::optional<std::string> directory = startDirectory(options.shared, console);
    if (!directory) {
        return exitUsage;
    }

    ConsoleHost host(
        console.err, console.in,
        ConsoleSettings{options.yes, console.interactive, options.progress, options.verbose,
                        options.shared.language.value_or(lang::Language::German)});
    shell::App app(host, real.backends(), real.platform);
    const ConfigCopy configCopy(*directory, simulated != nullptr);
    app.port().documentDirectory = *directory;
    app.initDialog(configCopy.directory(*directory));
    useDataFolder(app, options, console);
    if (simulated) {
        app.setVirtualBackends(simulated->backends());
        app.selectVirtualController(false);
    } else if (options.port == PortChoice::Device) {
        selectDevice(app, options.device);
    }

    std::vector<ui::Change> changes;
    app.mainDialog().setChangeLog(&changes);
    host.setChangeLog(&changes);
    StepRunner runner(app, host, options.steps, backups, changes, console.out, options.json,
                      WriteSafety{options.dryRun, options.backupRequired, &console.err});
    runner.runAll();
    app.mainDialog().setChangeLog(nullptr);
    host.setChangeLog(nullptr);

    ui::Outcome outcome = runner.outcome();
    if (!runner.refusal().empty()) {
        console.err << "zek-cli: " << json::toUtf8(runner.refusal()) << '\n';
    }
    if (simulated) {
        if (std::string error = simulated->saveOutputs(); !error.empty()) {
            console.err << "zek-cli: " << json::toUtf8(error) << '\n';
            outcome = ui::worseOutcome(outcome, ui::Outcome::Failed);
        }
    }
    const int exitStatus = outcome == ui::Outcome::Done ? exitSuccess : exitStepFailed;
    // A run that ends with a read shows what it read.
    const Step& last = options.steps.back();
    const bool endsWithRead =
        last.kind == StepKind::Click && shell::commandHas(last.id, shell::ReadsSettings);
    if (endsWithRead && outcome == ui::Outcome::Done && !options.json &&
        app.setupImage().valuesRead() && !app.mainDialog().ended()) {
        console.out << json::toUtf8(
            safety::settingsText(safety::takeBackup(app.mainDialog(), app.setupImage())));
    }
    if (options.json) {
        console.out << json::write(
            report(app, host, changes, runner, options.dryRun, outcome, exitStatus));
    }
    console.out.flush();
    return exitStatus;
}

}  // namespace cli
