#include "cli/command_line.h"

#include <algorithm>
#include <map>
#include <string_view>

#include "adapter/ftdi_device.h"
#include "resources/main_dialog_ids.h"

namespace cli {
namespace {

// What makes --port a device path: Windows paths ("\\.\COM12") use backslashes.
#if defined(_WIN32)
constexpr const char* pathSeparators = "/\\";
#else
constexpr const char* pathSeparators = "/";
#endif

bool isComName(std::string_view text) {
    return text.size() == 4 && text.substr(0, 3) == "COM" && text[3] >= '1' && text[3] <= '8';
}

// The parallel ports' bases as the port field of qvsetup.cfg names them.
bool isParallelBase(std::string_view text) {
    return text == "0278" || text == "0378" || text == "03BC";
}

// "ftdi:SERIAL" or "ftdi:INDEX": the FTDI converter in synchronous bit-bang mode.
bool isFtdiName(std::string_view text) {
    return adapter::ftdi::isFtdiPortName(text) && text.size() > adapter::ftdi::portPrefix.size();
}

// What a step takes after its word.
enum class Operand { None, MemoryNumber, ControlId, Assignment, File };

// The step grammar: one row per step word.
struct StepRow {
    std::string_view word;
    StepKind kind;
    ui::ControlId id;        // the command it clicks; for memory N: memory 1's
    ui::ControlId secondId;  // memory 2's
    Operand operand;
    std::string_view usage;
    std::string_view description;
};

constexpr StepRow stepRows[] = {
    {"read", StepKind::Click, ids::ReadButton, 0, Operand::None, "read",
     "\"Lesen\": read the controller's settings into the dialog."},
    {"write", StepKind::Click, ids::WriteButton, 0, Operand::None, "write",
     "\"Schreiben\": store the dialog's settings in the controller (after a backup)."},
    {"read-memory", StepKind::Click, ids::ReadMemory1Item, ids::ReadMemory2Item,
     Operand::MemoryNumber, "read-memory N", "Read model memory 1 or 2 into the dialog."},
    {"write-memory", StepKind::Click, ids::WriteMemory1Item, ids::WriteMemory2Item,
     Operand::MemoryNumber, "write-memory N", "Store the dialog's settings in model memory N."},
    {"locks", StepKind::Click, ids::LockFunctionsItem, 0, Operand::None, "locks",
     "Open the lock functions (RC setup, test program); click 1205 writes them."},
    {"rpm", StepKind::Click, ids::RpmSettingsButton, 0, Operand::None, "rpm",
     "Open the RPM control (limit frequency, P and I terms, motor data)."},
    {"revs", StepKind::Click, ids::RevCounterItem, 0, Operand::None, "revs",
     "Open the rev counter and measure motor and propeller speed."},
    {"calibrate", StepKind::Click, ids::CalibrateItem, 0, Operand::None, "calibrate",
     "Copy the processor's factory oscillator calibration into the setup memory."},
    {"info", StepKind::Click, ids::ProcessorInfoItem, 0, Operand::None, "info",
     "Read the processor's signature, fuses and lock bits."},
    {"click", StepKind::Click, 0, 0, Operand::ControlId, "click ID",
     "Click the button or menu item with this control id (1 closes a sub-dialog with OK, "
     "2 cancels it)."},
    {"set", StepKind::Set, 0, 0, Operand::Assignment, "set ID=VALUE",
     "Type VALUE into a field, tick (1) or clear (0) a box, or choose a list entry by its "
     "index or its text (--help-steps lists them)."},
    {"show", StepKind::Show, 0, 0, Operand::None, "show", "Print the dialog's controls."},
    {"update", StepKind::Update, ids::OpenUpdateFileItem, 0, Operand::File, "update FILE",
     "Load new firmware from an update file (*.upd); update --resume runs a broken one again."},
    {"save-settings", StepKind::SaveSettings, 0, 0, Operand::File, "save-settings FILE",
     "Save the settings last read to a file."},
    {"load-settings", StepKind::LoadSettings, 0, 0, Operand::File, "load-settings FILE",
     "Put the settings of a file or backup into the dialog; write then stores them."},
    {"diff-settings", StepKind::DiffSettings, 0, 0, Operand::File, "diff-settings FILE",
     "List how the controller's settings differ from a file or backup."},
};

const StepRow* findStep(std::string_view word) {
    const auto row = std::ranges::find(stepRows, word, &StepRow::word);
    return row != std::end(stepRows) ? row : nullptr;
}

// The options only the command line has, then those zek-setup shares.
void addOptions(shell::OptionParser& parser, Options& options) {
    const std::string portGroup = "The port (without one: the port qvsetup.cfg names)";
    parser.addValue(
        "--port", "PORT",
        [&options](const std::string& value) {
            if (!isComName(value) && !isParallelBase(value) && !isFtdiName(value) &&
                value.find_first_of(pathSeparators) == std::string::npos) {
                return "--port: " + value +
                       " is neither COM1 … COM8, 0278, 0378, 03BC, ftdi:SERIAL, ftdi:INDEX nor "
                       "a device path";
            }
            if (options.port == PortChoice::Device) {
                return std::string("--port given twice");
            }
            options.port = PortChoice::Device;
            options.device = value;
            return std::string();
        },
        "COM1 … COM8, a device such as /dev/ttyUSB0, ftdi:SERIAL or ftdi:INDEX (the FTDI fast "
        "path), or a parallel port's base 0278, 0378 or 03BC.",
        portGroup);
    parser.addFlag("--list-ports", options.listPorts,
                   "List the serial ports with their USB details and drivers; opens none.",
                   portGroup);
    const std::string outputGroup = "Output and answers";
    parser.addFlag("--json", options.json,
                   "Print the controls, menu, messages, changes and exit status as JSON.",
                   outputGroup);
    parser.addFlag("--yes", options.yes, "Answer OK to every \"Warning!\" box.", outputGroup);
    parser.addFlag("--progress", options.progress, "Show the progress of long steps.", outputGroup);
    parser.addFlag("-v,--verbose", options.verbose,
                   "Tell every port open and close, adapter test and reset.", outputGroup);
    const std::string safetyGroup = "Writing safely";
    parser.addFlag("--dry-run", options.dryRun,
                   "Run every step but send no write; print what each write would change.",
                   safetyGroup);
    parser.addFlag("--backup-required", options.backupRequired,
                   "Refuse a write whose automatic backup failed.", safetyGroup);
    parser.addFlag("--help-steps", options.helpSteps,
                   "List the controls set may change, with their labels and values.",
                   "Information");
    parser.addSharedOptions();
}

class Parser {
  public:
    explicit Parser(const std::vector<std::string>& args) : m_args(args) {}

