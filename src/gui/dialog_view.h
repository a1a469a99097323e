// The widgets of one dialog, built from its template, and the binding to its ui::Dialog:
// copyToModel before a command runs, copyFromModel on every repaint and after it.
#pragma once

#include <QWidget>
#include <map>
#include <string_view>
#include <vector>

#include "gui/dialog_units.h"
#include "resources/language.h"
#include "ui/dialog.h"

class QButtonGroup;

namespace gui {

// The model's UTF-8 text as Qt's.
inline QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The property every control widget carries its id in.
inline constexpr const char* controlIdProperty = "zekControlId";
// The template's kind of the control (ui::Kind as int): a dialog may have several
// default push buttons, Qt marks only one.
inline constexpr const char* controlKindProperty = "zekControlKind";

class DialogView : public QWidget {
    Q_OBJECT

  public:
    DialogView(ui::Dialog& dialog, QWidget* parent = nullptr,
               lang::Language language = lang::Language::German);

    ui::Dialog& dialog() { return m_dialog; }
    const DialogUnits& units() const { return m_units; }
    // The widget of control id, or nullptr.
    QWidget* widget(ui::ControlId id) const;
    // Every widget in template order, those without id included.
    const std::vector<QWidget*>& widgets() const { return m_widgets; }

    // What the user typed, checked or selected goes into the model.
    void copyToModel();
    // The model goes to the widgets.
    void copyFromModel();
    // Shows every text again from the template and the model in language.
    void setLanguage(lang::Language language);
    lang::Language language() const { return m_language; }

  signals:
    void commandRequested(int id);

  private:
    QWidget* createControl(const ui::ControlTemplate& control);
    void copyControlFromModel(ui::ControlId id, const ui::ControlState& state, QWidget* widget);
    std::string typedText(ui::ControlId id, const QString& shown) const;

    ui::Dialog& m_dialog;
    lang::Language m_language;
    DialogUnits m_units;
    std::vector<QWidget*> m_widgets;
    std::map<ui::ControlId, QWidget*> m_byId;
    std::vector<QButtonGroup*> m_radioGroups;
    bool m_hasDefaultButton = false;
};

}  // namespace gui
