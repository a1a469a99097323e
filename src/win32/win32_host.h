// UiHost on Win32: message boxes (a task dialog where a system error stands behind the
// box, its detail expandable), the default beep, immediate repaint, modal sub-dialogs,
// the common file dialogs, the shell's "open", the update's progress and the stop request
// of long loops. While a command runs, painting and the system's own messages are
// serviced, user input is not.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "resources/language.h"
#include "ui/ui_host.h"

namespace win32 {

class DialogWindow;

class Win32Host final : public ui::UiHost {
  public:
    Win32Host() = default;
    ~Win32Host() override;

    // The windows that show dialogs: owners of boxes and what repaint paints.
    void registerWindow(DialogWindow& window);
    void unregisterWindow(DialogWindow& window);
    DialogWindow* window(const ui::Dialog* dialog) const;
    // The dialogs on the screen, the newest last.
    const std::vector<DialogWindow*>& windows() const { return m_windows; }
    // Whether hwnd is one of the dialogs' windows (or the progress window).
    bool ownsWindow(HWND hwnd) const;

    ui::Answer messageBox(const ui::Dialog* owner, std::string_view text, std::string_view caption,
                          ui::Buttons buttons) override;
    void beep() override;
    void repaint(ui::Dialog& dialog) override;
    int runModal(ui::Dialog& dialog, const ui::Dialog* owner, const std::function<void()>& onInit,
                 const CommandFunction& onCommand) override;
    std::optional<std::string> chooseOpenFile(const ui::FileDialogRequest& request) override;
    void shellOpen(std::string_view target) override;
    bool stopRequested(ui::Dialog& dialog) override;
    void showProgress(int done, int total, int secondsLeft) override;

    // Reached from a command's waits and line operations: its windows stay drawn and
    // answering (Windows marks a window that takes no messages for 5 s as not responding).
    void keepAlive() override;
    // Paint and the system's sent messages, no user input: what a busy command lets
    // through so that its windows stay drawn and answering.
    void serviceWindows();

    HWND progressWindow() const { return m_progress; }

    // The language of boxes, sub-dialogs, the file dialog and the progress display.
    void setLanguage(lang::Language language) { m_language = language; }
    lang::Language language() const { return m_language; }

    // Test seams: when set, they answer instead of the system's dialogs.
    std::function<std::optional<std::string>(const ui::FileDialogRequest& request)>
        answerFileDialogs;
    std::function<void(std::string_view target)> answerShellOpen;

  private:
    HWND ownerWindow(const ui::Dialog* owner) const;
    HWND activeWindow() const;

    std::vector<DialogWindow*> m_windows;  // in the order they opened
    HWND m_progress = nullptr;
    HWND m_progressBar = nullptr;
    ULONGLONG m_lastStopPoll = 0;
    LARGE_INTEGER m_lastKeepAlive{};
    bool m_servicing = false;
    lang::Language m_language = lang::Language::German;
};

}  // namespace win32
