#include "cli/command_line.h"

#include <charconv>
#include <cmath>
#include <map>
#include <string_view>

#include "resources/main_dialog_ids.h"

namespace cli {
namespace {

// What makes --port a device path: Windows paths ("\\.\COM12") use backslashes.
#if defined(_WIN32)
constexpr const char* pathSeparators = "/\\";
#else
constexpr const char* pathSeparators = "/";
#endif

constexpr double maxMotorHz = 100000.0;
// The rev counter measures as long as pulses come; on the virtual clock a minute of
// motor already takes seconds of real time.
constexpr double maxMotorSeconds = 60.0;
constexpr int maxShiftBits = 31;

bool parseInt(std::string_view text, int& value) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool parseHexBytes(std::string_view text, std::uint8_t* bytes, std::size_t count) {
    if (text.size() != count * 2) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        unsigned value = 0;
        const char* first = text.data() + i * 2;
        auto [end, error] = std::from_chars(first, first + 2, value, 16);
        if (error != std::errc() || end != first + 2) {
            return false;
        }
        bytes[i] = static_cast<std::uint8_t>(value);
    }
    return true;
}

bool parsePositive(std::string_view text, double limit, double& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size() &&
           std::isfinite(value) && value > 0.0 && value <= limit;
}

bool isComName(std::string_view text) {
    return text.size() == 4 && text.substr(0, 3) == "COM" && text[3] >= '1' && text[3] <= '8';
}

// Options that take a value; the others are flags.
const std::map<std::string_view, bool>& knownOptions() {
    static const std::map<std::string_view, bool> options{
        {"--port", true},
        {"--simulate", false},
        {"--sim-memory", true},
        {"--sim-save", true},
        {"--sim-flash-save", true},
        {"--sim-device", true},
        {"--sim-adapter", true},
        {"--trace", true},
        {"--json", false},
        {"--yes", false},
        {"--dir", true},
        {"--progress", false},
        {"--help", false},
        {"--sim-signature", true},
        {"--sim-lockbits", true},
        {"--sim-fuses", true},
        {"--sim-calibration", true},
        {"--sim-isp", true},
        {"--sim-motor", true},
    };
    return options;
}

class Parser {
  public:
    explicit Parser(const std::vector<std::string>& args) : m_args(args) {}

