// The UiHost of the command line: message boxes become lines on standard error (the
// system error behind one on a line of its own), an
// OK/Cancel box is answered by --yes or by the user on a terminal, the file dialog
// answers the file of the running "update" step, and a modal sub-dialog runs on the
// steps that follow the one that opened it.
#pragma once

#include <functional>
#include <istream>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/json.h"
#include "resources/language.h"
#include "ui/ui_host.h"

namespace cli {

struct ConsoleMessage {
    std::string caption;  // as shown, in the chosen language
    std::string text;
    std::string captionName;  // the names of the German texts (lang::textName)
    std::string textName;
    std::string owner;    // "main", "none" or the owning sub-dialog's id
    std::string buttons;  // "ok" or "okcancel"
    std::string detail;   // the system error behind it; empty when there is none
    ui::Answer answer = ui::Answer::Ok;
};

struct ConsoleSettings {
    bool yes = false;          // answer OK/Cancel boxes with OK
    bool interactive = false;  // ask on the terminal; without it such boxes are cancelled
    bool progress = false;     // print the status field and transfer progress
    bool verbose = false;      // print every line of the verbose log
    lang::Language language = lang::Language::German;  // what boxes and dialogs show
};

class ConsoleHost final : public ui::UiHost {
  public:
    // Runs the steps meant for an open sub-dialog; command() sends it a command.
    using ModalDriver = std::function<void(ui::Dialog& dialog, const CommandFunction& command)>;

    ConsoleHost(std::ostream& errors, std::istream& input, ConsoleSettings settings);

    ui::Answer messageBox(const ui::Dialog* owner, std::string_view text, std::string_view caption,
                          ui::Buttons buttons) override;
    void beep() override { ++m_beeps; }
    void repaint(ui::Dialog& dialog) override;
    int runModal(ui::Dialog& dialog, const ui::Dialog* owner, const std::function<void()>& onInit,
                 const CommandFunction& onCommand) override;
    std::optional<std::string> chooseOpenFile(const ui::FileDialogRequest& request) override;
    void shellOpen(std::string_view target) override;
    void showProgress(int done, int total, int secondsLeft) override;
    void logEvent(std::string_view line) override;

    void setModalDriver(ModalDriver driver) { m_modalDriver = std::move(driver); }
    // Procedures' changes to sub-dialogs go here while they are open.
    void setChangeLog(std::vector<ui::Change>* log) { m_changeLog = log; }
    // The next file dialog answers this file; cancelled when there is none.
    void setPendingFile(std::optional<std::string> file) { m_pendingFile = std::move(file); }

    const std::vector<ConsoleMessage>& messages() const { return m_messages; }
    lang::Language language() const { return m_settings.language; }
    int beeps() const { return m_beeps; }
    // Each sub-dialog's controls as they were when it last closed, by dialog id.
    const std::map<int, json::Value>& closedDialogs() const { return m_closedDialogs; }

  private:
    ui::Answer ask();

    std::ostream& m_errors;
    std::istream& m_input;
    ConsoleSettings m_settings;
    ModalDriver m_modalDriver;
    std::vector<ui::Change>* m_changeLog = nullptr;
    std::optional<std::string> m_pendingFile;
    std::vector<ConsoleMessage> m_messages;
    int m_beeps = 0;
    std::map<int, json::Value> m_closedDialogs;
    std::string m_lastStatus;
    int m_lastProgressTenth = -1;
};

}  // namespace cli
