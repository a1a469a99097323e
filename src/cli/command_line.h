// The command line: options first, then the steps that work the dialog.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "shell/start_options.h"
#include "ui/dialog_template.h"

namespace cli {

enum class StepKind {
    Click,         // click ID (and the aliases read, write, locks, …)
    Set,           // set ID=VALUE
    Show,          // show
    Update,        // update FILE: click 1147, the file dialog answers FILE
    SaveSettings,  // save-settings FILE
    LoadSettings,  // load-settings FILE
    DiffSettings,  // diff-settings FILE: the controller's settings against a backup
};

struct Step {
    StepKind kind = StepKind::Show;
    std::string word;  // the step as typed, for messages ("read", "click 1149")
    ui::ControlId id = 0;
    std::string value;    // Set
    std::string file;     // Update, SaveSettings, LoadSettings, DiffSettings
    bool resume = false;  // update --resume: the file of the update that did not finish
};

enum class PortChoice {
    Configured,  // the port qvsetup.cfg names, as the desktop program starts
    Device,      // --port COMn, a device path or a parallel port's base
    Simulate,    // --simulate or any --sim option: the virtual controller
};

struct Options {
    PortChoice port = PortChoice::Configured;
    std::string device;          // "COM1" … "COM8", a device path, or "0278", "0378", "03BC"
    shell::StartOptions shared;  // what zek-setup understands too
    bool json = false;
    bool yes = false;
    bool progress = false;
    bool verbose = false;         // -v: every port open and close, adapter test and reset
    bool listPorts = false;       // --list-ports: the serial ports found, nothing opened
    bool doctor = false;          // doctor [--port P]: the checks of the ports, no steps
    bool dryRun = false;          // --dry-run: every step runs, nothing that writes is sent
    bool backupRequired = false;  // --backup-required: no write without its backup
    bool helpSteps = false;       // --help-steps: the controls set may change
    std::vector<Step> steps;
};

struct CommandLine {
    std::optional<Options> options;
    std::string error;  // one line naming the problem, when options is empty
};

// Parses the arguments after the program name. Files are not looked at here.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The usage text for --help and usage errors.
std::string usageText();

}  // namespace cli
