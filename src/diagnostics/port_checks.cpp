#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

#include "adapter/adapter.h"
#include "adapter/com_mapping.h"
#include "adapter/parallel_access.h"
#include "diagnostics/port_checks.h"

namespace diagnostics {

namespace fs = std::filesystem;

namespace {

constexpr const char* udevRuleFile = "60-zek-setup.rules";
constexpr std::uint16_t ftdiVendorId = 0x0403;
// The README's rev-counter table was measured with pulses this wide; a read that lasts
// longer can fall between two reads' samples and miss a pulse at any rate.
constexpr double measuredPulseWidthNs = 200'000.0;

// --- small readers

std::string lower(std::string text) {
    std::ranges::transform(text, text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool isNumber(const std::string& text) {
    return !text.empty() && std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> fields;
    std::stringstream stream(text);
    for (std::string field; std::getline(stream, field, separator);) {
        fields.push_back(field);
    }
    return fields;
}

std::string modeText(mode_t mode) {
    std::string text = S_ISCHR(mode) ? "c" : S_ISDIR(mode) ? "d" : "-";
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit) {
        text += (mode & (0400u >> bit)) != 0 ? letters[bit] : '-';
    }
    return text;
}

// --- who asks

struct GroupEntry {
    std::string name;
    unsigned gid = 0;
    std::vector<std::string> members;
};

struct Who {
    unsigned uid = 0;
    std::string user;
    std::vector<unsigned> groups;
};

Who resolveIdentity(const Identity& given) {
    Who identity;
    identity.uid = given.uid.value_or(getuid());
    if (given.userName) {
        identity.user = *given.userName;
    } else if (const passwd* entry = getpwuid(identity.uid)) {
        identity.user = entry->pw_name;
    }
    if (given.groups) {
        identity.groups = *given.groups;
    } else {
        identity.groups.push_back(getegid());
        const int count = getgroups(0, nullptr);
        std::vector<gid_t> list(static_cast<std::size_t>(std::max(count, 0)));
        if (count > 0 && getgroups(count, list.data()) == count) {
            identity.groups.insert(identity.groups.end(), list.begin(), list.end());
        }
    }
    return identity;
}

std::vector<GroupEntry> readGroupFile(const fs::path& path) {
    std::vector<GroupEntry> groups;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (const auto fields = split(line, ':'); fields.size() >= 3 && isNumber(fields[2])) {
            groups.push_back(
                {fields[0], static_cast<unsigned>(std::stoul(fields[2])),
                 fields.size() > 3 ? split(fields[3], ',') : std::vector<std::string>{}});
        }
    }
    return groups;
}

// The primary group of user in the passwd file, which makes them a member without
// being listed in the group file.
std::optional<unsigned> primaryGroup(const fs::path& passwdPath, const std::string& user) {
    std::ifstream in(passwdPath);
    for (std::string line; std::getline(in, line);) {
        const auto fields = split(line, ':');
        if (fields.size() > 3 && fields[0] == user && isNumber(fields[3])) {
            return static_cast<unsigned>(std::stoul(fields[3]));
        }
    }
    return std::nullopt;
}

// --- processes

struct Process {
    std::string pid;
    std::string comm;
    std::vector<std::string> openFiles;
};

struct ProcessTable {
    std::vector<Process> processes;
    int unreadable = 0;  // processes whose open files we may not see (other users')
};

ProcessTable scanProcesses(const fs::path& procRoot) {
    ProcessTable table;
    std::error_code error;
    for (fs::directory_iterator it(procRoot, error), end; !error && it != end;
         it.increment(error)) {
        const std::string pid = it->path().filename().string();
        if (!isNumber(pid)) {
            continue;
        }
        Process process{pid, adapter::readAttribute(it->path() / "comm"), {}};
        std::error_code fdError;
        fs::directory_iterator fds(it->path() / "fd", fdError);
        if (fdError) {
            ++table.unreadable;
        }
        for (fs::directory_iterator fdEnd; !fdError && fds != fdEnd; fds.increment(fdError)) {
            std::error_code linkError;
            const fs::path target = fs::read_symlink(fds->path(), linkError);
            if (!linkError) {
                process.openFiles.push_back(target.string());
            }
        }
        table.processes.push_back(std::move(process));
    }
    return table;
}

// --- the adapter test's context: no boxes, no parallel port

class QuietHost final : public ui::UiHost {
  public:
    ui::Answer messageBox(const ui::Dialog*, std::string_view, std::string_view,
                          ui::Buttons) override {
        return ui::Answer::Ok;
    }
    void beep() override {}
    void repaint(ui::Dialog&) override {}
    int runModal(ui::Dialog&, const ui::Dialog*, const std::function<void()>&,
                 const CommandFunction&) override {
        return 0;
    }
    std::optional<std::string> chooseOpenFile(const ui::FileDialogRequest&) override {
        return std::nullopt;
    }
    void shellOpen(std::string_view) override {}
};

std::string installRule(const std::string& rest) {
    return "install the udev rule " + std::string(udevRuleFile) + rest;
}

std::string microseconds(double ns) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f us", ns / 1000.0);
    return text;
}

// --- the checks

class Checks {
  public:
    explicit Checks(const CheckOptions& options)
        : m_options(options),
          m_identity(resolveIdentity(options.identity)),
          m_groups(readGroupFile(options.etcRoot / "group")),
          m_processes(scanProcesses(options.procRoot)) {}

