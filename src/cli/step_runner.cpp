#include "cli/step_runner.h"

#include "resources/translation.h"

#include <algorithm>
#include <iterator>

#include "base/safe_file.h"
#include "cli/dialog_view.h"
#include "cli/step_check.h"
#include "resources/lock_functions_dialog.h"
#include "resources/main_dialog_ids.h"
#include "resources/rpm_control_dialog.h"
#include "shell/dispatch.h"

namespace cli {
namespace {

// What the user changes by hand is not a procedure's change: the log pauses meanwhile.
class UserChange {
  public:
    UserChange(ui::Dialog& dialog, std::vector<ui::Change>& log) : m_dialog(dialog), m_log(log) {
        m_dialog.setChangeLog(nullptr);
    }
    ~UserChange() { m_dialog.setChangeLog(&m_log); }
    UserChange(const UserChange&) = delete;
    UserChange& operator=(const UserChange&) = delete;

  private:
    ui::Dialog& m_dialog;
    std::vector<ui::Change>& m_log;
};

// Checks an auto radio button and unchecks the others of its run in the template.
void checkAutoRadio(ui::Dialog& dialog, ui::ControlId id) {
    const auto& rows = dialog.dialogTemplate().controls;
    const auto last = std::ranges::find(rows.rbegin(), rows.rend(), id, &ui::ControlTemplate::id);
    if (last == rows.rend()) {
        return;
    }
    std::size_t first = static_cast<std::size_t>(rows.rend() - last) - 1;
    while (first > 0 && rows[first - 1].kind == ui::Kind::AutoRadioButton &&
           (rows[first].flags & ui::groupStart) == 0) {
        --first;
    }
    for (std::size_t i = first; i < rows.size() && rows[i].kind == ui::Kind::AutoRadioButton; ++i) {
        if (i > first && (rows[i].flags & ui::groupStart) != 0) {
            break;
        }
        if (rows[i].id != ui::noId) {
            dialog.setChecked(rows[i].id, rows[i].id == id);
        }
    }
}

// The step's entry of the --json report, with its field changes.
json::Value changesEntry(const Step& step, const std::vector<safety::FieldChange>& changes) {
    json::Value entry = {{"step", step.word}};
    json::Value& fields = entry["fields"] = json::Value::array();
    for (const safety::FieldChange& change : changes) {
        fields.push_back({{"label", change.label}, {"old", change.before}, {"new", change.after}});
    }
    return entry;
}

void printChanges(std::ostream& out, lang::Language language,
                  const std::vector<safety::FieldChange>& changes) {
    for (const safety::FieldChange& change : changes) {
        out << "  " << json::toUtf8(lang::shownText(language, safety::describeChange(change)))
            << '\n';
    }
}

}  // namespace

StepRunner::StepRunner(shell::App& app, ConsoleHost& host, const std::vector<Step>& steps,
                       const std::vector<std::optional<safety::SettingsBackup>>& backups,
                       std::vector<ui::Change>& changes, std::ostream& out, bool json,
                       WriteSafety safety)
    : m_app(app),
      m_host(host),
      m_steps(steps),
      m_backups(backups),
      m_changes(changes),
      m_out(out),
      m_json(json),
      m_safety(safety) {
    m_host.setModalDriver(
        [this](ui::Dialog& dialog, const Command& command) { runOn(dialog, false, command); });
}

void StepRunner::runAll() {
    runOn(m_app.mainDialog(), true, [this](ui::ControlId id) { return m_app.dispatch(id); });
}

void StepRunner::runOn(ui::Dialog& dialog, bool isMain, const Command& command) {
    // A sub-dialog's step that does not end Done ends the steps of its opener too.
    while (m_next < m_steps.size() && m_outcome == ui::Outcome::Done) {
        if (dialog.ended() || (isMain && m_app.ended())) {
            return;
        }
        const std::size_t index = m_next++;
        m_outcome = ui::worseOutcome(m_outcome, runStep(m_steps[index], index, dialog, command));
    }
}

ui::Outcome StepRunner::runStep(const Step& step, std::size_t index, ui::Dialog& dialog,
                                const Command& command) {
    switch (step.kind) {
        case StepKind::Click:
            return click(step, dialog, command);
        case StepKind::Set:
            return set(step, dialog);
        case StepKind::Show:
            if (!m_json) {  // with --json, standard output carries the one report
                m_out << showText(dialog, m_host.language());
                m_out.flush();
            }
            return ui::Outcome::Done;
        case StepKind::Update:
            return update(step, dialog, command);
        case StepKind::SaveSettings:
            return saveSettings(step);
        case StepKind::LoadSettings:
        case StepKind::DiffSettings:
            // The check before the run read every backup a step names.
            if (index >= m_backups.size() || !m_backups[index]) {
                return ui::Outcome::Done;
            }
            return step.kind == StepKind::LoadSettings ? loadSettings(step, *m_backups[index])
                                                       : diffSettings(step, *m_backups[index]);
    }
    return ui::Outcome::Done;
}

ui::Outcome StepRunner::click(const Step& step, ui::Dialog& dialog, const Command& command) {
    const ui::ControlId id = step.id;
    if (dialog.has(id)) {
        const ui::ControlState& state = dialog.control(id);
        if (!state.enabled) {
            return refuse(step, "control " + std::to_string(id) + " is disabled");
        }
        // A check box or an auto radio button changes under the mouse before its command.
        UserChange byHand(dialog, m_changes);
        if (state.kind == ui::Kind::CheckBox) {
            dialog.setChecked(id, !state.checked);
        } else if (state.kind == ui::Kind::AutoRadioButton) {
            checkAutoRadio(dialog, id);
        }
    } else if (dialog.hasMenuItem(id) && !dialog.menuItem(id).enabled) {
        return refuse(step, "menu item " + std::to_string(id) + " is greyed");
    }
    if (backupRefused(step, dialog)) {
        return ui::Outcome::Refused;
    }
    safety::WriteGuard& guard = m_app.writeGuard();
    const bool main = dialog.id() == ids::MainDialog;
    guard.beginCommand(main && shell::commandHas(id, shell::WritesSettings));
    const std::size_t boxesBefore = m_host.messages().size();
    const ui::Outcome outcome = command(id);
    reportWrites(step, outcome);
    // The processor's details and the calibration are results the user asked for: their
    // boxes go to standard output too (with --json the report holds them).
    const bool result = main && shell::commandHas(id, shell::ShowsResult);
    if (result && outcome == ui::Outcome::Done && !m_json) {
        for (std::size_t i = boxesBefore; i < m_host.messages().size(); ++i) {
            m_out << json::toUtf8(m_host.messages()[i].text) << '\n';
        }
        m_out.flush();
    }
    // A sub-dialog's write is told once, not again by the command that opened it.
    guard.beginCommand();
    return outcome;
}

bool StepRunner::backupRefused(const Step& step, const ui::Dialog& dialog) {
    if (!m_safety.backupRequired || m_safety.dryRun) {
        return false;
    }
    const ui::ControlId id = step.id;
    const bool writes = dialog.id() == ids::MainDialog
                            ? shell::commandHas(id, shell::WritesController)
                            : (dialog.id() == resources::lockFunctionsDialogTemplate().id &&
                               id == lock_ids::WriteButton) ||
                                  (dialog.id() == resources::rpmControlDialogTemplate().id &&
                                   id == rpm_ids::WriteButton);
    if (!writes) {
        return false;
    }
    safety::WriteGuard& guard = m_app.writeGuard();
    if (!guard.lastRead()) {
        (void)refuse(step,
                     "--backup-required: no settings have been read, so there is "
                     "nothing to back up (read first)");
        return true;
    }
    const safety::BackupAttempt attempt = guard.ensureBackup();
    if (!attempt.taken) {
        (void)refuse(
            step, "--backup-required: the backup failed (" +
                      (attempt.failure.empty() ? std::string("no data folder") : attempt.failure) +
                      "), so nothing was written");
        return true;
    }
    return false;
}

void StepRunner::reportWrites(const Step& step, ui::Outcome outcome) {
    const safety::WriteGuard& guard = m_app.writeGuard();
    const safety::CommandWrites& writes = guard.commandWrites();
    if (!writes.any) {
        return;
    }
    if (!guard.dryRun()) {
        // A write that stopped half-way: the controller holds part of the new settings.
        if (outcome == ui::Outcome::Failed && m_safety.err != nullptr) {
            *m_safety.err << "zek-cli: " << step.word
                          << " was interrupted: run it again once the controller answers";
            if (!guard.lastBackupPath().empty()) {
                *m_safety.err << ", or restore the settings from before it with load-settings "
                              << base::pathText(guard.lastBackupPath()) << " and a write";
            }
            *m_safety.err << '\n';
        }
        return;
    }
    const std::vector<safety::SetupByteWrite> bytes = writes.changedBytes();
    json::Value entry = changesEntry(step, writes.fields);
    json::Value& setupBytes = entry["setupBytes"] = json::Value::array();
    for (const safety::SetupByteWrite& byte : bytes) {
        setupBytes.push_back(
            {{"address", byte.address}, {"old", byte.before}, {"new", byte.after}});
    }
    if (writes.flashBytes > 0) {
        entry["flash"] = {{"bytes", writes.flashBytes}, {"pages", writes.flashPages}};
    }
    m_diffs.push_back(std::move(entry));
    if (m_json) {
        return;
    }
    m_out << "dry run: " << step.word << " would change"
          << (writes.fields.empty() && bytes.empty() && writes.flashBytes == 0 ? " nothing" : "")
          << '\n';
    printChanges(m_out, m_host.language(), writes.fields);
    for (const safety::SetupByteWrite& byte : bytes) {
        m_out << "  setup byte " << byte.address << ": " << byte.before << " → " << byte.after
              << '\n';
    }
    if (writes.flashBytes > 0) {
        m_out << "  flash: " << writes.flashBytes << " bytes in " << writes.flashPages
              << " pages\n";
    }
    m_out.flush();
}

ui::Outcome StepRunner::update(const Step& step, ui::Dialog& dialog, const Command& command) {
    std::string file = step.file;
    if (step.resume) {
        const safety::UpdateRecordStore* records = m_app.updateRecords();
        ui::SystemError error;
        const std::optional<safety::UnfinishedUpdate> record =
            records != nullptr ? records->findIncomplete(error) : std::nullopt;
        if (!record) {
            return refuse(step, error.empty()
                                    ? "no unfinished update is recorded"
                                    : "the update record is unusable: " + error.describe());
        }
        const safety::RecordedFileCheck check = safety::checkFile(*record);
        const std::string name = base::pathText(record->file);
        switch (check.state) {
            case safety::RecordedFileState::ok:
                break;
            case safety::RecordedFileState::vanished:
                return refuse(step, name + ", which the unfinished update used, is gone");
            case safety::RecordedFileState::changed:
                return refuse(step, "the copy of " + name +
                                        " that the unfinished update kept is not a plain file; "
                                        "choose the file with update FILE");
            case safety::RecordedFileState::unreadable:
                return refuse(step, name + " cannot be read: " + check.error.describe());
        }
        file = base::pathText(record->copy);
    }
    m_host.setPendingFile(file);
    const ui::Outcome outcome = click(step, dialog, command);
    m_host.setPendingFile(std::nullopt);
    return outcome;
}

ui::Outcome StepRunner::set(const Step& step, ui::Dialog& dialog) {
    const ui::ControlId id = step.id;
    if (std::string error = checkValue(dialog, id, step.value); !error.empty()) {
        return refuse(step, error);
    }
    const ui::ControlState& state = dialog.control(id);
    if (!state.enabled) {
        return refuse(step, "control " + std::to_string(id) + " is disabled");
    }
    UserChange byHand(dialog, m_changes);
    switch (state.kind) {
        case ui::Kind::Edit:
            dialog.setText(id, step.value);
            break;
        case ui::Kind::ComboBox:
            dialog.setSelection(id, *listIndex(state, step.value));
            break;
        case ui::Kind::AutoRadioButton:
            if (step.value == "1") {
                checkAutoRadio(dialog, id);
            } else {
                dialog.setChecked(id, false);
            }
            break;
        default:
            dialog.setChecked(id, step.value == "1");
            break;
    }
    return ui::Outcome::Done;
}

ui::Outcome StepRunner::saveSettings(const Step& step) {
    const settings::SetupImage& image = m_app.setupImage();
    if (!image.valuesRead()) {
        return refuse(step, "no settings have been read");
    }
    const std::string error =
        safety::writeBackupFile(step.file, safety::takeBackup(m_app.mainDialog(), image));
    // A file that cannot be written fails the step; the controller was never asked.
    if (!error.empty()) {
        (void)refuse(step, step.file + " " + error);
        return ui::Outcome::Failed;
    }
    return ui::Outcome::Done;
}

ui::Outcome StepRunner::loadSettings(const Step& step, const safety::SettingsBackup& backup) {
    settings::SetupImage& image = m_app.setupImage();
    if (!image.valuesRead()) {
        return refuse(step, "read the controller's settings first");
    }
    const int family = safety::versionFamilyNumber(image);
    if (backup.family != family) {
        return refuse(step, step.file + " was saved from a family-" +
                                std::to_string(backup.family) + " controller (" +
                                backup.versionText + "); this one is family " +
                                std::to_string(family));
    }
    UserChange byHand(m_app.mainDialog(), m_changes);
    safety::applyBackup(backup, m_app.mainDialog(), image);
    return ui::Outcome::Done;
}

ui::Outcome StepRunner::diffSettings(const Step& step, const safety::SettingsBackup& backup) {
    const std::optional<safety::SettingsBackup>& controller = m_app.writeGuard().lastRead();
    if (!m_app.setupImage().valuesRead() || !controller) {
        return refuse(step, "read the controller's settings first");
    }
    std::vector<safety::FieldChange> changes = safety::diffSettings(*controller, backup);
    if (controller->family != backup.family) {
        changes.insert(changes.begin(), {"family", std::to_string(controller->family),
                                         std::to_string(backup.family)});
    }
    m_diffs.push_back(changesEntry(step, changes));
    if (!m_json) {
        m_out << step.word << ": "
              << (changes.empty() ? "no differences" : "the controller → the file") << '\n';
        printChanges(m_out, m_host.language(), changes);
        m_out.flush();
    }
    return ui::Outcome::Done;
}

ui::Outcome StepRunner::refuse(const Step& step, const std::string& why) {
    m_refusal = step.word + ": " + why;
    return ui::Outcome::Refused;
}

}  // namespace cli
