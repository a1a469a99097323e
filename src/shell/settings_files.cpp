// The "Datei" menu's settings files and automatic backups, and what the desktop program
// says about a broken update or write. Toolkit-free: the boxes and dialogs go through
// the host.
#include <array>
#include <cstdio>

#include "base/safe_file.h"
#include "resources/backups_dialog.h"
#include "resources/main_dialog_ids.h"
#include "resources/texts.h"
#include "safety/settings_backup.h"
#include "shell/commands.h"
#include "shell/dispatch.h"

namespace shell {
namespace {

void box(App& app, const std::string& text) {
    (void)app.host().messageBox(&app.mainDialog(), text, texts::BackupCaption);
}

// The same checks as load-settings: after a read, and from a controller of this family.
ui::Outcome applyToDialog(App& app, const safety::SettingsBackup& backup) {
    settings::SetupImage& image = app.setupImage();
    if (backup.family != safety::versionFamilyNumber(image)) {
        box(app, texts::OtherFamily + backup.versionText);
        return ui::Outcome::Refused;
    }
    safety::applyBackup(backup, app.mainDialog(), image);
    app.host().repaint(app.mainDialog());
    return ui::Outcome::Done;
}

ui::Outcome loadFile(App& app, const std::string& path) {
    const safety::BackupRead read = safety::readBackupFile(path);
    if (!read.backup) {
        box(app, texts::CannotLoadSettings + path + "\n" + read.error);
        return ui::Outcome::Failed;
    }
    return applyToDialog(app, *read.backup);
}

bool readFirst(App& app) {
    if (app.setupImage().valuesRead()) {
        return true;
    }
    box(app, texts::ReadFirst);
    return false;
}

}  // namespace

std::string backupListText(const safety::BackupEntry& entry) {
    char time[32];
    std::snprintf(time, sizeof time, "%02d.%02d.%04d %02d:%02d:%02d", entry.time.day,
                  entry.time.month, entry.time.year, entry.time.hour, entry.time.minute,
                  entry.time.second);
    return std::string(time) +
           (entry.sequence > 1 ? " (" + std::to_string(entry.sequence) + ")" : std::string()) +
           "   " + entry.versionText;
}

ui::Outcome saveSettingsToFile(App& app) {
    if (!readFirst(app)) {
        return ui::Outcome::Refused;
    }
    const std::optional<std::string> path =
        app.host().chooseOpenFile(ui::FileDialogRequest{texts::SaveSettingsTitle,
                                                        texts::SettingsFileFilter,
                                                        {},
                                                        true,
                                                        texts::SettingsFileExtension});
    if (!path || path->empty()) {
        return ui::Outcome::Cancelled;
    }
    const std::string error =
        safety::writeBackupFile(*path, safety::takeBackup(app.mainDialog(), app.setupImage()));
    if (!error.empty()) {
        box(app, texts::CannotSaveSettings + *path + " " + error);
        return ui::Outcome::Failed;
    }
    return ui::Outcome::Done;
}

ui::Outcome loadSettingsFromFile(App& app) {
    if (!readFirst(app)) {
        return ui::Outcome::Refused;
    }
    const std::optional<std::string> path = app.host().chooseOpenFile(
        ui::FileDialogRequest{texts::LoadSettingsTitle, texts::SettingsFileFilter});
    if (!path || path->empty()) {
        return ui::Outcome::Cancelled;
    }
    return loadFile(app, *path);
}

ui::Outcome chooseBackup(App& app) {
    if (!readFirst(app)) {
        return ui::Outcome::Refused;
    }
    ui::SystemError error;
    std::vector<safety::BackupEntry> backups;
    if (const std::optional<std::filesystem::path> folder = app.writeGuard().backupFolder()) {
        backups = safety::BackupStore(*folder).list(error);
    }
    if (!error.empty()) {
        box(app, error.describe());
        return ui::Outcome::Failed;
    }
    if (backups.empty()) {
        box(app, texts::NoBackups);
        return ui::Outcome::Done;
    }
    ui::Dialog dialog(resources::backupsDialogTemplate());
    const std::filesystem::path* chosen = nullptr;
    const int ended = app.host().runModal(
        dialog, &app.mainDialog(),
        [&] {
            for (const safety::BackupEntry& entry : backups) {
                dialog.addItem(backups_ids::List, backupListText(entry));
            }
            dialog.setSelection(backups_ids::List, 0);
        },
        [&](ui::ControlId id) {
            if (id == ids::Ok) {
                const int selection = dialog.selection(backups_ids::List);
                if (selection >= 0 && static_cast<std::size_t>(selection) < backups.size()) {
                    chosen = &backups[static_cast<std::size_t>(selection)].path;
                }
                dialog.end(ids::Ok);
            } else if (id == ids::Cancel) {
                dialog.end(ids::Cancel);
            }
            return ui::Outcome::Done;
        });
    if (ended != ids::Ok || chosen == nullptr) {
        return ui::Outcome::Cancelled;
    }
    return loadFile(app, base::pathText(*chosen));
}

void announceUnfinishedUpdate(App& app) {
    const safety::UpdateRecordStore* records = app.updateRecords();
    if (records == nullptr) {
        return;
    }
    ui::SystemError error;
    const std::optional<safety::UnfinishedUpdate> record = records->findIncomplete(error);
    if (!record) {
        return;
    }
    const std::string file = base::pathText(record->file);
    const std::string told = texts::UnfinishedUpdate + file + "\n" + record->port + ", " +
                             safety::isoText(record->started);
    const safety::RecordedFileCheck check = safety::checkFile(*record);
    if (check.state != safety::RecordedFileState::ok) {
        box(app,
            told + "\n\n" +
                (check.state == safety::RecordedFileState::vanished ? texts::UpdateFileGone
                                                                    : texts::UpdateFileChanged) +
                file);
        return;
    }
    if (app.host().messageBox(&app.mainDialog(), told + texts::ResumeUpdateQuestion,
                              texts::BackupCaption, ui::Buttons::OkCancel) == ui::Answer::Ok) {
        app.updateState().resumeFilePath = base::pathText(record->copy);
    }
}

void offerAfterInterruptedWrite(App& app, ui::ControlId id, ui::Outcome outcome) {
    safety::WriteGuard& guard = app.writeGuard();
    if (!commandHas(id, WritesSettings) || outcome != ui::Outcome::Failed ||
        !guard.commandWrites().any || guard.dryRun()) {
        return;
    }
    const std::filesystem::path backup = guard.lastBackupPath();
    if (app.host().messageBox(&app.mainDialog(), texts::WriteInterrupted, texts::BackupCaption,
                              ui::Buttons::OkCancel) == ui::Answer::Ok) {
        offerAfterInterruptedWrite(app, id, app.dispatch(id));
        return;
    }
    if (!backup.empty() &&
        app.host().messageBox(&app.mainDialog(),
                              texts::RestoreBackupQuestion + base::pathText(backup),
                              texts::BackupCaption, ui::Buttons::OkCancel) == ui::Answer::Ok) {
        (void)loadFile(app, base::pathText(backup));
    }
}

}  // namespace shell
