#include "cli/doctor.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <system_error>

#include "adapter/adapter.h"
#include "adapter/com_mapping.h"

namespace cli {

namespace fs = std::filesystem;

namespace {

constexpr const char* udevRuleFile = "60-zek-setup.rules";
constexpr std::uint16_t ftdiVendorId = 0x0403;
// The README's rev-counter table was measured with pulses this wide; a read that lasts
// longer can fall between two reads' samples and miss a pulse at any rate.
constexpr double measuredPulseWidthNs = 200'000.0;

// --- small readers

std::string lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

bool isNumber(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
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

struct Identity {
    unsigned uid = 0;
    std::string user;
    std::vector<unsigned> groups;
};

Identity resolveIdentity(const DoctorIdentity& given) {
    Identity identity;
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
        std::vector<std::string> fields;
        std::stringstream stream(line);
        for (std::string field; std::getline(stream, field, ':');) {
            fields.push_back(field);
        }
        if (fields.size() < 3 || !isNumber(fields[2])) {
            continue;
        }
        GroupEntry entry{fields[0], static_cast<unsigned>(std::stoul(fields[2])), {}};
        if (fields.size() > 3) {
            std::stringstream members(fields[3]);
            for (std::string member; std::getline(members, member, ',');) {
                entry.members.push_back(member);
            }
        }
        groups.push_back(std::move(entry));
    }
    return groups;
}

// The primary group of user in the passwd file, which makes them a member without
// being listed in the group file.
std::optional<unsigned> primaryGroup(const fs::path& passwdPath, const std::string& user) {
    std::ifstream in(passwdPath);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::stringstream stream(line);
        for (std::string field; std::getline(stream, field, ':');) {
            fields.push_back(field);
        }
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

const Process* findByComm(const ProcessTable& table, std::string_view comm) {
    for (const Process& process : table.processes) {
        if (process.comm == comm) {
            return &process;
        }
    }
    return nullptr;
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

class NoParallelPort final : public adapter::PortIo {
  public:
    bool writeData(std::uint16_t, std::uint8_t) override { return false; }
    bool readWord(std::uint16_t, std::uint16_t&) override { return false; }
    bool readControl(std::uint16_t, std::uint8_t&) override { return false; }
    bool writeControl(std::uint16_t, std::uint8_t) override { return false; }
};

std::string microseconds(double ns) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f us", ns / 1000.0);
    return text;
}

// --- the checks

class Doctor {
  public:
    explicit Doctor(const DoctorOptions& options)
        : m_options(options),
          m_identity(resolveIdentity(options.identity)),
          m_groups(readGroupFile(options.etcRoot / "group")),
          m_processes(scanProcesses(options.procRoot)) {}

    std::vector<DoctorCheck> run() {
        const std::vector<adapter::DiscoveredPort> found =
            adapter::discoverSerialPorts(m_options.roots);
        if (m_options.port.empty()) {
            if (found.empty()) {
                add("", "ports", CheckStatus::Warning, "no serial port found",
                    "plug in the converter and look at the kernel log (dmesg) for its driver");
            }
            for (const adapter::DiscoveredPort& port : found) {
                checkPort(port);
            }
            return std::move(m_checks);
        }
        const adapter::DiscoveredPort port = namedPort(found);
        checkPort(port);
        checkOpen(port);
        return std::move(m_checks);
    }

  private:
    void add(const std::string& port, std::string check, CheckStatus status, std::string result,
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
        for (const GroupEntry& group : m_groups) {
            if (group.gid == gid && std::find(group.members.begin(), group.members.end(),
                                              m_identity.user) != group.members.end()) {
                return true;
            }
        }
        return primaryGroup(m_options.etcRoot / "passwd", m_identity.user) == gid;
    }

    bool inProcessGroups(unsigned gid) const {
        return std::find(m_identity.groups.begin(), m_identity.groups.end(), gid) !=
               m_identity.groups.end();
    }

    // Whether this user may read and write path, as the kernel decides it: the owner's
    // bits, else the group's, else the others'.
    void checkAccess(const std::string& port, const std::string& what, const fs::path& path,
                     const struct stat& info, const std::string& joinAdvice) {
        const std::string group = groupName(info.st_gid);
        const std::string user = m_identity.user.empty() ? "this user" : m_identity.user;
        auto readWrite = [&](mode_t read, mode_t write) {
            return (info.st_mode & read) != 0 && (info.st_mode & write) != 0;
        };
        if (m_identity.uid == 0) {
            add(port, what, CheckStatus::Ok, "running as root: " + path.string() + " is usable");
        } else if (info.st_uid == m_identity.uid) {
            add(port, what, readWrite(S_IRUSR, S_IWUSR) ? CheckStatus::Ok : CheckStatus::Failed,
                user + " owns " + path.string());
        } else if (inProcessGroups(info.st_gid)) {
            if (readWrite(S_IRGRP, S_IWGRP)) {
                add(port, what, CheckStatus::Ok, user + " is in group " + group);
            } else {
                add(port, what, CheckStatus::Failed,
                    "group " + group + " may not read and write " + path.string(),
                    "install the udev rule " + std::string(udevRuleFile) + " (see README)");
            }
        } else if (readWrite(S_IROTH, S_IWOTH)) {
            add(port, what, CheckStatus::Ok, "everyone may read and write " + path.string());
        } else if (listedInGroup(info.st_gid)) {
            add(port, what, CheckStatus::Warning,
                user + " was added to group " + group + " after this login began",
                "log out and in again (or start a shell with: newgrp " + group + ")");
        } else {
            add(port, what, CheckStatus::Failed, user + " is not in group " + group,
                joinAdvice.empty()
                    ? "sudo usermod -aG " + group + " " + user + ", then log out and in again"
                    : joinAdvice);
        }
    }

    void checkPort(const adapter::DiscoveredPort& port) {
        const std::string& tty = port.name;
        struct stat info {};
        if (stat(port.devicePath.c_str(), &info) != 0) {
            add(tty, "device", CheckStatus::Failed, port.devicePath + " does not exist",
                "plug the converter in; without a device node udev did not create it");
            return;
        }
        add(tty, "device", CheckStatus::Ok,
            port.devicePath + (port.byIdPath.empty() ? "" : " = " + port.byIdPath) +
                (port.isUsb ? ": " + adapter::describePort(port) : ""));
        const passwd* owner = m_options.etcRoot == "/etc" ? getpwuid(info.st_uid) : nullptr;
        add(tty, "permissions", CheckStatus::Info,
            "owner " +
                (owner != nullptr ? std::string(owner->pw_name) : std::to_string(info.st_uid)) +
                ", group " + groupName(info.st_gid) + ", mode " + modeText(info.st_mode));
        checkAccess(tty, "access", port.devicePath, info, {});
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
        const std::string& tty = port.name;
        for (const fs::path& dir : m_options.lockDirs) {
            const fs::path lock = dir / ("LCK.." + tty);
            std::error_code error;
            if (!fs::exists(lock, error)) {
                continue;
            }
            std::string pid = adapter::readAttribute(lock);
            pid.erase(0, pid.find_first_not_of(' '));
            const bool alive =
                isNumber(pid) && fs::exists(m_options.procRoot / pid / "comm", error);
            if (alive) {
                add(tty, "free", CheckStatus::Failed,
                    "locked by " + adapter::readAttribute(m_options.procRoot / pid / "comm") +
                        " (pid " + pid + ") in " + lock.string(),
                    "close that program: the adapter needs the port alone");
            } else {
                add(tty, "free", CheckStatus::Warning,
                    "stale lock file " + lock.string() + " (its process is gone)",
                    "remove it: sudo rm " + lock.string());
            }
            return;
        }
        for (const Process& process : m_processes.processes) {
            for (const std::string& file : process.openFiles) {
                if (file == port.devicePath || (!port.byIdPath.empty() && file == port.byIdPath)) {
                    add(tty, "free", CheckStatus::Failed,
                        "held open by " + process.comm + " (pid " + process.pid + ")",
                        "close that program: the adapter needs the port alone");
                    return;
                }
            }
        }
        add(tty, "free", CheckStatus::Ok,
            m_processes.unreadable == 0
                ? "no lock file, no process holds it"
                : "no lock file, no process holds it (" + std::to_string(m_processes.unreadable) +
                      " processes of other users not seen; run as root to see them)");
    }

    void checkModemManager(const adapter::DiscoveredPort& port) {
        const std::string& tty = port.name;
        const Process* manager = findByComm(m_processes, "ModemManager");
        if (manager == nullptr) {
            add(tty, "ModemManager", CheckStatus::Ok, "not running");
            return;
        }
        // udev keeps each device's properties in a database file named by its numbers.
        const std::string numbers =
            adapter::readAttribute(m_options.roots.sysRoot / "class" / "tty" / tty / "dev");
        std::ifstream database(m_options.runRoot / "udev" / "data" / ("c" + numbers));
        bool ignored = false;
        for (std::string line; std::getline(database, line);) {
            ignored = ignored || line == "E:ID_MM_DEVICE_IGNORE=1";
        }
        if (ignored) {
            add(tty, "ModemManager", CheckStatus::Ok,
                "running (pid " + manager->pid + "), told to ignore this device");
        } else {
            add(tty, "ModemManager", CheckStatus::Warning,
                "running (pid " + manager->pid +
                    ") and may probe this port with modem commands after it is plugged in",
                "install the udev rule " + std::string(udevRuleFile) +
                    " (ID_MM_DEVICE_IGNORE), or: sudo systemctl stop ModemManager");
        }
    }

    void checkBrltty(const adapter::DiscoveredPort& port) {
        const std::string& tty = port.name;
        char id[16];
        std::snprintf(id, sizeof id, "%x/%x/", port.vendorId, port.productId);
        char vendor[8];
        char product[8];
        std::snprintf(vendor, sizeof vendor, "%04x", port.vendorId);
        std::snprintf(product, sizeof product, "%04x", port.productId);
        const std::string vendorMatch = std::string("idvendor}==\"") + vendor + "\"";
        const std::string productMatch = std::string("idproduct}==\"") + product + "\"";
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
                        add(tty, "brltty", CheckStatus::Failed,
                            "the braille display driver claims " +
                                adapter::usbIdText(port.vendorId, port.productId) + " in " +
                                it->path().string() + " and takes the port away",
                            "sudo apt remove brltty (unless a braille display is used), or "
                            "comment out that line and run: sudo udevadm control --reload");
                        return;
                    }
                }
            }
        }
        add(tty, "brltty", CheckStatus::Ok,
            ruleFiles.empty() ? "not installed"
                              : "installed; its udev rules do not claim " +
                                    adapter::usbIdText(port.vendorId, port.productId));
    }

    void checkDriver(const adapter::DiscoveredPort& port) {
        const adapter::DriverProfile& profile = adapter::driverProfile(port.driver);
        const std::string driver = port.driver.empty() ? "unknown driver" : port.driver;
        CheckStatus status = CheckStatus::Info;
        std::string advice;
        if (!profile.canWork) {
            status = CheckStatus::Failed;
            advice = "use an FTDI or CP210x converter with the adapter";
        } else if (port.driver == "serial") {
            status = CheckStatus::Ok;
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
                add(port.name, "latency timer", CheckStatus::Ok, "1 ms");
            } else {
                add(port.name, "latency timer", CheckStatus::Warning,
                    value + " ms: each read can wait that long for the chip's status",
                    "install the udev rule " + std::string(udevRuleFile) +
                        ", or: echo 1 | sudo tee " + path.string());
            }
            return;
        }
        add(port.name, "latency timer", CheckStatus::Info, "cannot be read");
    }

    // The fast path talks to the chip through libusb, which needs its USB device node.
    void checkUsbAccess(const adapter::DiscoveredPort& port) {
        if (port.usbBus == 0 || port.usbDevice == 0) {
            add(port.name, "USB access", CheckStatus::Info, "bus and device number unknown");
            return;
        }
        char node[16];
        std::snprintf(node, sizeof node, "%03d/%03d", port.usbBus, port.usbDevice);
        const fs::path path = m_options.roots.devRoot / "bus" / "usb" / node;
        struct stat info {};
        if (stat(path.c_str(), &info) != 0) {
            add(port.name, "USB access", CheckStatus::Warning, path.string() + " does not exist");
            return;
        }
        const std::size_t before = m_checks.size();
        checkAccess(port.name, "USB access", path, info,
                    "install the udev rule " + std::string(udevRuleFile) +
                        " (group plugdev and the seat's user), then plug the converter in again");
        // The plain serial port still works without it: only the fast path needs it.
        if (m_checks.size() > before && m_checks.back().status == CheckStatus::Failed) {
            m_checks.back().status = CheckStatus::Warning;
            m_checks.back().result += " (needed only for the fast FTDI path)";
        }
    }

    // Opens the named port, runs the adapter test and measures what one line change and
    // one read cost there.
    void checkOpen(const adapter::DiscoveredPort& port) {
        const std::string& tty = port.name;
        if (m_options.serialPorts == nullptr) {
            add(tty, "open", CheckStatus::Skipped, "this build has no serial back-end");
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
        NoParallelPort noParallel;
        QuietHost host;
        adapter::LinkContext link{selection,  state, messageText, clock, *m_options.serialPorts,
                                  noParallel, host};

        if (adapter::openSerialPort(link) != 0) {
            const std::string detail = host.takePendingDetail();
            add(tty, "open", CheckStatus::Failed,
                m_options.port + ": " + messageText + (detail.empty() ? "" : " (" + detail + ")"),
                "see the access and free checks above");
            return;
        }
        add(tty, "open", CheckStatus::Ok, m_options.port + " opened");

        if (adapter::detectAdapter(link) != 0) {
            std::string text = messageText;
            while (!text.empty() && text.back() == '\n') {
                text.pop_back();
            }
            add(tty, "adapter test", CheckStatus::Failed, text + ": DSR does not follow DTR",
                "plug the adapter into this port; a port without DSR cannot find it");
        } else {
            add(tty, "adapter test", CheckStatus::Ok, "DSR follows DTR: the adapter is there");
        }
        if (adapter::linesFailed(link) || !state.portOpen) {
            add(tty, "line costs", CheckStatus::Failed, "the port stopped answering",
                "check the cable and plug the converter in again");
            adapter::closeSerialPort(link);
            return;
        }
        measureCosts(link, clock, tty);
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
        add(tty, "line change", CheckStatus::Info, microseconds(changeNs) + " per line change");
        add(tty, "read", CheckStatus::Info, microseconds(readNs) + " per DATA-IN read");

        const double limit = revCounterLimitHz(readNs);
        char text[96];
        std::snprintf(text, sizeof text, "about %.0f Hz of pulses (%.0f electrical U/min)", limit,
                      limit * 60.0);
        if (readNs > measuredPulseWidthNs) {
            add(tty, "rev counter", CheckStatus::Warning,
                std::string(text) +
                    "; a read outlasts the controller's pulse, so pulses "
                    "can be missed (about 100 Hz at 1 ms reads)",
                "measure motor speeds on an on-board port, or expect low readings");
        } else {
            add(tty, "rev counter", CheckStatus::Ok, text);
        }
    }

    const DoctorOptions& m_options;
    Identity m_identity;
    std::vector<GroupEntry> m_groups;
    ProcessTable m_processes;
    std::vector<DoctorCheck> m_checks;
};

}  // namespace

std::vector<DoctorCheck> runDoctorChecks(const DoctorOptions& options) {
    return Doctor(options).run();
}

}  // namespace cli
