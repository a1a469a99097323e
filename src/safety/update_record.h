// The record of an update in progress, so that one broken by a lost cable or battery can be
// run again with the same file. It is written before the first step and removed after the
// last; one still there at start-up is an update that never finished.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "safety/calendar_time.h"
#include "ui/system_error.h"

namespace safety {

struct UpdateRecord {
    std::filesystem::path file;  // the update file, as it was chosen
    std::string sha256Hex;       // its SHA-256, 64 lower-case hexadecimal characters
    std::string port;            // the port it was sent through: "/dev/ttyUSB0", "COM3", "SIM"
    CalendarTime started;
};

enum class RecordedFileState {
    ok,          // still there, same content
    vanished,    // no file of that name any more
    changed,     // there, but other content (or not a plain file)
    unreadable,  // there, but it cannot be read; the reason is in error
};

struct RecordedFileCheck {
    RecordedFileState state = RecordedFileState::ok;
    ui::SystemError error;
};

class UpdateRecordStore {
  public:
    // dataFolder: the user's data folder; the record is <dataFolder>/update-record.txt.
    explicit UpdateRecordStore(const std::filesystem::path& dataFolder);

    const std::filesystem::path& path() const { return m_path; }

    // Written atomically, replacing any older record. A hash that is not 64 hexadecimal
    // characters is refused (EINVAL) and nothing is written.
    [[nodiscard]] ui::SystemError begin(const std::filesystem::path& file,
                                        std::string_view sha256Hex, std::string_view port,
                                        const CalendarTime& started) const;
    // After the final step: the record is removed. Also how a record the user declined to
    // resume, or a corrupt one, is put away. No record is no error.
    [[nodiscard]] ui::SystemError complete() const;

    // The record of an update that did not finish, or nullopt. A corrupt or foreign file
    // reads as nullopt with the reason in error, so the caller can say so once.
    [[nodiscard]] std::optional<UpdateRecord> findIncomplete(ui::SystemError& error) const;

  private:
    std::filesystem::path m_path;
};

// Whether the recorded file is still the one the update used.
[[nodiscard]] RecordedFileCheck checkFile(const UpdateRecord& record);

// The record's text and back; exposed for tests. parseUpdateRecord says in reason why a
// text is refused.
std::string formatUpdateRecord(const UpdateRecord& record);
std::optional<UpdateRecord> parseUpdateRecord(std::string_view text, std::string& reason);

}  // namespace safety
