#include "safety/update_record.h"

#include <array>
#include <cerrno>
#include <system_error>
#include <vector>

#include "base/safe_file.h"
#include "safety/sha256.h"

namespace safety {
namespace fs = std::filesystem;
namespace {

// Plain key=value lines under a first line that says what the file is, so a user who
// finds it can read it and a foreign or older file is recognised as such.
constexpr std::string_view headerLine = "zek-setup update record 1";
constexpr std::string_view recordFileName = "update-record.txt";
// A record is a few hundred bytes; a larger file there is not ours.
constexpr std::uintmax_t recordLimitBytes = 16 * 1024;

// Only what would break a line, and the escape character itself, are escaped, so that a
// Windows path stays readable.
std::string escapeValue(std::string_view value) {
    std::string text;
    for (const char c : value) {
        if (c == '%') {
            text += "%25";
        } else if (c == '\n') {
            text += "%0A";
        } else if (c == '\r') {
            text += "%0D";
        } else {
            text += c;
        }
    }
    return text;
}

std::optional<std::string> unescapeValue(std::string_view text) {
    std::string value;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            value += text[i];
            continue;
        }
        const std::string_view code = text.substr(i + 1, 2);
        if (code == "25") {
            value += '%';
        } else if (code == "0A") {
            value += '\n';
        } else if (code == "0D") {
            value += '\r';
        } else {
            return std::nullopt;
        }
        i += 2;
    }
    return value;
}

std::string utf8Text(const fs::path& path) {
    return base::pathText(path);
}

fs::path pathFromUtf8(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

}  // namespace

std::string formatUpdateRecord(const UpdateRecord& record) {
    std::string text(headerLine);
    text += "\nfile=" + escapeValue(utf8Text(record.file));
    text += "\nsha256=" + record.sha256Hex;
    text += "\nport=" + escapeValue(record.port);
    text += "\nstarted=" + isoText(record.started);
    return text + "\n";
}

std::optional<UpdateRecord> parseUpdateRecord(std::string_view text, std::string& reason) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);  // edited on Windows
        }
        lines.push_back(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    if (lines.empty() || lines.front() != headerLine) {
        reason = "not an update record of this program";
        return std::nullopt;
    }
    enum Key { file, hash, port, started, keyCount };
    static constexpr std::array<std::string_view, keyCount> keyNames = {"file", "sha256", "port",
                                                                        "started"};
    std::array<std::optional<std::string>, keyCount> values;
    for (std::size_t index = 1; index < lines.size(); ++index) {
        const std::string_view line = lines[index];
        if (line.empty()) {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            reason = "line " + std::to_string(index + 1) + " is not key=value";
            return std::nullopt;
        }
        const std::string_view name = line.substr(0, equals);
        for (int key = 0; key < keyCount; ++key) {
            if (name != keyNames[key]) {
                continue;
            }
            if (values[key]) {
                reason = std::string(name) + " appears twice";
                return std::nullopt;
            }
            values[key] = unescapeValue(line.substr(equals + 1));
            if (!values[key]) {
                reason = std::string(name) + " holds a broken escape";
                return std::nullopt;
            }
        }
        // Keys this version does not know are passed over: a newer program may add some.
    }
    for (int key = 0; key < keyCount; ++key) {
        if (!values[key]) {
            reason = std::string(keyNames[key]) + " is missing";
            return std::nullopt;
        }
    }
    UpdateRecord record;
    record.file = pathFromUtf8(*values[file]);
    record.sha256Hex = *values[hash];
    record.port = *values[port];
    if (record.file.empty()) {
        reason = "file is empty";
        return std::nullopt;
    }
    if (!digestFromHex(record.sha256Hex)) {
        reason = "sha256 is not a SHA-256 value";
        return std::nullopt;
    }
    const std::optional<CalendarTime> time = parseIsoText(*values[started]);
    if (!time) {
        reason = "started is not a date and time";
        return std::nullopt;
    }
    record.started = *time;
    return record;
}

UpdateRecordStore::UpdateRecordStore(const fs::path& dataFolder)
    : m_path(dataFolder / recordFileName) {}

ui::SystemError UpdateRecordStore::begin(const fs::path& file, std::string_view sha256Hex,
                                         std::string_view port, const CalendarTime& started) const {
    const std::optional<Sha256Digest> digest = digestFromHex(sha256Hex);
    if (!digest || file.empty()) {
        return ui::SystemError{base::pathText(m_path), "", EINVAL,
                               "no file or no SHA-256 value to record"};
    }
    const UpdateRecord record{file, toHex(*digest), std::string(port), started};
    return base::writeFileAtomically(m_path, formatUpdateRecord(record));
}

ui::SystemError UpdateRecordStore::complete() const {
    std::error_code code;
    fs::remove(m_path, code);
    if (code) {
        return ui::SystemError{base::pathText(m_path), "remove", code.value(), code.message()};
    }
    return {};
}

std::optional<UpdateRecord> UpdateRecordStore::findIncomplete(ui::SystemError& error) const {
    std::error_code code;
    const fs::file_status status = fs::status(m_path, code);
    if (status.type() == fs::file_type::not_found) {
        return std::nullopt;
    }
    if (code) {
        error = ui::SystemError{base::pathText(m_path), "stat", code.value(), code.message()};
        return std::nullopt;
    }
    const std::optional<std::string> text = base::readFileLimited(m_path, recordLimitBytes, error);
    if (!text) {
        return std::nullopt;
    }
    std::string reason;
    std::optional<UpdateRecord> record = parseUpdateRecord(*text, reason);
    if (!record) {
        error =
            ui::SystemError{base::pathText(m_path), "", EINVAL, "corrupt update record: " + reason};
    }
    return record;
}

RecordedFileCheck checkFile(const UpdateRecord& record) {
    RecordedFileCheck check;
    std::error_code code;
    const fs::file_status status = fs::status(record.file, code);
    if (status.type() == fs::file_type::not_found) {
        check.state = RecordedFileState::vanished;
        return check;
    }
    if (code) {
        check.state = RecordedFileState::unreadable;
        check.error =
            ui::SystemError{base::pathText(record.file), "stat", code.value(), code.message()};
        return check;
    }
    if (status.type() != fs::file_type::regular) {
        check.state = RecordedFileState::changed;
        return check;
    }
    const std::optional<Sha256Digest> digest = sha256OfFile(record.file, check.error);
    if (!digest) {
        check.state = check.error.code == ENOENT ? RecordedFileState::vanished
                                                 : RecordedFileState::unreadable;
        return check;
    }
    const std::optional<Sha256Digest> recorded = digestFromHex(record.sha256Hex);
    check.state =
        recorded && *recorded == *digest ? RecordedFileState::ok : RecordedFileState::changed;
    return check;
}

}  // namespace safety
