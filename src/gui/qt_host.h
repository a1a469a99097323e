// UiHost on Qt: message boxes, the beep, immediate repaint, modal sub-dialogs, the file
// dialog, the desktop's "open", a progress display and the stop request of long loops.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <map>

#include "resources/language.h"
#include "ui/ui_host.h"

class QProgressDialog;
class QWidget;

namespace gui {

class CommandDialog;

class QtHost final : public ui::UiHost {
  public:
    QtHost();
    ~QtHost() override;

    // The windows that show dialogs: owners of message boxes and what repaint paints.
    void registerDialog(CommandDialog& window);
    void unregisterDialog(CommandDialog& window);
    CommandDialog* window(const ui::Dialog* dialog) const;

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
    void keepAlive() override;

    // The language of boxes, sub-dialogs, the file dialog and the progress display.
    void setLanguage(lang::Language language) { m_language = language; }
    lang::Language language() const { return m_language; }

    // Every box shown, for tests that run without anyone to press OK: when set, boxes are
    // not shown but answered by this.
    std::function<ui::Answer(const ui::Dialog* owner, std::string_view text,
                             std::string_view caption, ui::Buttons buttons)>
        answerBoxes;
    // The same for the file dialog: when set, it answers instead of the dialog.
    std::function<std::optional<std::string>(const ui::FileDialogRequest& request)>
        answerFileDialogs;

  private:
    QWidget* ownerWidget(const ui::Dialog* owner) const;
    QWidget* anyWindow() const;

    std::map<const ui::Dialog*, CommandDialog*> m_windows;
    lang::Language m_language = lang::Language::German;
    QPointer<QProgressDialog> m_progress;
    QElapsedTimer m_sinceStopPoll;
    bool m_keepingAlive = false;
};

}  // namespace gui
