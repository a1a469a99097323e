#include "cli/command_line.h"

#include <charconv>
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

bool parseInt(std::string_view text, int& value) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

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

class Parser {
  public:
    explicit Parser(const std::vector<std::string>& args) : m_args(args) {}

    CommandLine run() {
        Options options;
        const shell::OptionsRead read =
            shell::readOptions(m_args, 0, options.shared, ownOptions(options));
        if (!read.error.empty()) {
            return failure(read.error);
        }
        m_pos = read.next;
        // "doctor" stands for the steps; its own --port may follow it.
        if (m_pos < m_args.size() && m_args[m_pos] == "doctor") {
            options.doctor = true;
            const shell::OptionsRead after =
                shell::readOptions(m_args, m_pos + 1, options.shared, ownOptions(options));
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
            if (!parseStep(options.steps, options)) {
                return failure(m_error);
            }
        }
        CommandLine result;
        result.options = std::move(options);
        return result;
    }

  private:
    // The options only the command line has.
    std::vector<shell::OptionRow> ownOptions(Options& options) {
        const auto flag = [](bool& target) {
            return [&target](const std::string&) {
                target = true;
                return std::string();
            };
        };
        return {
            {"--port", true, [&options](const std::string& value) { return port(options, value); }},
            {"--json", false, flag(options.json)},
            {"--yes", false, flag(options.yes)},
            {"--progress", false, flag(options.progress)},
            {"--verbose", false, flag(options.verbose)},
            {"--list-ports", false, flag(options.listPorts)},
            {"--dry-run", false, flag(options.dryRun)},
            {"--backup-required", false, flag(options.backupRequired)},
            {"-v", false, flag(options.verbose)},
        };
    }

    static std::string port(Options& options, const std::string& value) {
        if (!isComName(value) && !isParallelBase(value) && !isFtdiName(value) &&
            value.find_first_of(pathSeparators) == std::string::npos) {
            return "--port: " + value +
                   " is neither COM1 … COM8, 0278, 0378, 03BC, ftdi:SERIAL, ftdi:INDEX nor a "
                   "device path";
        }
        if (options.port == PortChoice::Device) {
            return "--port given twice";
        }
        options.port = PortChoice::Device;
        options.device = value;
        return {};
    }

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
        if (!parseInt(text, id) || id < 0 || id > 65535) {
            return fail(step + ": " + std::string(text) + " is not a control id");
        }
        return true;
    }

    bool parseStep(std::vector<Step>& steps, Options& options) {
        const std::string word = m_args[m_pos++];
        Step step;
        step.word = word;
        step.kind = StepKind::Click;
        // Aliases for the commands a script uses most.
        static const std::map<std::string_view, ui::ControlId> aliases{
            {"read", ids::ReadButton},         {"write", ids::WriteButton},
            {"calibrate", ids::CalibrateItem}, {"info", ids::ProcessorInfoItem},
            {"locks", ids::LockFunctionsItem}, {"rpm", ids::RpmSettingsButton},
            {"revs", ids::RevCounterItem},
        };
        if (const auto alias = aliases.find(word); alias != aliases.end()) {
            step.id = alias->second;
        } else if (word == "read-memory" || word == "write-memory") {
            std::string number;
            if (!operand(word, "a memory number (1 or 2)", number)) {
                return false;
            }
            if (number != "1" && number != "2") {
                return fail(word + ": " + number + " is not 1 or 2");
            }
            const bool first = number == "1";
            if (word == "read-memory") {
                step.id = first ? ids::ReadMemory1Item : ids::ReadMemory2Item;
            } else {
                step.id = first ? ids::WriteMemory1Item : ids::WriteMemory2Item;
            }
            step.word += " " + number;
        } else if (word == "click") {
            std::string text;
            if (!operand(word, "a control id", text) || !parseId(word, text, step.id)) {
                return false;
            }
            step.word += " " + text;
        } else if (word == "set") {
            std::string assignment;
            if (!operand(word, "ID=VALUE", assignment)) {
                return false;
            }
            const auto equals = assignment.find('=');
            if (equals == std::string::npos) {
                return fail("set: " + assignment + " is not ID=VALUE");
            }
            step.kind = StepKind::Set;
            if (!parseId(word, std::string_view(assignment).substr(0, equals), step.id)) {
                return false;
            }
            step.value = assignment.substr(equals + 1);
            step.word += " " + assignment;
        } else if (word == "show") {
            step.kind = StepKind::Show;
        } else if (word == "update" && m_pos < m_args.size() && m_args[m_pos] == "--resume") {
            ++m_pos;
            step.kind = StepKind::Update;
            step.id = ids::OpenUpdateFileItem;
            step.resume = true;
            step.word += " --resume";
        } else if (word == "update" || word == "save-settings" || word == "load-settings" ||
                   word == "diff-settings") {
            if (!operand(word, "a file", step.file)) {
                return false;
            }
            if (step.file.empty()) {
                return fail(word + " needs a file");
            }
            step.kind = word == "update"          ? StepKind::Update
                        : word == "save-settings" ? StepKind::SaveSettings
                        : word == "load-settings" ? StepKind::LoadSettings
                                                  : StepKind::DiffSettings;
            step.id = word == "update" ? ids::OpenUpdateFileItem : 0;
            step.word += " " + step.file;
        } else if (shell::isOption(word, ownOptions(options))) {
            return fail(word + ": options go before the steps");
        } else {
            return fail("unknown step " + word);
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
    return "usage: zek-cli [--port COMn|DEVICE|ftdi:SERIAL|0278|0378|03BC] [--json] [--yes] "
           "[--progress]\n"
           "               [-v|--verbose] [--dry-run] [--backup-required]\n" +
           shell::sharedUsage("               ") +
           "               STEP...\n"
           "steps: click ID | set ID=VALUE | show | read | read-memory N | write |\n"
           "       write-memory N | update FILE | calibrate | info | locks | rpm | revs |\n"
           "       save-settings FILE | load-settings FILE | diff-settings FILE |\n"
           "       update --resume\n"
           "       zek-cli --list-ports [--json]\n"
           "       zek-cli [--json] doctor [--port COMn|DEVICE]\n";
}

}  // namespace cli
