// The main dialog's window: its widgets and menu bar bound to the application's model,
// every command dispatched through the shell.
#pragma once

#include <functional>

#include "gui/command_dialog.h"
#include "shell/app.h"

namespace gui {

class QtHost;

// What the Port menu shows beside an item (the system device behind a COM port).
using PortAnnotation = std::function<QString(ui::ControlId)>;

class MainWindow : public CommandDialog {
    Q_OBJECT

  public:
    MainWindow(shell::App& app, QtHost& host, const PortAnnotation& annotate = {});
    ~MainWindow() override;

    // The window, the boxes, the sub-dialogs and Qt's own texts follow the application's
    // language (after "Sprache / Language", and at start).
    void followLanguage();

  private:
    shell::App& m_app;
    QtHost& m_host;
};

}  // namespace gui