    CommandLine run() {
        Options options;
        shell::OptionParser parser("zek-cli", options.shared);
        addOptions(parser, options);
        const shell::OptionsRead read = parser.read(m_args, 0);
        if (!read.error.empty()) {
            return failure(read.error);
        }
        m_pos = read.next;
        // "doctor" stands for the steps; its own --port may follow it.
        if (m_pos < m_args.size() && m_args[m_pos] == "doctor") {
            options.doctor = true;
            const shell::OptionsRead after = parser.read(m_args, m_pos + 1);
            if (!after.error.empty()) {
                return failure(after.error);
            }
            if (after.next < m_args.size()) {
                return failure("doctor takes no steps: " + m_args[after.next]);
            }
            m_pos = after.next;
        }
        if (options.port == PortChoice::Device && options.shared.simulate) {
            return failure("--port cannot be combined with --simulate or the --sim options");
        }
        if (options.shared.simulate) {
            options.port = PortChoice::Simulate;
        }
        while (m_pos < m_args.size()) {
            if (!parseStep(options.steps, parser)) {
                return failure(m_error);
            }
        }
        CommandLine result;
        result.options = std::move(options);
        return result;
    }

  private:
    CommandLine failure(std::string error) {
        CommandLine result;
        result.error = std::move(error);
        return result;
    }

    bool fail(std::string error) {
        m_error = std::move(error);
        return false;
    }

