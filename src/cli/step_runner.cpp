#include "cli/step_runner.h"

#include "cli/dialog_view.h"
#include "cli/step_check.h"
#include "resources/main_dialog_ids.h"

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
    std::size_t at = rows.size();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].id == id) {
            at = i;
        }
    }
    if (at == rows.size()) {
        return;
    }
    std::size_t first = at;
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

}  // namespace

StepRunner::StepRunner(shell::App& app, ConsoleHost& host, const std::vector<Step>& steps,
                       const std::vector<std::optional<SettingsBackup>>& backups,
                       std::vector<ui::Change>& changes, std::ostream& out, bool json)
    : m_app(app),
      m_host(host),
      m_steps(steps),
      m_backups(backups),
      m_changes(changes),
      m_out(out),
      m_json(json) {
    m_host.setModalDriver(
        [this](ui::Dialog& dialog, const Command& command) { runOn(dialog, false, command); });
}

void StepRunner::runAll() {
    runOn(m_app.mainDialog(), true, [this](ui::ControlId id) { m_app.dispatch(id); });
}

void StepRunner::runOn(ui::Dialog& dialog, bool isMain, const Command& command) {
    while (m_next < m_steps.size() && !m_failed) {
        if (dialog.ended() || (isMain && m_app.ended())) {
            return;
        }
        const std::size_t index = m_next++;
        m_host.beginStep();
        runStep(m_steps[index], index, dialog, command);
        // A sub-dialog's step may already have failed the run; its own box counts too.
        if (m_host.errorShown() || m_host.cancelled()) {
            m_failed = true;
        }
    }
}

void StepRunner::runStep(const Step& step, std::size_t index, ui::Dialog& dialog,
                         const Command& command) {
    switch (step.kind) {
        case StepKind::Click:
            click(step, dialog, command);
            break;
        case StepKind::Set:
            set(step, dialog);
            break;
        case StepKind::Show:
            if (m_json) {
                break;  // standard output carries the one JSON report
            }
            m_out << showText(dialog);
            m_out.flush();
            break;
        case StepKind::Update:
            m_host.setPendingFile(step.file);
            click(step, dialog, command);
            m_host.setPendingFile(std::nullopt);
            break;
        case StepKind::SaveSettings:
            saveSettings(step);
            break;
        case StepKind::LoadSettings:
            if (index < m_backups.size() && m_backups[index]) {
                loadSettings(step, *m_backups[index]);
            }
            break;
    }
}

void StepRunner::click(const Step& step, ui::Dialog& dialog, const Command& command) {
    const ui::ControlId id = step.id;
    if (dialog.has(id)) {
        const ui::ControlState& state = dialog.control(id);
        if (!state.enabled) {
            refuse(step, "control " + std::to_string(id) + " is disabled");
            return;
        }
        // A check box or an auto radio button changes under the mouse before its command.
        UserChange byHand(dialog, m_changes);
        if (state.kind == ui::Kind::CheckBox) {
            dialog.setChecked(id, !state.checked);
        } else if (state.kind == ui::Kind::AutoRadioButton) {
            checkAutoRadio(dialog, id);
        }
    } else if (dialog.hasMenuItem(id) && !dialog.menuItem(id).enabled) {
        refuse(step, "menu item " + std::to_string(id) + " is greyed");
        return;
    }
    command(id);
}

void StepRunner::set(const Step& step, ui::Dialog& dialog) {
    const ui::ControlId id = step.id;
    if (std::string error = checkValue(dialog, id, step.value); !error.empty()) {
        refuse(step, error);
        return;
    }
    const ui::ControlState& state = dialog.control(id);
    if (!state.enabled) {
        refuse(step, "control " + std::to_string(id) + " is disabled");
        return;
    }
    UserChange byHand(dialog, m_changes);
    switch (state.kind) {
        case ui::Kind::Edit:
            dialog.setText(id, step.value);
            break;
        case ui::Kind::ComboBox:
            dialog.setSelection(id, std::stoi(step.value));
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
}

void StepRunner::saveSettings(const Step& step) {
    const settings::SetupImage& image = m_app.setupImage();
    if (!image.valuesRead()) {
        refuse(step, "no settings have been read");
        return;
    }
    const std::string error = writeBackupFile(step.file, takeBackup(m_app.mainDialog(), image));
    if (!error.empty()) {
        refuse(step, step.file + " " + error);
    }
}

void StepRunner::loadSettings(const Step& step, const SettingsBackup& backup) {
    settings::SetupImage& image = m_app.setupImage();
    if (!image.valuesRead()) {
        refuse(step, "read the controller's settings first");
        return;
    }
    const int family = versionFamilyNumber(image);
    if (backup.family != family) {
        refuse(step, step.file + " was saved from a family-" + std::to_string(backup.family) +
                         " controller (" + backup.versionText + "); this one is family " +
                         std::to_string(family));
        return;
    }
    UserChange byHand(m_app.mainDialog(), m_changes);
    applyBackup(backup, m_app.mainDialog(), image);
}

void StepRunner::refuse(const Step& step, const std::string& why) {
    m_refusal = step.word + ": " + why;
    m_failed = true;
}

}  // namespace cli
