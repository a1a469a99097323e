// One dialog on the screen, built by the dialog manager from its template, and the
// binding to its ui::Dialog: what the user typed, checked or selected goes into the model
// before every command, the model comes back to the controls on every repaint and when
// the command returns, and the dialog ends once the command ended the model's dialog.
// Esc and the close box send cancel (2); Enter sends the default button (else OK = 1).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "resources/language.h"
#include "ui/dialog.h"
#include "ui/outcome.h"
#include "win32/menu_bar.h"

namespace win32 {

class DialogWindow {
  public:
    using CommandHandler = std::function<ui::Outcome(ui::ControlId)>;

    // The window shows language; the model keeps the system's German texts.
    DialogWindow(ui::Dialog& dialog, CommandHandler handler,
                 lang::Language language = lang::Language::German);
    ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // Runs the dialog modally, owned by owner (or none); returns when the model's dialog
    // ended, with its result.
    int run(HWND owner);
    // The same dialog without a modal loop of its own (tests drive it message by message).
    HWND create(HWND owner);

    HWND hwnd() const { return m_hwnd; }
    ui::Dialog& dialog() { return m_dialog; }
    MenuBar* menu() { return m_menu.get(); }

    // The menu bar the window shows; set before it runs, or replaced while it shows.
    void setMenu(std::unique_ptr<MenuBar> menu);
    lang::Language language() const { return m_language; }
    // Title and control texts in language from now on (the layout stays the template's).
    void setLanguage(lang::Language language);
    // Runs once the controls exist, before the first copy of the model.
    void setOnInit(std::function<void()> onInit) { m_onInit = std::move(onInit); }
    // Runs after every copy of the model (for state the model lacks).
    void setAfterSync(std::function<void()> afterSync) { m_afterSync = std::move(afterSync); }
    // Runs when a pop-up of the menu bar is about to open.
    void setOnMenuPopup(std::function<void(HMENU)> onPopup) { m_onPopup = std::move(onPopup); }
    void setCommandHandler(CommandHandler handler) { m_handler = std::move(handler); }
    // The main dialog ends the program on OK: there Enter clicks only a focused button.
    void setEnterSendsCommands(bool enabled) { m_enterSendsCommands = enabled; }
    // The window's icon from the program's resources (resource id).
    void setIcon(int resourceId) { m_iconId = resourceId; }

    void copyToModel();
    void copyFromModel();
    void runCommand(ui::ControlId id);
    bool commandRunning() const { return m_running; }

  private:
    static INT_PTR CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    void initialise(HWND hwnd);
    void attachMenu();
    bool sendsCommand(ui::ControlId id, HWND control) const;
    void copyControlFromModel(ui::ControlId id, const ui::ControlState& state);
    // What the user left in a control as the model's text: the model's own where the
    // control still shows it in the window's language.
    std::string typedText(ui::ControlId id, const std::string& shown) const;

    ui::Dialog& m_dialog;
    CommandHandler m_handler;
    lang::Language m_language;
    std::vector<std::uint16_t> m_template;
    std::unique_ptr<MenuBar> m_menu;
    std::function<void()> m_onInit;
    std::function<void()> m_afterSync;
    std::function<void(HMENU)> m_onPopup;
    HWND m_hwnd = nullptr;
    bool m_modal = false;
    bool m_enterSendsCommands = true;
    bool m_running = false;
    int m_iconId = 0;
};

}  // namespace win32
