// The record of an update in progress, so that one broken by a lost cable or battery can be
// run again. It is written before the first step and removed after the last; one still
// there at start-up is an update that never finished. Beside it lies a copy of the update
// file, so that the update can be resumed even when the original was moved or changed.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "safety/calendar_time.h"
#include "ui/system_error.h"

namespace safety {

struct UnfinishedUpdate {
    std::filesystem::path file;  // the update file, as it was chosen
    std::filesystem::path copy;  // its copy in the data folder, under the same name
    std::string port;            // the port it was sent through: "/dev/ttyUSB0", "COM3", "SIM"
    CalendarTime started;
};

enum class RecordedFileState {
    ok,          // the copy is there
    vanished,    // no copy any more
    changed,     // something else than a plain file stands in its place
    unreadable,  // it cannot be looked at; the reason is in error
};

struct RecordedFileCheck {
    RecordedFileState state = RecordedFileState::ok;
    ui::SystemError error;
};

class UpdateRecordStore {
  public:
    // dataFolder: the user's data folder; the record is <dataFolder>/update-record.json and
    // the copy lies in <dataFolder>/unfinished-update/.
    explicit UpdateRecordStore(const std::filesystem::path& dataFolder);

    const std::filesystem::path& path() const { return m_path; }

    // Copies the file and writes the record, both atomically, replacing any older ones.
    [[nodiscard]] ui::SystemError begin(const std::filesystem::path& file, std::string_view port,
                                        const CalendarTime& started) const;
    // After the final step: the record and the copy are removed. Also how a record the user
    // declined to resume, or a corrupt one, is put away. No record is no error.
    [[nodiscard]] ui::SystemError complete() const;

    // The record of an update that did not finish, or nullopt. A corrupt or foreign file
    // reads as nullopt with the reason in error, so the caller can say so once.
    [[nodiscard]] std::optional<UnfinishedUpdate> findIncomplete(ui::SystemError& error) const;

    // The record's text and back; exposed for tests. parse says in reason why a text is
    // refused.
    std::string format(const UnfinishedUpdate& record) const;
    std::optional<UnfinishedUpdate> parse(std::string_view text, std::string& reason) const;

  private:
    std::filesystem::path m_path;
    std::filesystem::path m_copyFolder;
};

// Whether the copy the update would be resumed with is still there.
[[nodiscard]] RecordedFileCheck checkFile(const UnfinishedUpdate& record);

}  // namespace safety