    std::vector<Finding> run() {
        const std::vector<adapter::DiscoveredPort> found =
            adapter::discoverSerialPorts(m_options.roots);
        if (m_options.port.empty()) {
            if (found.empty()) {
                add("", "ports", Status::Warning, "no serial port found",
                    "plug in the converter and look at the kernel log (dmesg) for its driver");
            }
            for (const adapter::DiscoveredPort& port : found) {
                checkPort(port);
            }
            return std::move(m_checks);
        }
        const adapter::DiscoveredPort port = namedPort(found);
        checkPort(port);
        if (isConsole(port.name)) {
            add(port.name, "open", Status::Skipped, "the system console is not opened");
        } else {
            checkOpen(port);
        }
        return std::move(m_checks);
    }

  private:
    void add(const std::string& port, std::string check, Status status, std::string result,
             std::string advice = {}) {
        m_checks.push_back({port, std::move(check), status, std::move(result), std::move(advice)});
    }

    // --port names COMn, a device or a link to one; the tty behind it is what sysfs knows.
    adapter::DiscoveredPort namedPort(const std::vector<adapter::DiscoveredPort>& found) const {
        const std::string path = adapter::systemDeviceFor(m_options.port);
        std::error_code error;
        const fs::path resolved = fs::canonical(path, error);
        const std::string name = (error ? fs::path(path) : resolved).filename().string();
        for (const adapter::DiscoveredPort& port : found) {
            if (port.name == name || port.devicePath == path || port.byIdPath == path) {
                return port;
            }
        }
        adapter::DiscoveredPort port;
        port.name = name;
        port.devicePath = path;
        return port;
    }

    std::string groupName(unsigned gid) const {
        for (const GroupEntry& group : m_groups) {
            if (group.gid == gid) {
                return group.name;
            }
        }
        // Groups from a directory service are not in the file.
        if (m_options.etcRoot == "/etc") {
            if (const group* entry = getgrgid(gid)) {
                return entry->gr_name;
            }
        }
        return std::to_string(gid);
    }

    bool listedInGroup(unsigned gid) const {
        return std::ranges::any_of(m_groups,
                                   [&](const GroupEntry& group) {
                                       return group.gid == gid &&
                                              std::ranges::count(group.members, m_identity.user);
                                   }) ||
               primaryGroup(m_options.etcRoot / "passwd", m_identity.user) == gid;
    }

