// Works the steps on the running program: the main dialog's steps in order, and those
// of a sub-dialog while the host runs it modally.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/console_host.h"
#include "cli/json.h"
#include "safety/settings_backup.h"
#include "shell/app.h"

namespace cli {

// How the writes of the steps are guarded.
struct WriteSafety {
    bool dryRun = false;          // each write step says what it would change
    bool backupRequired = false;  // a write whose backup fails is refused
    std::ostream* err = nullptr;  // the hint after an interrupted write
};

class StepRunner {
  public:
    StepRunner(shell::App& app, ConsoleHost& host, const std::vector<Step>& steps,
               const std::vector<std::optional<safety::SettingsBackup>>& backups,
               std::vector<ui::Change>& changes, std::ostream& out, bool json,
               WriteSafety safety = {});

    // Runs every step, or up to the first that does not end Done.
    void runAll();
    // The worst outcome of the steps that ran.
    ui::Outcome outcome() const { return m_outcome; }
    // The reason the program itself refused a step (not a message box), if any.
    const std::string& refusal() const { return m_refusal; }
    // What the write steps of a dry run would change, and what diff-settings found.
    const json::Value& diffs() const { return m_diffs; }

  private:
    using Command = std::function<ui::Outcome(ui::ControlId)>;

    // Runs steps on dialog until the steps end, one fails or the dialog closes.
    void runOn(ui::Dialog& dialog, bool isMain, const Command& command);
    ui::Outcome runStep(const Step& step, std::size_t index, ui::Dialog& dialog,
                        const Command& command);
    ui::Outcome click(const Step& step, ui::Dialog& dialog, const Command& command);
    ui::Outcome set(const Step& step, ui::Dialog& dialog);
    ui::Outcome saveSettings(const Step& step);
    ui::Outcome loadSettings(const Step& step, const safety::SettingsBackup& backup);
    ui::Outcome diffSettings(const Step& step, const safety::SettingsBackup& backup);
    ui::Outcome update(const Step& step, ui::Dialog& dialog, const Command& command);
    ui::Outcome refuse(const Step& step, const std::string& why);
    // --backup-required: the backup is taken before a writing command starts.
    bool backupRefused(const Step& step, const ui::Dialog& dialog);
    void reportWrites(const Step& step, ui::Outcome outcome);

    shell::App& m_app;
    ConsoleHost& m_host;
    const std::vector<Step>& m_steps;
    const std::vector<std::optional<safety::SettingsBackup>>& m_backups;
    std::vector<ui::Change>& m_changes;
    std::ostream& m_out;
    bool m_json;
    WriteSafety m_safety;
    json::Value m_diffs = json::Value::array();
    std::size_t m_next = 0;
    ui::Outcome m_outcome = ui::Outcome::Done;
    std::string m_refusal;
};

}  // namespace cli