    CommandLine run() {
        CommandLine result;
        Options options;
        bool simulateAsked = false;
        bool simOptionUsed = false;
        while (m_pos < m_args.size()) {
            const std::string& arg = m_args[m_pos];
            if (arg == "--") {
                ++m_pos;
                break;
            }
            if (arg.rfind("--", 0) != 0) {
                break;  // the first step
            }
            ++m_pos;
            std::string name = arg;
            std::optional<std::string> inlineValue;
            if (const auto equals = arg.find('='); equals != std::string::npos) {
                name = arg.substr(0, equals);
                inlineValue = arg.substr(equals + 1);
            }
            const auto known = knownOptions().find(name);
            if (known == knownOptions().end()) {
                return failure("unknown option " + name);
            }
            std::string value;
            if (known->second) {
                if (inlineValue) {
                    value = *inlineValue;
                } else if (m_pos < m_args.size()) {
                    value = m_args[m_pos++];
                } else {
                    return failure(name + " needs a value");
                }
            } else if (inlineValue) {
                return failure(name + " takes no value");
            }
            if (name.rfind("--sim-", 0) == 0 || name == "--trace") {
                simOptionUsed = true;
            }
            if (!applyOption(options, name, value)) {
                return failure(m_error);
            }
            simulateAsked = simulateAsked || name == "--simulate";
        }
        if (options.port == PortChoice::Device && (simulateAsked || simOptionUsed)) {
            return failure("--port cannot be combined with --simulate or the --sim options");
        }
        if (simOptionUsed || simulateAsked) {
            // Any knob of the virtual controller means the virtual controller.
            options.port = PortChoice::Simulate;
        }
        while (m_pos < m_args.size()) {
            if (!parseStep(options.steps)) {
                return failure(m_error);
            }
        }
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

    bool applyOption(Options& options, const std::string& name, const std::string& value) {
        SimOptions& sim = options.sim;
        if (name == "--port") {
            if (!isComName(value) && value.find_first_of(pathSeparators) == std::string::npos) {
                return fail("--port: " + value + " is neither COM1 … COM8 nor a device path");
            }
            if (options.port == PortChoice::Device) {
                return fail("--port given twice");
            }
            options.port = PortChoice::Device;
            options.device = value;
        } else if (name == "--simulate") {
        } else if (name == "--sim-memory") {
            sim.memoryFile = value;
        } else if (name == "--sim-save") {
            sim.saveFile = value;
        } else if (name == "--sim-flash-save") {
            sim.flashSaveFile = value;
        } else if (name == "--trace") {
            sim.traceFile = value;
        } else if (name == "--sim-device") {
            static const std::map<std::string_view, SimDevice> kinds{
                {"zek", SimDevice::Zek}, {"other", SimDevice::Other}, {"none", SimDevice::None}};
            const auto it = kinds.find(value);
            if (it == kinds.end()) {
                return fail("--sim-device: " + value + " is not zek, other or none");
            }
            sim.device = it->second;
        } else if (name == "--sim-adapter") {
            static const std::map<std::string_view, SimAdapter> kinds{
                {"present", SimAdapter::Present},
                {"missing", SimAdapter::Missing},
                {"stuck", SimAdapter::Stuck}};
            const auto it = kinds.find(value);
            if (it == kinds.end()) {
                return fail("--sim-adapter: " + value + " is not present, missing or stuck");
            }
            sim.adapter = it->second;
        } else if (name == "--sim-signature") {
            if (!parseHexBytes(value, sim.signature.data(), 3)) {
                return fail("--sim-signature: " + value + " is not six hexadecimal digits");
            }
        } else if (name == "--sim-lockbits") {
            if (!parseHexBytes(value, &sim.lockBits, 1)) {
                return fail("--sim-lockbits: " + value + " is not two hexadecimal digits");
            }
        } else if (name == "--sim-calibration") {
            if (!parseHexBytes(value, &sim.calibration, 1)) {
                return fail("--sim-calibration: " + value + " is not two hexadecimal digits");
            }
        } else if (name == "--sim-fuses") {
            const auto comma = value.find(',');
            if (comma == std::string::npos ||
                !parseHexBytes(std::string_view(value).substr(0, comma), &sim.fuseHigh, 1) ||
                !parseHexBytes(std::string_view(value).substr(comma + 1), &sim.fuseLow, 1)) {
                return fail("--sim-fuses: " + value + " is not HH,LL in hexadecimal");
            }
        } else if (name == "--sim-isp") {
            return applyIsp(sim, value);
        } else if (name == "--sim-motor") {
            return applyMotor(sim, value);
        } else if (name == "--json") {
            options.json = true;
        } else if (name == "--yes") {
            options.yes = true;
        } else if (name == "--progress") {
            options.progress = true;
        } else if (name == "--help") {
            options.help = true;
        } else if (name == "--dir") {
            if (value.empty()) {
                return fail("--dir needs a directory");
            }
            options.directory = value;
        }
        return true;
    }

    bool applyIsp(SimOptions& sim, const std::string& value) {
        static const std::map<std::string_view, SimIsp> modes{{"in-step", SimIsp::InStep},
                                                              {"silent", SimIsp::Silent},
                                                              {"locked", SimIsp::Locked},
                                                              {"locked-once", SimIsp::LockedOnce},
                                                              {"erased", SimIsp::Erased}};
        if (const auto it = modes.find(value); it != modes.end()) {
            sim.isp = it->second;
            return true;
        }
        int bits = 0;
        if (value.rfind("shift:", 0) == 0 && parseInt(std::string_view(value).substr(6), bits) &&
            bits >= 0 && bits <= maxShiftBits) {
            sim.isp = SimIsp::Shift;
            sim.ispShiftBits = bits;
            return true;
        }
        return fail("--sim-isp: " + value +
                    " is not in-step, shift:N (0 … 31), silent, locked, locked-once or erased");
    }

    bool applyMotor(SimOptions& sim, const std::string& value) {
        const auto colon = value.find(':');
        double hz = 0.0;
        double seconds = sim.motorSeconds;
        const std::string_view text(value);
        if (!parsePositive(text.substr(0, colon), maxMotorHz, hz) ||
            (colon != std::string::npos &&
             !parsePositive(text.substr(colon + 1), maxMotorSeconds, seconds))) {
            return fail("--sim-motor: " + value +
                        " is not HZ[:SECONDS] (up to 100000 Hz, up to 60 s)");
        }
        sim.motorHz = hz;
        sim.motorSeconds = seconds;
        return true;
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

    bool parseStep(std::vector<Step>& steps) {
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
        } else if (word == "update" || word == "save-settings" || word == "load-settings") {
            if (!operand(word, "a file", step.file)) {
                return false;
            }
            if (step.file.empty()) {
                return fail(word + " needs a file");
            }
            step.kind = word == "update"          ? StepKind::Update
                        : word == "save-settings" ? StepKind::SaveSettings
                                                  : StepKind::LoadSettings;
            step.id = word == "update" ? ids::OpenUpdateFileItem : 0;
            step.word += " " + step.file;
        } else if (knownOptions().count(word.substr(0, word.find('='))) != 0) {
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
    return "usage: zek-cli [--port COMn|DEVICE | --simulate] [--sim-memory FILE] [--sim-save "
           "FILE]\n"
           "               [--sim-flash-save FILE] [--sim-device zek|other|none]\n"
           "               [--sim-adapter present|missing|stuck] [--sim-signature HHHHHH]\n"
           "               [--sim-lockbits HH] [--sim-fuses HH,LL] [--sim-calibration HH]\n"
           "               [--sim-isp in-step|shift:N|silent|locked|locked-once|erased]\n"
           "               [--sim-motor HZ[:SECONDS]] [--trace FILE.vcd] [--dir DIR]\n"
           "               [--json] [--yes] [--progress] STEP...\n"
           "steps: click ID | set ID=VALUE | show | read | read-memory N | write |\n"
           "       write-memory N | update FILE | calibrate | info | locks | rpm | revs |\n"
           "       save-settings FILE | load-settings FILE\n";
}

}  // namespace cli
