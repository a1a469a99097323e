// The dialog's menu bar, built from its template; check marks and greying follow the
// model.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <map>

#include "resources/language.h"
#include "ui/dialog.h"

class QAction;
class QMenu;
class QMenuBar;

namespace gui {

// The property every menu action carries its command id in.
inline constexpr const char* menuIdProperty = "zekMenuId";

// A menu item shows a mark only while checked, as native menus do: a checkable action
// would show an empty box in some styles.
void showChecked(QAction* action, bool checked);

class MenuBinding : public QObject {
    Q_OBJECT

  public:
    // annotate(id) returns what to show beside an item's text (empty for nothing).
    MenuBinding(ui::Dialog& dialog, QMenuBar& bar,
                const std::function<QString(ui::ControlId)>& annotate = {},
                lang::Language language = lang::Language::German);

    // The action of command id, or nullptr.
    QAction* action(ui::ControlId id) const;
    // The pop-up at index (0 = the first pop-up of the bar), or nullptr.
    QMenu* popup(int index) const;
    // An item outside the template, appended to pop-up popupIndex after a separator. Its
    // text is German; it shows in the menu's language.
    QAction* addExtraItem(int popupIndex, ui::ControlId id, const QString& text);
    // The pop-ups and items show language from now on.
    void setLanguage(lang::Language language);

    void copyFromModel();
    // Asks the annotation again (devices come and go); done each time a pop-up opens.
    void refreshAnnotations();
    // The check mark of an item the model does not hold.
    void setExtraChecked(ui::ControlId id, bool checked);

  signals:
    void commandRequested(int id);

  private:
    QAction* bind(QAction* action, ui::ControlId id);

    ui::Dialog& m_dialog;
    std::map<ui::ControlId, QAction*> m_actions;
    std::map<ui::ControlId, QString> m_texts;       // template texts of annotated items
    std::map<ui::ControlId, QString> m_extraTexts;  // German texts of the extra items
    lang::Language m_language;
    std::function<QString(ui::ControlId)> m_annotate;
    std::vector<QMenu*> m_popups;
};

}  // namespace gui