    // The next argument, or a failure naming what the step lacks.
    bool operand(const std::string& step, const char* what, std::string& value) {
        if (m_pos >= m_args.size()) {
            return fail(step + " needs " + what);
        }
        value = m_args[m_pos++];
        return true;
    }

    bool parseId(const std::string& step, std::string_view text, ui::ControlId& id) {
        if (!shell::parseInt(text, id) || id < 0 || id > 65535) {
            return fail(step + ": " + std::string(text) + " is not a control id");
        }
        return true;
    }

    bool readOperand(const StepRow& row, Step& step) {
        const std::string word(row.word);
        std::string text;
        switch (row.operand) {
            case Operand::None:
                return true;
            case Operand::MemoryNumber:
                if (!operand(word, "a memory number (1 or 2)", text)) {
                    return false;
                }
                if (text != "1" && text != "2") {
                    return fail(word + ": " + text + " is not 1 or 2");
                }
                step.id = text == "1" ? row.id : row.secondId;
                break;
            case Operand::ControlId:
                if (!operand(word, "a control id", text) || !parseId(word, text, step.id)) {
                    return false;
                }
                break;
            case Operand::Assignment: {
                if (!operand(word, "ID=VALUE", text)) {
                    return false;
                }
                const auto equals = text.find('=');
                if (equals == std::string::npos) {
                    return fail("set: " + text + " is not ID=VALUE");
                }
                if (!parseId(word, std::string_view(text).substr(0, equals), step.id)) {
                    return false;
                }
                step.value = text.substr(equals + 1);
                break;
            }
            case Operand::File:
                if (row.kind == StepKind::Update && m_pos < m_args.size() &&
                    m_args[m_pos] == "--resume") {
                    ++m_pos;
                    step.resume = true;
                    text = "--resume";
                    break;
                }
                if (!operand(word, "a file", step.file)) {
                    return false;
                }
                if (step.file.empty()) {
                    return fail(word + " needs a file");
                }
                text = step.file;
                break;
        }
        step.word += " " + text;
        return true;
    }

    bool parseStep(std::vector<Step>& steps, const shell::OptionParser& parser) {
        const std::string word = m_args[m_pos++];
        const StepRow* row = findStep(word);
        if (row == nullptr) {
            return fail(parser.isOption(word) ? word + ": options go before the steps"
                                              : "unknown step " + word);
        }
        Step step;
        step.word = word;
        step.kind = row->kind;
        step.id = row->id;
        if (!readOperand(*row, step)) {
            return false;
        }
        steps.push_back(std::move(step));
        return true;
    }

    const std::vector<std::string>& m_args;
    std::size_t m_pos = 0;
    std::string m_error;
};

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    return Parser(args).run();
}

std::string usageText() {
    Options options;
    shell::OptionParser parser("zek-cli", options.shared);
    addOptions(parser, options);
    parser.setUsage(
        "usage: zek-cli [OPTIONS] STEP...         work the main dialog, step by step\n"
        "       zek-cli --list-ports [--json]     the serial ports found, nothing opened\n"
        "       zek-cli [--json] doctor [--port PORT]   why a port does or does not serve\n"
        "       zek-cli --help-steps              the controls a step may set\n");
    std::string footer = "Steps (run in order, as a user works the dialog):\n";
    for (const StepRow& row : stepRows) {
        std::string usage(row.usage);
        usage.resize(std::max<std::size_t>(usage.size() + 2, 22), ' ');
        footer += "  " + usage + std::string(row.description) + "\n";
    }
    footer +=
        "\nExit status: 0 success; 1 a step ended with an error box (later steps are not\n"
        "run); 2 usage error (nothing was sent); 3 internal error.\n"
        "\nExamples:\n"
        "  zek-cli --simulate read                      the virtual controller's settings\n"
        "  zek-cli --port /dev/ttyUSB0 read save-settings my-esc.json\n"
        "  zek-cli --port COM5 read set 1135=1,90 write\n"
        "  zek-cli --simulate --json read set 1164=12 write\n"
        "  zek-cli doctor --port /dev/ttyUSB0           check a port and its adapter\n";
    parser.setFooter(footer);
    return parser.help();
}

}  // namespace cli
