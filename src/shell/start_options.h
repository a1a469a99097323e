// The options both front ends share: the virtual controller and its knobs, and where
// qvsetup.cfg lives. One parser reads them for zek-setup and zek-cli alike; each front
// end hands it its own options as rows of the same kind.
//
//   --simulate, --sim-* and --trace    the virtual controller (any of them implies it)
//   --dir DIR | --user-dir             the start directory
//   --lang de|en                       the language of what the user reads
//   --help, --version
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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
    bool version = false;        // --version
    // --lang: nullopt when not given (the remembered choice, else German).
    std::optional<lang::Language> language;

    bool operator==(const StartOptions&) const = default;
};

struct OptionsRead {
    std::size_t next = 0;  // the first argument that is not an option
    std::string error;     // one line naming the problem; empty when all is well
};

// The command-line parser of both front ends: the shared options above, each front end
// adding its own. Values are checked as they are read, in the order given; an option's
// refusal is one line naming it.
class OptionParser {
  public:
    // The shared options fill options; addSharedOptions() lists them after the front
    // end's own.
    OptionParser(std::string_view program, StartOptions& options);
    void addSharedOptions();
    ~OptionParser();
    OptionParser(const OptionParser&) = delete;
    OptionParser& operator=(const OptionParser&) = delete;

    // apply returns an empty string, or the reason the value is refused.
    using Apply = std::function<std::string(const std::string& value)>;
    void addFlag(const std::string& names, bool& target, const std::string& description,
                 const std::string& group);
    void addValue(const std::string& name, const std::string& valueName, Apply apply,
                  const std::string& description, const std::string& group);

    // The usage lines at the top of the help, and the text after the options.
    void setUsage(std::string usage);
    void setFooter(std::string footer);

    // Reads options from args[first] on, up to the first argument that does not start with
    // "-" (or past "--"). Values come as "--name VALUE" or "--name=VALUE".
    OptionsRead read(const std::vector<std::string>& args, std::size_t first);
    // Whether word names an option (with or without "=VALUE").
    bool isOption(std::string_view word) const;
    // The options grouped, each with its sentence.
    std::string help() const;

  private:
    struct Parser;
    std::unique_ptr<Parser> m_parser;
    StartOptions& m_options;
};

// A decimal number of at most nine characters, the whole of text; false for anything else.
bool parseInt(std::string_view text, int& value);

// "zek-cli 1.0.0" and the build: compiler, build type, whether the FTDI fast path is in.
std::string versionText(std::string_view program, bool ftdiFastPath);

}  // namespace shell
