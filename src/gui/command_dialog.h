// A top-level window around a DialogView that turns every user action into a command of
// its dialog and runs it with the binding: what the user entered goes into the model
// first, the model comes back to the widgets afterwards, and the window closes once the
// command ended the dialog. Enter clicks the default button (else sends OK = 1), Esc and
// the close button send cancel (2).
#pragma once

#include <QDialog>
#include <functional>

#include "gui/dialog_view.h"
#include "ui/outcome.h"

class QMenuBar;

namespace gui {

class MenuBinding;

class CommandDialog : public QDialog {
    Q_OBJECT

  public:
    using CommandHandler = std::function<ui::Outcome(ui::ControlId)>;

    CommandDialog(ui::Dialog& dialog, QWidget* parent,
                  lang::Language language = lang::Language::German);

    DialogView& view() { return *m_view; }
    ui::Dialog& dialog() { return m_view->dialog(); }
    // The menu bar of the template; nullptr when it has none.
    MenuBinding* menus() { return m_menus; }
    QMenuBar* menuBar() { return m_menuBar; }

    void setCommandHandler(CommandHandler handler) { m_handler = std::move(handler); }
    // Runs after every copy of the model to the screen (for state the model lacks).
    void setAfterSync(std::function<void()> afterSync) { m_afterSync = std::move(afterSync); }
    // The main dialog ends the program on OK: there Enter clicks only a focused button.
    void setEnterSendsCommands(bool enabled) { m_enterSendsCommands = enabled; }
    // Builds the template's menu bar, annotate(id) giving what to show beside an item.
    MenuBinding& addMenuBar(const std::function<QString(ui::ControlId)>& annotate = {});

    // Copies the model to the widgets and the menu.
    void syncFromModel();
    // Title, controls and menu show language from now on.
    void setLanguage(lang::Language language);

  public slots:
    void runCommand(int id);
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void showTitle();

    DialogView* m_view;
    QMenuBar* m_menuBar = nullptr;
    MenuBinding* m_menus = nullptr;
    CommandHandler m_handler;
    std::function<void()> m_afterSync;
    bool m_enterSendsCommands = true;
    bool m_running = false;
};

}  // namespace gui
