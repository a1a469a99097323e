#include "shell/start_options.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cmath>
#include <map>

#include "sim/serial_adapter.h"

namespace shell {
namespace {

constexpr double maxMotorHz = 100000.0;
// The rev counter measures as long as pulses come; on the virtual clock a minute of
// motor already takes seconds of real time.
constexpr double maxMotorSeconds = 60.0;
constexpr int maxShiftBits = 31;
constexpr std::string_view simDriverNames =
    "native|ftdi|cp210x|ch341|ch341-nobreak|pl2303|cdc-acm|ftdi-bitbang";

bool knownDriver(std::string_view name) {
    return name == simFtdiBitbangDriver || sim::driverProfileByName(name).has_value();
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

// A value from a fixed set of words; the reason lists them.
template <typename T>
std::string chooseWord(std::string_view option, const std::string& value,
                       const std::map<std::string_view, T>& words, T& target,
                       std::string_view wordList) {
    const auto it = words.find(value);
    if (it == words.end()) {
        return std::string(option) + ": " + value + " is not " + std::string(wordList);
    }
    target = it->second;
    return {};
}

std::string hexOption(std::string_view option, const std::string& value, std::uint8_t* bytes,
                      std::size_t count) {
    if (parseHexBytes(value, bytes, count)) {
        return {};
    }
    return std::string(option) + ": " + value + " is not " + (count == 1 ? "two" : "six") +
           " hexadecimal digits";
}

std::string applyIsp(SimOptions& sim, const std::string& value) {
    static const std::map<std::string_view, SimIsp> modes{{"in-step", SimIsp::InStep},
                                                          {"silent", SimIsp::Silent},
                                                          {"locked", SimIsp::Locked},
                                                          {"locked-once", SimIsp::LockedOnce},
                                                          {"erased", SimIsp::Erased}};
    if (const auto it = modes.find(value); it != modes.end()) {
        sim.isp = it->second;
        return {};
    }
    int bits = 0;
    if (value.rfind("shift:", 0) == 0 && parseInt(std::string_view(value).substr(6), bits) &&
        bits >= 0 && bits <= maxShiftBits) {
        sim.isp = SimIsp::Shift;
        sim.ispShiftBits = bits;
        return {};
    }
    return "--sim-isp: " + value +
           " is not in-step, shift:N (0 … 31), silent, locked, locked-once or erased";
}

std::string applyMotor(SimOptions& sim, const std::string& value) {
    const auto colon = value.find(':');
    double hz = 0.0;
    double seconds = sim.motorSeconds;
    const std::string_view text(value);
    if (!parsePositive(text.substr(0, colon), maxMotorHz, hz) ||
        (colon != std::string::npos &&
         !parsePositive(text.substr(colon + 1), maxMotorSeconds, seconds))) {
        return "--sim-motor: " + value + " is not HZ[:SECONDS] (up to 100000 Hz, up to 60 s)";
    }
    sim.motorHz = hz;
    sim.motorSeconds = seconds;
    return {};
}

std::string applyUnplugAfter(SimOptions& sim, const std::string& value) {
    std::uint64_t operations = 0;
    const char* end = value.data() + value.size();
    auto [stop, error] = std::from_chars(value.data(), end, operations);
    if (value.empty() || error != std::errc() || stop != end) {
        return "--sim-unplug-after: " + value + " is not a number of line operations";
    }
    sim.unplugAfter = operations;
    return {};
}

std::string applyFuses(SimOptions& sim, const std::string& value) {
    const auto comma = value.find(',');
    const std::string_view text(value);
    if (comma == std::string::npos || !parseHexBytes(text.substr(0, comma), &sim.fuseHigh, 1) ||
        !parseHexBytes(text.substr(comma + 1), &sim.fuseLow, 1)) {
        return "--sim-fuses: " + value + " is not HH,LL in hexadecimal";
    }
    return {};
}

// A value refused by its option; ends the reading at once.
struct Refused {
    std::string reason;
};

// The usage lines are the front end's own; CLI11 lays out the options.
class Layout : public CLI::Formatter {
  public:
    std::string usage;
    std::string make_usage(const CLI::App*, std::string) const override { return usage; }
};

}  // namespace

bool parseInt(std::string_view text, int& value) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

struct OptionParser::Parser {
    CLI::App app;
    std::shared_ptr<Layout> layout = std::make_shared<Layout>();
};

OptionParser::OptionParser(std::string_view program, StartOptions& options)
    : m_parser(std::make_unique<Parser>()), m_options(options) {
    CLI::App& app = m_parser->app;
    app.name(std::string(program));
    app.formatter(m_parser->layout);
    app.set_help_flag();
    // Options end where the steps begin; an unknown option is told by read().
    app.prefix_command(true);
    app.allow_extras(true);
    m_parser->layout->column_width(34);
}

void OptionParser::addSharedOptions() {
    StartOptions& options = m_options;
    SimOptions& sim = options.sim;
    const std::string simGroup = "The virtual controller (each of these selects it)";
    const auto path = [&](const char* name, std::string& target, const char* what) {
        addValue(
            name, "FILE",
            [&target](const std::string& value) {
                target = value;
                return std::string();
            },
            what, simGroup);
    };
    const auto hex = [&](const char* name, const char* valueName, std::uint8_t* bytes,
                         std::size_t count, const char* what) {
        addValue(
            name, valueName,
            [name, bytes, count](const std::string& value) {
                return hexOption(name, value, bytes, count);
            },
            what, simGroup);
    };
    addFlag("--simulate", options.simulate,
            "Work on the built-in virtual controller instead of a port.", simGroup);
    path("--sim-memory", sim.memoryFile,
         "Start the virtual controller with this 256-byte setup memory image.");
    path("--sim-save", sim.saveFile, "Save its setup memory to this file at the end.");
    path("--sim-flash-save", sim.flashSaveFile, "Save its flash memory to this file at the end.");
    path("--trace", sim.traceFile, "Record the four adapter lines as a VCD waveform file.");
    addValue(
        "--sim-device", "zek|other|none",
        [&sim](const std::string& value) {
            return chooseWord<SimDevice>(
                "--sim-device", value,
                {{"zek", SimDevice::Zek}, {"other", SimDevice::Other}, {"none", SimDevice::None}},
                sim.device, "zek, other or none");
        },
        "What answers behind the adapter: the controller, another device, nothing.", simGroup);
    addValue(
        "--sim-adapter", "present|missing|stuck",
        [&sim](const std::string& value) {
            return chooseWord<SimAdapter>("--sim-adapter", value,
                                          {{"present", SimAdapter::Present},
                                           {"missing", SimAdapter::Missing},
                                           {"stuck", SimAdapter::Stuck}},
                                          sim.adapter, "present, missing or stuck");
        },
        "Whether the programming adapter is plugged in, missing, or has a stuck line.", simGroup);
    hex("--sim-signature", "HHHHHH", sim.signature.data(), 3,
        "The processor's signature bytes (default 1E9307).");
    hex("--sim-lockbits", "HH", &sim.lockBits, 1, "The processor's lock bits (default FF).");
    addValue(
        "--sim-fuses", "HH,LL", [&sim](const std::string& value) { return applyFuses(sim, value); },
        "The processor's high and low fuse bytes (default D9,E1).", simGroup);
    hex("--sim-calibration", "HH", &sim.calibration, 1,
        "The oscillator calibration byte the processor carries (default A5).");
    addValue(
        "--sim-isp", "MODE", [&sim](const std::string& value) { return applyIsp(sim, value); },
        "How programming mode answers: in-step, shift:N (0 … 31 bits out of step), "
        "silent, locked, locked-once or erased.",
        simGroup);
    addValue(
        "--sim-motor", "HZ[:SECONDS]",
        [&sim](const std::string& value) { return applyMotor(sim, value); },
        "A motor sending pulses at HZ for SECONDS (default 10, at most 60) to the rev "
        "counter.",
        simGroup);
    addValue(
        "--sim-driver", "NAME",
        [&sim](const std::string& value) {
            sim.driver = value;
            return knownDriver(value)
                       ? std::string()
                       : "--sim-driver: " + value + " is not one of " + std::string(simDriverNames);
        },
        "Behave like this USB-serial driver: " + std::string(simDriverNames) + ".", simGroup);
    addValue(
        "--sim-unplug-after", "N",
        [&sim](const std::string& value) { return applyUnplugAfter(sim, value); },
        "Let the virtual port vanish after N line operations.", simGroup);

    const std::string startGroup = "Where qvsetup.cfg lives";
    addValue(
        "--dir", "DIR",
        [&options](const std::string& value) {
            options.directory = value;
            return value.empty() ? std::string("--dir needs a directory") : std::string();
        },
        "Use qvsetup.cfg in DIR instead of the current directory.", startGroup);
    addFlag("--user-dir", options.userDirectory,
            "Use the user's configuration folder ($XDG_CONFIG_HOME/zek-setup).", startGroup);
    addValue(
        "--lang", "de|en",
        [&options](const std::string& value) {
            options.language = lang::languageByCode(value);
            return options.language ? std::string() : "--lang: " + value + " is not de or en";
        },
        "The language of the dialogs and messages (default: the one last chosen, else "
        "German).",
        "Information");
    addFlag("-h,--help", options.help, "Print this help and exit.", "Information");
    addFlag("--version", options.version,
            "Print the version, the build and whether the FTDI fast path is built in.",
            "Information");
}

OptionParser::~OptionParser() = default;

void OptionParser::addFlag(const std::string& names, bool& target, const std::string& description,
                           const std::string& group) {
    m_parser->app
        .add_flag_callback(
            names, [&target] { target = true; }, description)
        ->disable_flag_override()
        ->trigger_on_parse()
        ->group(group);
}

void OptionParser::addValue(const std::string& name, const std::string& valueName, Apply apply,
                            const std::string& description, const std::string& group) {
    StartOptions& options = m_options;
    m_parser->app
        .add_option_function<std::string>(
            name,
            [name, apply = std::move(apply), &options](const std::string& value) {
                if (std::string reason = apply(value); !reason.empty()) {
                    throw Refused{std::move(reason)};
                }
                // Every knob of the virtual controller means the virtual controller.
                options.simulate =
                    options.simulate || name.rfind("--sim-", 0) == 0 || name == "--trace";
            },
            description)
        ->type_name(valueName)
        ->trigger_on_parse()
        ->group(group);
}

void OptionParser::setUsage(std::string usage) {
    m_parser->layout->usage = std::move(usage);
}

void OptionParser::setFooter(std::string footer) {
    m_parser->app.footer(std::move(footer));
}

OptionsRead OptionParser::read(const std::vector<std::string>& args, std::size_t first) {
    OptionsRead read;
    read.next = args.size();
    std::vector<std::string> reversed(args.rbegin(),
                                      args.rend() - static_cast<std::ptrdiff_t>(first));
    CLI::App& app = m_parser->app;
    try {
        app.parse(reversed);
    } catch (const Refused& refused) {
        read.error = refused.reason;
        return read;
    } catch (const CLI::ParseError& error) {
        // "--port: 1 required TEXT missing", "json was given a disallowed flag override"
        const std::string text = error.what();
        const std::size_t end = text.find_first_of(": ");
        std::string name = text.substr(0, end);
        if (name.rfind('-', 0) != 0) {
            name = "--" + name;
        }
        read.error = name + (text.find("flag override") != std::string::npos ? " takes no value"
                                                                             : " needs a value");
        return read;
    }
    std::vector<std::string> rest = app.remaining();
    read.next = args.size() - rest.size();
    if (!rest.empty() && rest.front() == "--") {
        ++read.next;
    } else if (!rest.empty() && rest.front().size() > 1 && rest.front().front() == '-') {
        read.error = "unknown option " + rest.front().substr(0, rest.front().find('='));
        return read;
    }
    if (m_options.userDirectory && !m_options.directory.empty()) {
        read.error = "--dir and --user-dir exclude each other";
    }
    return read;
}

bool OptionParser::isOption(std::string_view word) const {
    const std::string name(word.substr(0, word.find('=')));
    return name.size() > 1 && name.front() == '-' &&
           m_parser->app.get_option_no_throw(name) != nullptr;
}

std::string OptionParser::help() const {
    return m_parser->app.help();
}

std::string versionText(std::string_view program, bool ftdiFastPath) {
    return std::string(program) + " " ZEK_VERSION "\nbuild: " ZEK_BUILD "\nlibftdi: " +
           (ftdiFastPath ? "yes (the FTDI fast path, ftdi:SERIAL ports)" : "no") + "\n";
}

}  // namespace shell