    bool mayReadWrite(const fs::path& path) const {
        return m_options.mayReadWrite
                   ? m_options.mayReadWrite(path)
                   : faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) == 0;
    }

    // Whether this user may read and write path: the kernel answers (an access list, as
    // udev's uaccess gives the seat's user, counts); the mode bits and groups only say why.
    void checkAccess(const std::string& port, const std::string& what, const fs::path& path,
                     const struct stat& info, const std::string& joinAdvice) {
        const std::string group = groupName(info.st_gid);
        const std::string user = m_identity.user.empty() ? "this user" : m_identity.user;
        auto readWrite = [&](mode_t read, mode_t write) {
            return (info.st_mode & read) != 0 && (info.st_mode & write) != 0;
        };
        const bool owner = info.st_uid == m_identity.uid;
        const bool inGroup = !owner && std::ranges::count(m_identity.groups, info.st_gid) != 0;
        if (m_identity.uid == 0) {
            add(port, what, Status::Ok, "running as root: " + path.string() + " is usable");
        } else if (mayReadWrite(path)) {
            add(port, what, Status::Ok,
                owner                                    ? user + " owns " + path.string()
                : inGroup && readWrite(S_IRGRP, S_IWGRP) ? user + " is in group " + group
                : readWrite(S_IROTH, S_IWOTH)
                    ? "everyone may read and write " + path.string()
                    : user + " may read and write " + path.string() + " by its access list");
        } else if (owner) {
            add(port, what, Status::Failed, user + " owns " + path.string());
        } else if (inGroup) {
            add(port, what, Status::Failed,
                "group " + group + " may not read and write " + path.string(),
                installRule(" (see README)"));
        } else if (listedInGroup(info.st_gid)) {
            add(port, what, Status::Warning,
                user + " was added to group " + group + " after this login began",
                "log out and in again (or start a shell with: newgrp " + group + ")");
        } else {
            add(port, what, Status::Failed, user + " is not in group " + group,
                joinAdvice.empty()
                    ? "sudo usermod -aG " + group + " " + user + ", then log out and in again"
                    : joinAdvice);
        }
    }

    // The kernel's console on a serial port: /sys/class/tty/console/active names the
    // ttys it writes to, /proc/consoles lists them (and a console= of the boot line).
    bool isConsole(const std::string& tty) const {
        std::istringstream active(
            adapter::readAttribute(m_options.roots.sysRoot / "class/tty/console/active"));
        for (std::string name; active >> name;) {
            if (name == tty) {
                return true;
            }
        }
        std::ifstream consoles(m_options.procRoot / "consoles");
        for (std::string line; std::getline(consoles, line);) {
            if (line.substr(0, line.find(' ')) == tty) {
                return true;
            }
        }
        return false;
    }

    void checkPort(const adapter::DiscoveredPort& port) {
        const std::string& tty = port.name;
        struct stat info {};
        if (stat(port.devicePath.c_str(), &info) != 0) {
            add(tty, "device", Status::Failed, port.devicePath + " does not exist",
                "plug the converter in; without a device node udev did not create it");
            return;
        }
        add(tty, "device", Status::Ok,
            port.devicePath + (port.byIdPath.empty() ? "" : " = " + port.byIdPath) +
                (port.isUsb ? ": " + adapter::describePort(port) : ""));
        const passwd* owner = m_options.etcRoot == "/etc" ? getpwuid(info.st_uid) : nullptr;
        add(tty, "permissions", Status::Info,
            "owner " +
                (owner != nullptr ? std::string(owner->pw_name) : std::to_string(info.st_uid)) +
                ", group " + groupName(info.st_gid) + ", mode " + modeText(info.st_mode));
        if (isConsole(tty)) {
            add(tty, "console", m_options.port.empty() ? Status::Warning : Status::Failed,
                port.devicePath + " is the system console: the kernel and a login use it",
                "plug the adapter into another port");
        } else {
            checkAccess(tty, "access", port.devicePath, info, {});
        }
        checkFree(port);
        if (port.isUsb) {
            checkModemManager(port);
            checkBrltty(port);
        }
        checkDriver(port);
        if (port.driver == "ftdi_sio") {
            checkLatencyTimer(port);
        }
        if (port.isUsb && port.vendorId == ftdiVendorId) {
            checkUsbAccess(port);
        }
    }

