#include "safety/backup_store.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>
#include <tuple>

namespace safety {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view backupExtension = ".json";
// Long enough for any version text the controller shows; a name stays well under the
// path limits of every file system.
constexpr std::size_t versionTextLimit = 40;
// Sequence numbers beyond this mean something is wrong with the folder, not a busy second.
constexpr int sequenceLimit = 1000;

bool safeVersionCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
}

std::string versionForName(std::string_view text) {
    std::string name;
    for (const char c : text.substr(0, versionTextLimit)) {
        name += c == ' ' ? '-' : safeVersionCharacter(c) ? c : '_';
    }
    // Windows drops a trailing dot from a name; an empty version would leave "_.json".
    while (!name.empty() && name.back() == '.') {
        name.back() = '_';
    }
    return name.empty() ? "unknown" : name;
}

// Newest first; within one second the higher sequence number is the later backup.
bool newerFirst(const BackupEntry& a, const BackupEntry& b) {
    return std::tuple(a.time, a.sequence, a.path.filename()) >
           std::tuple(b.time, b.sequence, b.path.filename());
}

}  // namespace

std::string backupFileName(const CalendarTime& time, std::string_view controllerVersionText,
                           int sequence) {
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d-%02d-%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    std::string name = stamp;
    if (sequence > 1) {
        name += "-" + std::to_string(sequence);
    }
    return name + "_" + versionForName(controllerVersionText) + std::string(backupExtension);
}

std::optional<BackupEntry> parseBackupFileName(std::string_view name) {
    // "YYYY-MM-DDTHH-MM-SS", optionally "-N", then "_" version ".json".
    if (name.size() < 19 + 1 + 1 + backupExtension.size() || !name.ends_with(backupExtension) ||
        name[4] != '-' || name[7] != '-' || name[10] != 'T' || name[13] != '-' || name[16] != '-') {
        return std::nullopt;
    }
    BackupEntry entry;
    entry.time = CalendarTime{digitsAt(name, 0, 4),  digitsAt(name, 5, 2),  digitsAt(name, 8, 2),
                              digitsAt(name, 11, 2), digitsAt(name, 14, 2), digitsAt(name, 17, 2)};
    if (!entry.time.valid()) {
        return std::nullopt;
    }
    std::size_t position = 19;
    if (name[position] == '-') {
        const std::size_t digitsStart = ++position;
        while (position < name.size() && name[position] >= '0' && name[position] <= '9') {
            ++position;
        }
        const std::size_t digits = position - digitsStart;
        if (digits == 0 || digits > 4 || name[digitsStart] == '0') {
            return std::nullopt;
        }
        entry.sequence = digitsAt(name, digitsStart, digits);
        if (entry.sequence < 2) {
            return std::nullopt;
        }
    }
    if (position >= name.size() || name[position] != '_') {
        return std::nullopt;
    }
    const std::string_view version =
        name.substr(position + 1, name.size() - position - 1 - backupExtension.size());
    if (version.empty() || version.size() > versionTextLimit ||
        !std::all_of(version.begin(), version.end(), safeVersionCharacter)) {
        return std::nullopt;
    }
    entry.versionText = std::string(version);
    entry.path = fs::path(std::string(name));
    return entry;
}

BackupStore::BackupStore(fs::path folder) : m_folder(std::move(folder)) {}

BackupStore BackupStore::inDataFolder(const fs::path& dataFolder) {
    return BackupStore(dataFolder / "backups");
}

BackupSaveResult BackupStore::save(std::string_view content, std::string_view controllerVersionText,
                                   const CalendarTime& time,
                                   const base::AtomicWriteOptions& options) const {
    BackupSaveResult result;
    if (content.size() > backupLimitBytes) {
        // It could never be loaded again.
        result.error = ui::SystemError{base::pathText(m_folder), "", EFBIG,
                                       "the settings are larger than a backup may be"};
        return result;
    }
    base::AtomicWriteOptions keepExisting = options;
    keepExisting.replaceExisting = false;
    for (int sequence = 1; sequence <= sequenceLimit; ++sequence) {
        const fs::path path = m_folder / backupFileName(time, controllerVersionText, sequence);
        std::error_code ignored;
        if (fs::exists(path, ignored)) {
            continue;
        }
        result.error = base::writeFileAtomically(path, content, keepExisting);
        if (result.error.code == EEXIST) {
            continue;  // another instance took the name between the check and the write
        }
        if (result.error.empty()) {
            result.path = path;
        }
        break;
    }
    if (result.path.empty()) {
        if (result.error.empty()) {
            result.error = ui::SystemError{base::pathText(m_folder), "", EEXIST,
                                           "no free name for a backup of this second"};
        }
        return result;
    }

    ui::SystemError listError;
    const std::vector<BackupEntry> entries = list(listError);
    if (!listError.empty()) {
        result.pruneError = listError;
        return result;
    }
    for (std::size_t index = backupsKept; index < entries.size(); ++index) {
        std::error_code code;
        fs::remove(entries[index].path, code);
        if (code && result.pruneError.empty()) {
            result.pruneError = ui::SystemError{base::pathText(entries[index].path), "remove",
                                                code.value(), code.message()};
        }
    }
    return result;
}

std::vector<BackupEntry> BackupStore::list(ui::SystemError& error) const {
    std::vector<BackupEntry> entries;
    std::error_code code;
    if (!fs::exists(m_folder, code)) {
        return entries;
    }
    // The error-code forms throughout: a folder that vanishes mid-listing is an error value.
    for (fs::directory_iterator item(m_folder, code), end; !code && item != end;
         item.increment(code)) {
        std::error_code itemCode;
        if (!item->is_regular_file(itemCode)) {
            continue;
        }
        std::optional<BackupEntry> entry =
            parseBackupFileName(base::pathText(item->path().filename()));
        if (!entry) {
            continue;
        }
        entry->path = item->path();
        entries.push_back(std::move(*entry));
    }
    if (code) {
        error =
            ui::SystemError{base::pathText(m_folder), "list folder", code.value(), code.message()};
    }
    std::sort(entries.begin(), entries.end(), newerFirst);
    return entries;
}

std::optional<std::string> BackupStore::load(const fs::path& path, ui::SystemError& error) {
    return base::readFileLimited(path, backupLimitBytes, error);
}

}  // namespace safety
