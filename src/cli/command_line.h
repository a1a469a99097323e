// The command line: options first, then the steps that work the dialog.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/dialog_template.h"

namespace cli {

enum class StepKind {
    Click,         // click ID (and the aliases read, write, locks, …)
    Set,           // set ID=VALUE
    Show,          // show
    Update,        // update FILE: click 1147, the file dialog answers FILE
    SaveSettings,  // save-settings FILE
    LoadSettings,  // load-settings FILE
};

struct Step {
    StepKind kind = StepKind::Show;
    std::string word;  // the step as typed, for messages ("read", "click 1149")
    ui::ControlId id = 0;
    std::string value;  // Set
    std::string file;   // Update, SaveSettings, LoadSettings
};

enum class PortChoice {
    Configured,  // the port qvsetup.cfg names, as the desktop program starts
    Device,      // --port COMn or a device path
    Simulate,    // --simulate: the virtual controller
};

enum class SimDevice { Zek, Other, None };
enum class SimAdapter { Present, Missing, Stuck };
enum class SimIsp { InStep, Shift, Silent, Locked, LockedOnce, Erased };

struct SimOptions {
    std::string memoryFile;     // --sim-memory
    std::string saveFile;       // --sim-save
    std::string flashSaveFile;  // --sim-flash-save
    std::string traceFile;      // --trace
    SimDevice device = SimDevice::Zek;
    SimAdapter adapter = SimAdapter::Present;
    std::array<std::uint8_t, 3> signature{0x1E, 0x93, 0x07};
    std::uint8_t lockBits = 0xFF;
    std::uint8_t fuseHigh = 0xD9;
    std::uint8_t fuseLow = 0xE1;
    std::uint8_t calibration = 0xA5;
    SimIsp isp = SimIsp::InStep;
    int ispShiftBits = 0;
    // --sim-motor HZ[:SECONDS]; no motor when empty.
    std::optional<double> motorHz;
    double motorSeconds = 10.0;
};

struct Options {
    PortChoice port = PortChoice::Configured;
    std::string device;  // "COM1" … "COM8" or a device path
    SimOptions sim;
    bool json = false;
    bool yes = false;
    bool progress = false;
    bool help = false;
    std::string directory;  // --dir: where qvsetup.cfg lives; the current directory if empty
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