    void checkFree(const adapter::DiscoveredPort& port) {
        for (const fs::path& dir : m_options.lockDirs) {
            const fs::path lock = dir / ("LCK.." + port.name);
            std::error_code error;
            if (!fs::exists(lock, error)) {
                continue;
            }
            std::string pid = adapter::readAttribute(lock);
            pid.erase(0, pid.find_first_not_of(' '));
            const bool alive =
                isNumber(pid) && fs::exists(m_options.procRoot / pid / "comm", error);
            if (alive) {
                add(port.name, "free", Status::Failed,
                    "locked by " + adapter::readAttribute(m_options.procRoot / pid / "comm") +
                        " (pid " + pid + ") in " + lock.string(),
                    "close that program: the adapter needs the port alone");
            } else {
                add(port.name, "free", Status::Warning,
                    "stale lock file " + lock.string() + " (its process is gone)",
                    "remove it: sudo rm " + lock.string());
            }
            return;
        }
        for (const Process& process : m_processes.processes) {
            for (const std::string& file : process.openFiles) {
                if (file == port.devicePath || (!port.byIdPath.empty() && file == port.byIdPath)) {
                    add(port.name, "free", Status::Failed,
                        "held open by " + process.comm + " (pid " + process.pid + ")",
                        "close that program: the adapter needs the port alone");
                    return;
                }
            }
        }
        add(port.name, "free", Status::Ok,
            m_processes.unreadable == 0
                ? "no lock file, no process holds it"
                : "no lock file, no process holds it (" + std::to_string(m_processes.unreadable) +
                      " processes of other users not seen; run as root to see them)");
    }

    void checkModemManager(const adapter::DiscoveredPort& port) {
        const auto manager =
            std::ranges::find(m_processes.processes, "ModemManager", &Process::comm);
        if (manager == m_processes.processes.end()) {
            add(port.name, "ModemManager", Status::Ok, "not running");
            return;
        }
        // udev keeps each device's properties in a database file named by its numbers.
        const std::string numbers =
            adapter::readAttribute(m_options.roots.sysRoot / "class" / "tty" / port.name / "dev");
        std::ifstream database(m_options.runRoot / "udev" / "data" / ("c" + numbers));
        bool ignored = false;
        for (std::string line; std::getline(database, line);) {
            ignored = ignored || line == "E:ID_MM_DEVICE_IGNORE=1";
        }
        if (ignored) {
            add(port.name, "ModemManager", Status::Ok,
                "running (pid " + manager->pid + "), told to ignore this device");
        } else {
            add(port.name, "ModemManager", Status::Warning,
                "running (pid " + manager->pid +
                    ") and may probe this port with modem commands after it is plugged in",
                installRule(" (ID_MM_DEVICE_IGNORE), or: sudo systemctl stop ModemManager"));
        }
    }

