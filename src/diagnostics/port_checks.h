// Why a serial port does or does not serve the adapter: each check a finding, what was
// looked at, what was found and what to do. zek-cli doctor prints them as a table; the
// desktop programs show the chosen port's as the detail of a failed open and under
// "Port prüfen…". Without a port named nothing is opened; a named port is opened only
// when a back-end is given, and never when it is the system console.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "adapter/clock.h"
#include "adapter/port_discovery.h"
#include "adapter/serial_port.h"

namespace diagnostics {

// Who asks: the process's user and groups. Unset fields are read from the process.
struct Identity {
    std::optional<unsigned> uid;
    std::optional<std::string> userName;
    std::optional<std::vector<unsigned>> groups;  // the effective group and getgroups()
};

struct CheckOptions {
    adapter::DiscoveryRoots roots;  // /sys and /dev
    std::filesystem::path procRoot = "/proc";
    std::filesystem::path etcRoot = "/etc";
    std::filesystem::path runRoot = "/run";
    std::vector<std::filesystem::path> lockDirs = {"/var/lock", "/run/lock"};
    std::vector<std::filesystem::path> udevRuleDirs = {"/usr/lib/udev/rules.d", "/lib/udev/rules.d",
                                                       "/etc/udev/rules.d"};
    Identity identity;
    // Whether this process may read and write a device, as the kernel decides it (access
    // lists included); faccessat(R_OK | W_OK, AT_EACCESS) when empty.
    std::function<bool(const std::filesystem::path&)> mayReadWrite;

    // "COM5", a device path or a by-id link. Empty: every port found is examined.
    std::string port;
    // Opens the named port for the adapter test; without it nothing is opened.
    adapter::SerialPortFactory* serialPorts = nullptr;
    // The clock of the adapter test and of the measurements; the monotonic clock if null.
    adapter::Clock* clock = nullptr;
    // How many line changes and reads the cost measurement averages.
    int timingRepeats = 200;
};

enum class Status { Ok, Info, Warning, Failed, Skipped };  // in statusName's order

struct Finding {
    std::string port;   // the tty the check is about; empty for the machine as a whole
    std::string check;  // what was looked at
    Status status = Status::Info;
    std::string result;  // what was found, and why
    std::string advice;  // what to do; empty when nothing is to be done
};

// Every check, in the order they are shown.
std::vector<Finding> runChecks(const CheckOptions& options);

// The findings as the doctor's table: a heading per port, a line per finding, the advice
// under it.
void writeFindings(std::ostream& out, const std::vector<Finding>& findings);
std::string findingsText(const std::vector<Finding>& findings);
bool anyFailed(const std::vector<Finding>& findings);

// "ok", "info", "warning", "failed", "skipped".
const char* statusName(Status status);

// The rev counter's highest pulse rate for a DATA-IN read of readCostNs: a pulse is
// counted when one read sees it high and a later one low, so each half period must
// outlast a read.
double revCounterLimitHz(double readCostNs);

}  // namespace diagnostics
