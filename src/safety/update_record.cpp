#include "safety/update_record.h"

#include <cerrno>
#include <system_error>

#include "base/json.h"
#include "base/safe_file.h"
#include "update/read_file.h"

namespace safety {
namespace fs = std::filesystem;
namespace {

// Says what the file is, so a foreign or older file is recognised as such.
constexpr std::string_view formatName = "zek-setup update record";
constexpr int formatVersion = 2;
constexpr std::string_view recordFileName = "update-record.json";
constexpr std::string_view copyFolderName = "unfinished-update";
// A record is a few hundred bytes; a larger file there is not ours.
constexpr std::uintmax_t recordLimitBytes = 16 * 1024;

// Paths travel as UTF-8 text; bytes that are not UTF-8 are read as Latin-1, as every text of
// the JSON is, and the copy is named by the same text so the record finds it again.
std::string utf8Text(const fs::path& path) {
    return base::json::toUtf8(base::pathText(path));
}

fs::path pathFromUtf8(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

}  // namespace

UpdateRecordStore::UpdateRecordStore(const fs::path& dataFolder)
    : m_path(dataFolder / recordFileName), m_copyFolder(dataFolder / copyFolderName) {}

std::string UpdateRecordStore::format(const UnfinishedUpdate& record) const {
    base::json::Value value = base::json::Value::object();
    value["format"] = formatName;
    value["version"] = formatVersion;
    value["file"] = utf8Text(record.file);
    value["port"] = base::json::toUtf8(record.port);
    value["started"] = isoText(record.started);
    return base::json::write(value);
}

std::optional<UnfinishedUpdate> UpdateRecordStore::parse(std::string_view text,
                                                         std::string& reason) const {
    const base::json::ParseResult parsed = base::json::parse(text);
    const base::json::Value* version =
        parsed.value ? base::json::member(*parsed.value, "version") : nullptr;
    const std::string* name =
        parsed.value ? base::json::stringMember(*parsed.value, "format") : nullptr;
    if (name == nullptr || *name != formatName || version == nullptr || *version != formatVersion) {
        reason = "not an update record of this program";
        return std::nullopt;
    }
    const std::string* file = base::json::stringMember(*parsed.value, "file");
    const std::string* port = base::json::stringMember(*parsed.value, "port");
    const std::string* started = base::json::stringMember(*parsed.value, "started");
    const std::optional<CalendarTime> time =
        started != nullptr ? parseIsoText(*started) : std::nullopt;
    if (file == nullptr || port == nullptr || !time) {
        reason = "file, port or started is missing";
        return std::nullopt;
    }
    const fs::path path = pathFromUtf8(*file);
    if (!path.has_filename()) {
        reason = "file names no file";
        return std::nullopt;
    }
    return UnfinishedUpdate{path, m_copyFolder / path.filename(), *port, *time};
}

ui::SystemError UpdateRecordStore::begin(const fs::path& file, std::string_view port,
                                         const CalendarTime& started) const {
    const fs::path name = pathFromUtf8(utf8Text(file.filename()));
    if (name.empty()) {
        return ui::SystemError{base::pathText(file), "", EINVAL, "no update file to record"};
    }
    ui::SystemError error;
    const std::optional<std::string> bytes =
        base::readFileLimited(file, update::maxUpdateFileBytes, error);
    if (!bytes) {
        return error;
    }
    std::error_code ignored;
    fs::remove_all(m_copyFolder, ignored);  // the copy of an older update
    if (error = base::writeFileAtomically(m_copyFolder / name, *bytes); !error.empty()) {
        return error;
    }
    return base::writeFileAtomically(
        m_path, format(UnfinishedUpdate{file, {}, std::string(port), started}));
}

ui::SystemError UpdateRecordStore::complete() const {
    std::error_code code;
    fs::remove(m_path, code);
    if (code) {
        return ui::SystemError{base::pathText(m_path), "remove", code.value(), code.message()};
    }
    fs::remove_all(m_copyFolder, code);
    if (code) {
        return ui::SystemError{base::pathText(m_copyFolder), "remove", code.value(),
                               code.message()};
    }
    return {};
}

std::optional<UnfinishedUpdate> UpdateRecordStore::findIncomplete(ui::SystemError& error) const {
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
    std::optional<UnfinishedUpdate> record = parse(*text, reason);
    if (!record) {
        error =
            ui::SystemError{base::pathText(m_path), "", EINVAL, "corrupt update record: " + reason};
    }
    return record;
}

RecordedFileCheck checkFile(const UnfinishedUpdate& record) {
    RecordedFileCheck check;
    std::error_code code;
    const fs::file_status status = fs::status(record.copy, code);
    if (status.type() == fs::file_type::not_found) {
        check.state = RecordedFileState::vanished;
    } else if (code) {
        check.state = RecordedFileState::unreadable;
        check.error =
            ui::SystemError{base::pathText(record.copy), "stat", code.value(), code.message()};
    } else if (status.type() != fs::file_type::regular) {
        check.state = RecordedFileState::changed;
    }
    return check;
}

}  // namespace safety