    void checkBrltty(const adapter::DiscoveredPort& port) {
        char id[16];
        std::snprintf(id, sizeof id, "%x/%x/", port.vendorId, port.productId);
        const std::string usbId = adapter::usbIdText(port.vendorId, port.productId);  // "1a86:7523"
        const std::string vendorMatch = "idvendor}==\"" + usbId.substr(0, 4) + "\"";
        const std::string productMatch = "idproduct}==\"" + usbId.substr(5) + "\"";
        std::vector<std::string> ruleFiles;
        for (const fs::path& dir : m_options.udevRuleDirs) {
            std::error_code error;
            for (fs::directory_iterator it(dir, error), end; !error && it != end;
                 it.increment(error)) {
                const std::string name = it->path().filename().string();
                if (name.find("brltty") == std::string::npos ||
                    it->path().extension() != ".rules") {
                    continue;
                }
                ruleFiles.push_back(it->path().string());
                std::ifstream in(it->path());
                for (std::string line; std::getline(in, line);) {
                    const std::string text = lower(line);
                    // Its rules name devices as ENV{PRODUCT}=="1a86/7523/*" or by
                    // ATTRS{idVendor} and ATTRS{idProduct} on one line.
                    const bool claims = text.find("\"" + std::string(id)) != std::string::npos ||
                                        (text.find(vendorMatch) != std::string::npos &&
                                         text.find(productMatch) != std::string::npos);
                    const bool comment = text.find_first_not_of(" \t") == text.find('#');
                    if (claims && !comment) {
                        add(port.name, "brltty", Status::Failed,
                            "the braille display driver claims " + usbId + " in " +
                                it->path().string() + " and takes the port away",
                            "sudo apt remove brltty (unless a braille display is used), or "
                            "comment out that line and run: sudo udevadm control --reload");
                        return;
                    }
                }
            }
        }
        add(port.name, "brltty", Status::Ok,
            ruleFiles.empty() ? "not installed"
                              : "installed; its udev rules do not claim " + usbId);
    }

    void checkDriver(const adapter::DiscoveredPort& port) {
        const adapter::DriverProfile& profile = adapter::driverProfile(port.driver);
        const std::string driver = port.driver.empty() ? "unknown driver" : port.driver;
        Status status = Status::Info;
        std::string advice;
        if (!profile.canWork) {
            status = Status::Failed;
            advice = "use an FTDI or CP210x converter with the adapter";
        } else if (port.driver == "serial") {
            status = Status::Ok;
        } else if (port.driver == "ch341") {
            advice = "if the controller does not stay in reset, use an FTDI or CP210x converter";
        }
        add(port.name, "driver", status,
            driver + " (" + std::string(profile.kind) + "): " + std::string(profile.consequence),
            advice);
    }

    void checkLatencyTimer(const adapter::DiscoveredPort& port) {
        const fs::path candidates[] = {
            m_options.roots.sysRoot / "bus" / "usb-serial" / "devices" / port.name /
                "latency_timer",
            m_options.roots.sysRoot / "class" / "tty" / port.name / "device" / "latency_timer",
        };
        for (const fs::path& path : candidates) {
            const std::string value = adapter::readAttribute(path);
            if (value.empty()) {
                continue;
            }
            if (value == "1") {
                add(port.name, "latency timer", Status::Ok, "1 ms");
            } else {
                add(port.name, "latency timer", Status::Warning,
                    value + " ms: each read can wait that long for the chip's status",
                    installRule(", or: echo 1 | sudo tee " + path.string()));
            }
            return;
        }
        add(port.name, "latency timer", Status::Info, "cannot be read");
    }

    // The fast path talks to the chip through libusb, which needs its USB device node.
    void checkUsbAccess(const adapter::DiscoveredPort& port) {
        if (port.usbBus == 0 || port.usbDevice == 0) {
            add(port.name, "USB access", Status::Info, "bus and device number unknown");
            return;
        }
        char node[16];
        std::snprintf(node, sizeof node, "%03d/%03d", port.usbBus, port.usbDevice);
        const fs::path path = m_options.roots.devRoot / "bus" / "usb" / node;
        struct stat info {};
        if (stat(path.c_str(), &info) != 0) {
            add(port.name, "USB access", Status::Warning, path.string() + " does not exist");
            return;
        }
        const std::size_t before = m_checks.size();
        checkAccess(port.name, "USB access", path, info,
                    installRule(" (group plugdev and the seat's user), then plug the "
                                "converter in again"));
        // The plain serial port still works without it: only the fast path needs it.
        if (m_checks.size() > before && m_checks.back().status == Status::Failed) {
            m_checks.back().status = Status::Warning;
            m_checks.back().result += " (needed only for the fast FTDI path)";
        }
    }

