#include "gui/command_dialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/menu_binding.h"
#include "resources/main_dialog_ids.h"
#include "resources/translation.h"

namespace gui {

CommandDialog::CommandDialog(ui::Dialog& dialog, QWidget* parent, lang::Language language)
    : QDialog(parent) {
    m_view = new DialogView(dialog, this, language);
    showTitle();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view);
    // A modal frame: the window has the template's size and no other.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_view, &DialogView::commandRequested, this, &CommandDialog::runCommand);
}

MenuBinding& CommandDialog::addMenuBar(const std::function<QString(ui::ControlId)>& annotate) {
    if (m_menus == nullptr) {
        m_menuBar = new QMenuBar(this);
        layout()->setMenuBar(m_menuBar);
        m_menus = new MenuBinding(dialog(), *m_menuBar, annotate, m_view->language());
        connect(m_menus, &MenuBinding::commandRequested, this, &CommandDialog::runCommand);
    }
    return *m_menus;
}

void CommandDialog::syncFromModel() {
    m_view->copyFromModel();
    if (m_menus != nullptr) {
        m_menus->copyFromModel();
    }
    if (m_afterSync) {
        m_afterSync();
    }
}

void CommandDialog::showTitle() {
    const std::string_view title =
        lang::translatedTemplate(dialog().dialogTemplate(), m_view->language()).title;
    setWindowTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
}

void CommandDialog::setLanguage(lang::Language language) {
    m_view->setLanguage(language);
    showTitle();
    if (m_menus != nullptr) {
        m_menus->setLanguage(language);
    }
    syncFromModel();
}

void CommandDialog::runCommand(int id) {
    // Commands run one at a time; input that slips through while one runs is dropped.
    if (m_running || !m_handler || dialog().ended()) {
        return;
    }
    m_running = true;
    m_view->copyToModel();
    (void)m_handler(id);
    syncFromModel();
    m_running = false;
    if (dialog().ended()) {
        done(dialog().result());
    }
}

void CommandDialog::reject() {
    // Esc and the close button are the dialog's cancel command; its code decides whether
    // the dialog ends.
    runCommand(ids::Cancel);
}

void CommandDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget())) {
            focused->click();
            return;
        }
        if (!m_enterSendsCommands) {
            return;
        }
        for (QWidget* widget : m_view->widgets()) {
            auto* button = qobject_cast<QPushButton*>(widget);
            if (button != nullptr && button->isDefault() && button->isVisible() &&
                button->isEnabled()) {
                button->click();
                return;
            }
        }
        runCommand(ids::Ok);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CommandDialog::closeEvent(QCloseEvent* event) {
    if (dialog().ended()) {
        event->accept();
        return;
    }
    event->ignore();
    reject();
}

}  // namespace gui
