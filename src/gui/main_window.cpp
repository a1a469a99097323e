#include "gui/main_window.h"

#include "gui/app_icon.h"
#include "gui/menu_binding.h"
#include "gui/qt_host.h"
#include "gui/qt_translations.h"
#include "resources/port_menu_ids.h"
#include "resources/texts.h"
#include "shell/commands.h"

namespace gui {

MainWindow::MainWindow(shell::App& app, QtHost& host, const PortAnnotation& annotate)
    : CommandDialog(app.mainDialog(), nullptr, app.language()), m_app(app), m_host(host) {
    setWindowIcon(appIcon());
    MenuBinding& bar = addMenuBar(annotate);
    if (app.hasVirtualController()) {
        bar.addExtraItem(ids::PortPopupIndex, ids::VirtualControllerItem,
                         QString::fromUtf8(texts::VirtualController));
    }
    setAfterSync([this, &app] {
        if (MenuBinding* shown = menus()) {
            shown->setExtraChecked(ids::VirtualControllerItem, app.virtualControllerSelected());
        }
    });
    setCommandHandler([this, &app](ui::ControlId id) {
        const ui::Outcome outcome = app.dispatch(id);
        // A write cut off half-way is offered again, or the backup taken before it.
        shell::offerAfterInterruptedWrite(app, id, outcome);
        followLanguage();
        return outcome;
    });
    // Enter would send OK, which ends the program without saving the port.
    setEnterSendsCommands(false);
    host.registerDialog(*this);
    followLanguage();
    syncFromModel();
}

void MainWindow::followLanguage() {
    if (m_host.language() == m_app.language() && qtTranslationsLoaded()) {
        return;
    }
    m_host.setLanguage(m_app.language());
    useQtTranslations(m_app.language());
    setLanguage(m_app.language());
}

MainWindow::~MainWindow() {
    m_host.unregisterDialog(*this);
}

}  // namespace gui
