#include "shell/start_options.h"

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

// The shared options, acting on options. A new option is one more row.
std::vector<OptionRow> sharedRows(StartOptions& options) {
    SimOptions& sim = options.sim;
    const auto path = [](std::string& target) {
        return [&target](const std::string& value) {
            target = value;
            return std::string();
        };
    };
    const auto flag = [](bool& target) {
        return [&target](const std::string&) {
            target = true;
            return std::string();
        };
    };
    return {
        {"--simulate", false, flag(options.simulate)},
        {"--sim-memory", true, path(sim.memoryFile)},
        {"--sim-save", true, path(sim.saveFile)},
        {"--sim-flash-save", true, path(sim.flashSaveFile)},
        {"--trace", true, path(sim.traceFile)},
        {"--sim-device", true,
         [&sim](const std::string& value) {
             return chooseWord<SimDevice>(
                 "--sim-device", value,
                 {{"zek", SimDevice::Zek}, {"other", SimDevice::Other}, {"none", SimDevice::None}},
                 sim.device, "zek, other or none");
         }},
        {"--sim-adapter", true,
         [&sim](const std::string& value) {
             return chooseWord<SimAdapter>("--sim-adapter", value,
                                           {{"present", SimAdapter::Present},
                                            {"missing", SimAdapter::Missing},
                                            {"stuck", SimAdapter::Stuck}},
                                           sim.adapter, "present, missing or stuck");
         }},
        {"--sim-signature", true,
         [&sim](const std::string& value) {
             return hexOption("--sim-signature", value, sim.signature.data(), 3);
         }},
        {"--sim-lockbits", true,
         [&sim](const std::string& value) {
             return hexOption("--sim-lockbits", value, &sim.lockBits, 1);
         }},
        {"--sim-calibration", true,
         [&sim](const std::string& value) {
             return hexOption("--sim-calibration", value, &sim.calibration, 1);
         }},
        {"--sim-fuses", true, [&sim](const std::string& value) { return applyFuses(sim, value); }},
        {"--sim-isp", true, [&sim](const std::string& value) { return applyIsp(sim, value); }},
        {"--sim-motor", true, [&sim](const std::string& value) { return applyMotor(sim, value); }},
        {"--sim-driver", true,
         [&sim](const std::string& value) {
             sim.driver = value;
             return knownDriver(value) ? std::string()
                                       : "--sim-driver: " + value + " is not one of " +
                                             std::string(simDriverNames);
         }},
        {"--sim-unplug-after", true,
         [&sim](const std::string& value) { return applyUnplugAfter(sim, value); }},
        {"--dir", true,
         [&options](const std::string& value) {
             options.directory = value;
             return value.empty() ? std::string("--dir needs a directory") : std::string();
         }},
        {"--user-dir", false, flag(options.userDirectory)},
        {"--lang", true,
         [&options](const std::string& value) {
             options.language = lang::languageByCode(value);
             return options.language ? std::string() : "--lang: " + value + " is not de or en";
         }},
        {"--help", false, flag(options.help)},
        {"-h", false, flag(options.help)},
    };
}

// Every knob of the virtual controller means the virtual controller.
bool impliesSimulation(std::string_view name) {
    return name.rfind("--sim-", 0) == 0 || name == "--trace";
}

const OptionRow* findRow(std::string_view name, std::span<const OptionRow> shared,
                         std::span<const OptionRow> extra) {
    for (const std::span<const OptionRow> table : {extra, shared}) {
        for (const OptionRow& row : table) {
            if (row.name == name) {
                return &row;
            }
        }
    }
    return nullptr;
}

}  // namespace

OptionsRead readOptions(const std::vector<std::string>& args, std::size_t first,
                        StartOptions& options, std::span<const OptionRow> extra) {
    const std::vector<OptionRow> shared = sharedRows(options);
    OptionsRead read;
    read.next = first;
    const auto fail = [&read](std::string error) {
        read.error = std::move(error);
        return read;
    };
    while (read.next < args.size()) {
        const std::string& arg = args[read.next];
        if (arg == "--") {
            ++read.next;
            break;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            break;  // the first argument that is no option
        }
        ++read.next;
        const auto equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionRow* row = findRow(name, shared, extra);
        if (row == nullptr) {
            return fail("unknown option " + name);
        }
        std::string value;
        if (!row->takesValue) {
            if (equals != std::string::npos) {
                return fail(name + " takes no value");
            }
        } else if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (read.next < args.size()) {
            value = args[read.next++];
        } else {
            return fail(name + " needs a value");
        }
        if (std::string error = row->apply(value); !error.empty()) {
            return fail(std::move(error));
        }
        options.simulate = options.simulate || impliesSimulation(name);
    }
    if (options.userDirectory && !options.directory.empty()) {
        return fail("--dir and --user-dir exclude each other");
    }
    return read;
}

bool isOption(std::string_view word, std::span<const OptionRow> extra) {
    StartOptions unused;
    return findRow(word.substr(0, word.find('=')), sharedRows(unused), extra) != nullptr;
}

std::string sharedUsage(std::string_view indent) {
    const std::string pad(indent);
    return pad + "[--simulate] [--sim-memory FILE] [--sim-save FILE] [--sim-flash-save FILE]\n" +
           pad + "[--sim-device zek|other|none] [--sim-adapter present|missing|stuck]\n" + pad +
           "[--sim-signature HHHHHH] [--sim-lockbits HH] [--sim-fuses HH,LL]\n" + pad +
           "[--sim-calibration HH] [--sim-motor HZ[:SECONDS]] [--trace FILE.vcd]\n" + pad +
           "[--sim-isp in-step|shift:N|silent|locked|locked-once|erased]\n" + pad +
           "[--sim-driver " + std::string(simDriverNames) + "]\n" + pad +
           "[--sim-unplug-after N]\n" + pad + "[--dir DIR | --user-dir] [--lang de|en]\n";
}

}  // namespace shell