    // Opens the named port, runs the adapter test and measures what one line change and
    // one read cost there.
    void checkOpen(const adapter::DiscoveredPort& port) {
        const std::string& tty = port.name;
        if (m_options.serialPorts == nullptr) {
            add(tty, "open", Status::Skipped, "this build has no serial back-end");
            return;
        }
        adapter::MonotonicClock monotonic;
        adapter::Clock& clock = m_options.clock != nullptr ? *m_options.clock : monotonic;
        adapter::PortSelection selection;
        selection.kind = adapter::PortKind::Serial;
        selection.portName = m_options.port;
        selection.comDeviceName = m_options.port;
        adapter::LinkState state;
        std::string messageText;
        adapter::NoPortIo noParallel;
        QuietHost host;
        adapter::LinkContext link{selection,  state, messageText, clock, *m_options.serialPorts,
                                  noParallel, host};

        if (adapter::openSerialPort(link) != 0) {
            const std::string detail = host.takePendingDetail();
            add(tty, "open", Status::Failed,
                m_options.port + ": " + messageText + (detail.empty() ? "" : " (" + detail + ")"),
                "see the access and free checks above");
            return;
        }
        add(tty, "open", Status::Ok, m_options.port + " opened");

        if (adapter::detectAdapter(link) != 0) {
            const std::string text = messageText.substr(0, messageText.find_last_not_of('\n') + 1);
            add(tty, "adapter test", Status::Failed, text + ": DSR does not follow DTR",
                "plug the adapter into this port; a port without DSR cannot find it");
        } else {
            add(tty, "adapter test", Status::Ok, "DSR follows DTR: the adapter is there");
        }
        if (adapter::linesFailed(link) || !state.portOpen) {
            add(tty, "line costs", Status::Failed, "the port stopped answering",
                "check the cable and plug the converter in again");
        } else {
            measureCosts(link, clock, tty);
        }
        adapter::closeSerialPort(link);
    }

    void measureCosts(adapter::LinkContext& link, adapter::Clock& clock, const std::string& tty) {
        const int repeats = std::max(m_options.timingRepeats, 1);
        // DATA-OUT is toggled, not CLOCK: the controller samples DATA-OUT only on a CLOCK
        // edge, so a running controller sees nothing. It ends low, as the test left it.
        std::uint64_t start = clock.nowNs();
        for (int i = 0; i < repeats; ++i) {
            adapter::serialSetDataOut(link, i % 2 == 0);
        }
        adapter::serialSetDataOut(link, false);
        const double changeNs = static_cast<double>(clock.nowNs() - start) / (repeats + 1);
        start = clock.nowNs();
        for (int i = 0; i < repeats; ++i) {
            (void)adapter::serialReadDataIn(link);
        }
        const double readNs = static_cast<double>(clock.nowNs() - start) / repeats;
        add(tty, "line change", Status::Info, microseconds(changeNs) + " per line change");
        add(tty, "read", Status::Info, microseconds(readNs) + " per DATA-IN read");

        const double limit = revCounterLimitHz(readNs);
        char text[96];
        std::snprintf(text, sizeof text, "about %.0f Hz of pulses (%.0f electrical U/min)", limit,
                      limit * 60.0);
        if (readNs > measuredPulseWidthNs) {
            add(tty, "rev counter", Status::Warning,
                std::string(text) +
                    "; a read outlasts the controller's pulse, so pulses "
                    "can be missed (about 100 Hz at 1 ms reads)",
                "measure motor speeds on an on-board port, or expect low readings");
        } else {
            add(tty, "rev counter", Status::Ok, text);
        }
    }

    const CheckOptions& m_options;
    Who m_identity;
    std::vector<GroupEntry> m_groups;
    ProcessTable m_processes;
    std::vector<Finding> m_checks;
};

}  // namespace

std::vector<Finding> runChecks(const CheckOptions& options) {
    return Checks(options).run();
}

}  // namespace diagnostics
