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
#include "cli/settings_backup.h"
#include "shell/app.h"

namespace cli {

class StepRunner {
  public:
    StepRunner(shell::App& app, ConsoleHost& host, const std::vector<Step>& steps,
               const std::vector<std::optional<SettingsBackup>>& backups,
               std::vector<ui::Change>& changes, std::ostream& out, bool json);

    // Runs every step, or up to the first that does not end Done.
    void runAll();
    // The worst outcome of the steps that ran.
    ui::Outcome outcome() const { return m_outcome; }
    // The reason the program itself refused a step (not a message box), if any.
    const std::string& refusal() const { return m_refusal; }

  private:
    using Command = std::function<ui::Outcome(ui::ControlId)>;

    // Runs steps on dialog until the steps end, one fails or the dialog closes.
    void runOn(ui::Dialog& dialog, bool isMain, const Command& command);
    ui::Outcome runStep(const Step& step, std::size_t index, ui::Dialog& dialog,
                        const Command& command);
    ui::Outcome click(const Step& step, ui::Dialog& dialog, const Command& command);
    ui::Outcome set(const Step& step, ui::Dialog& dialog);
    ui::Outcome saveSettings(const Step& step);
    ui::Outcome loadSettings(const Step& step, const SettingsBackup& backup);
    ui::Outcome refuse(const Step& step, const std::string& why);

    shell::App& m_app;
    ConsoleHost& m_host;
    const std::vector<Step>& m_steps;
    const std::vector<std::optional<SettingsBackup>>& m_backups;
    std::vector<ui::Change>& m_changes;
    std::ostream& m_out;
    bool m_json;
    std::size_t m_next = 0;
    ui::Outcome m_outcome = ui::Outcome::Done;
    std::string m_refusal;
};

}  // namespace cli
