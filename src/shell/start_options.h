// The options both front ends share: the virtual controller and its knobs, and where
// qvsetup.cfg lives. One parser reads them for zek-setup and zek-cli alike; each front
// end hands it its own options as rows of the same kind.
//
//   --simulate, --sim-* and --trace    the virtual controller (any of them implies it)
//   --dir DIR | --user-dir             the start directory
//   --lang de|en                       the language of what the user reads
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "resources/language.h"

namespace shell {

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
    // --sim-driver NAME: the USB-serial driver the virtual port behaves like; empty for
    // the plain virtual port; simFtdiBitbangDriver for the virtual FTDI chip.
    std::string driver;
    // --sim-unplug-after N: the virtual port vanishes after N line operations (the chip:
    // after N transfers written to it).
    std::optional<std::uint64_t> unplugAfter;

    bool operator==(const SimOptions&) const = default;
};

// The --sim-driver name of the virtual FTDI chip in synchronous bit-bang mode.
inline constexpr std::string_view simFtdiBitbangDriver = "ftdi-bitbang";

struct StartOptions {
    bool simulate = false;  // --simulate, or any option of the virtual controller
    SimOptions sim;
    std::string directory;       // --dir: where qvsetup.cfg lives; the current directory if empty
    bool userDirectory = false;  // --user-dir: the user's configuration folder instead
    bool help = false;           // --help, -h
    // --lang: nullopt when not given (the remembered choice, else German).
    std::optional<lang::Language> language;

    bool operator==(const StartOptions&) const = default;
};

// One option: its name, whether it takes a value, and what it does with it. apply
// returns an empty string, or the reason the value is refused.
struct OptionRow {
    std::string_view name;
    bool takesValue = false;
    std::function<std::string(const std::string& value)> apply;
};

struct OptionsRead {
    std::size_t next = 0;  // the first argument that is not an option
    std::string error;     // one line naming the problem; empty when all is well
};

// Reads options from args[first] on, up to the first argument that does not start with
// "-" (or past "--"). Values come as "--name VALUE" or "--name=VALUE". extra holds the
// front end's own options; an option found in neither table is an error.
OptionsRead readOptions(const std::vector<std::string>& args, std::size_t first,
                        StartOptions& options, std::span<const OptionRow> extra = {});

// Whether word names a shared or an extra option (with or without "=VALUE").
bool isOption(std::string_view word, std::span<const OptionRow> extra = {});

// The usage lines of the shared options, indented by the caller's program name.
std::string sharedUsage(std::string_view indent);

}  // namespace shell
