#include "gui/menu_binding.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "gui/dialog_view.h"
#include "resources/translation.h"

namespace gui {

void showChecked(QAction* action, bool checked) {
    action->setCheckable(checked);
    action->setChecked(checked);
}

MenuBinding::MenuBinding(ui::Dialog& dialog, QMenuBar& bar,
                         const std::function<QString(ui::ControlId)>& annotate,
                         lang::Language language)
    : QObject(&bar), m_dialog(dialog), m_language(language), m_annotate(annotate) {
    QMenu* current = nullptr;
    for (const ui::MenuItemTemplate& item :
         lang::translatedTemplate(dialog.dialogTemplate(), language).menu) {
        QString text = qText(item.text);
        switch (item.kind) {
            case ui::MenuKind::Popup:
                current = bar.addMenu(text);
                m_popups.push_back(current);
                connect(current, &QMenu::aboutToShow, this, &MenuBinding::refreshAnnotations);
                break;
            case ui::MenuKind::Separator:
                if (current != nullptr) {
                    current->addSeparator();
                }
                break;
            case ui::MenuKind::Item: {
                QAction* action = item.level == 0 || current == nullptr ? bar.addAction(text)
                                                                        : current->addAction(text);
                bind(action, item.id);
                m_texts[item.id] = text;
                break;
            }
        }
        if (item.level == 0 && item.kind == ui::MenuKind::Item) {
            current = nullptr;
        }
    }
    refreshAnnotations();
    copyFromModel();
}

void MenuBinding::refreshAnnotations() {
    if (!m_annotate) {
        return;
    }
    for (const auto& [id, text] : m_texts) {
        const QString note = qText(lang::shownText(m_language, m_annotate(id).toStdString()));
        // After a tab the note stands apart, in the column of shortcuts.
        m_actions[id]->setText(note.isEmpty() ? text : text + QLatin1Char('\t') + note);
    }
}

QAction* MenuBinding::bind(QAction* action, ui::ControlId id) {
    action->setProperty(menuIdProperty, id);
    action->setObjectName(QStringLiteral("menu-%1").arg(id));
    m_actions[id] = action;
    connect(action, &QAction::triggered, this, [this, id] { emit commandRequested(id); });
    return action;
}

QAction* MenuBinding::action(ui::ControlId id) const {
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QMenu* MenuBinding::popup(int index) const {
    return index >= 0 && index < static_cast<int>(m_popups.size())
               ? m_popups[static_cast<std::size_t>(index)]
               : nullptr;
}

QAction* MenuBinding::addExtraItem(int popupIndex, ui::ControlId id, const QString& text) {
    QMenu* menu = popup(popupIndex);
    if (menu == nullptr) {
        return nullptr;
    }
    menu->addSeparator();
    m_extraTexts[id] = text;
    return bind(menu->addAction(qText(lang::shownText(m_language, text.toStdString()))), id);
}

void MenuBinding::setLanguage(lang::Language language) {
    m_language = language;
    std::size_t popupIndex = 0;
    for (const ui::MenuItemTemplate& item :
         lang::translatedTemplate(m_dialog.dialogTemplate(), language).menu) {
        if (item.kind == ui::MenuKind::Popup && popupIndex < m_popups.size()) {
            m_popups[popupIndex++]->setTitle(qText(item.text));
        } else if (item.kind == ui::MenuKind::Item && m_actions.count(item.id) != 0) {
            m_texts[item.id] = qText(item.text);
            m_actions[item.id]->setText(qText(item.text));
        }
    }
    for (const auto& [id, text] : m_extraTexts) {
        m_actions[id]->setText(qText(lang::shownText(language, text.toStdString())));
    }
    refreshAnnotations();
}

void MenuBinding::copyFromModel() {
    for (const auto& [id, state] : m_dialog.menuItems()) {
        if (QAction* item = action(id)) {
            item->setEnabled(state.enabled);
            showChecked(item, state.checked);
        }
    }
}

void MenuBinding::setExtraChecked(ui::ControlId id, bool checked) {
    if (QAction* item = action(id)) {
        showChecked(item, checked);
    }
}

}  // namespace gui
