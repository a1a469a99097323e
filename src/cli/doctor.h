// "zek-cli doctor [--port P]": why a serial port does or does not serve the adapter, as a
// table of checks, each with its result and what to do. Without a port named it opens
// nothing; with one it opens only that port (never name /dev/ttyS0 if it is the console).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "adapter/clock.h"
#include "adapter/port_discovery.h"
#include "adapter/serial_port.h"

namespace cli {

// Who asks: the process's user and groups. Unset fields are read from the process.
struct DoctorIdentity {
    std::optional<unsigned> uid;
    std::optional<std::string> userName;
    std::optional<std::vector<unsigned>> groups;  // the effective group and getgroups()
};

struct DoctorOptions {
    adapter::DiscoveryRoots roots;  // /sys and /dev
    std::filesystem::path procRoot = "/proc";
    std::filesystem::path etcRoot = "/etc";
    std::filesystem::path runRoot = "/run";
    std::vector<std::filesystem::path> lockDirs = {"/var/lock", "/run/lock"};
    std::vector<std::filesystem::path> udevRuleDirs = {"/usr/lib/udev/rules.d", "/lib/udev/rules.d",
                                                       "/etc/udev/rules.d"};
    DoctorIdentity identity;

    // --port P: "COM5", a device path or a by-id link. Empty: every port found is
    // examined and none is opened.
    std::string port;
    // Opens the named port; without it the open checks are skipped.
    adapter::SerialPortFactory* serialPorts = nullptr;
    // The clock of the adapter test and of the measurements; the monotonic clock if null.
    adapter::Clock* clock = nullptr;
    // How many line changes and reads the cost measurement averages.
    int timingRepeats = 200;
};

enum class CheckStatus { Ok, Info, Warning, Failed, Skipped };

struct DoctorCheck {
    std::string port;   // the tty the check is about; empty for the machine as a whole
    std::string check;  // what was looked at
    CheckStatus status = CheckStatus::Info;
    std::string result;  // what was found
    std::string advice;  // what to do; empty when nothing is to be done
};

// Every check, in the order the table shows them.
std::vector<DoctorCheck> runDoctorChecks(const DoctorOptions& options);

// The checks as a table (or JSON with json), 0 when no check failed, else 1.
int runDoctor(const DoctorOptions& options, std::ostream& out, bool json);

// "ok", "info", "warning", "failed", "skipped".
const char* checkStatusName(CheckStatus status);

// The rev counter's highest pulse rate for a DATA-IN read of readCostNs: a pulse is
// counted when one read sees it high and a later one low, so each half period must
// outlast a read.
double revCounterLimitHz(double readCostNs);

}  // namespace cli
