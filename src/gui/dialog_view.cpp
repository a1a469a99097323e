#include "gui/dialog_view.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

#include "resources/translation.h"

namespace gui {
namespace {

bool isButton(ui::Kind kind) {
    return kind == ui::Kind::PushButton || kind == ui::Kind::DefPushButton ||
           kind == ui::Kind::CheckBox || kind == ui::Kind::RadioButton ||
           kind == ui::Kind::AutoRadioButton;
}

}  // namespace

DialogView::DialogView(ui::Dialog& dialog, QWidget* parent, lang::Language language)
    : QWidget(parent), m_dialog(dialog), m_language(language) {
    const ui::DialogTemplate& dialogTemplate =
        lang::translatedTemplate(dialog.dialogTemplate(), language);
    setFont(dialogFont(dialogTemplate));
    m_units = DialogUnits::fromFont(font());
    setFixedSize(m_units.x(dialogTemplate.width), m_units.y(dialogTemplate.height));

    QButtonGroup* radioGroup = nullptr;
    for (const ui::ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = createControl(control);
        widget->setProperty(controlIdProperty, control.id);
        widget->setProperty(controlKindProperty, static_cast<int>(control.kind));
        if (control.id != ui::noId) {
            widget->setObjectName(QStringLiteral("control-%1").arg(control.id));
            m_byId[control.id] = widget;
        }
        m_widgets.push_back(widget);

        // Auto radio buttons switch among the run they stand in; a group start begins a
        // new run. The other radio buttons are switched by the dialog's own code.
        if (control.kind == ui::Kind::AutoRadioButton) {
            if (radioGroup == nullptr || (control.flags & ui::groupStart) != 0) {
                radioGroup = new QButtonGroup(this);
                m_radioGroups.push_back(radioGroup);
            }
            radioGroup->addButton(static_cast<QAbstractButton*>(widget));
        } else {
            radioGroup = nullptr;
        }
        if (isButton(control.kind)) {
            const ui::ControlId id = control.id;
            connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, this,
                    [this, id] { emit commandRequested(id); });
        }
    }
    // Group boxes are frames behind the controls they surround, not above them.
    for (QWidget* widget : m_widgets) {
        if (qobject_cast<QGroupBox*>(widget) != nullptr) {
            widget->lower();
        }
    }
    for (std::size_t i = 1; i < m_widgets.size(); ++i) {
        QWidget::setTabOrder(m_widgets[i - 1], m_widgets[i]);
    }
    copyFromModel();
}

QWidget* DialogView::createControl(const ui::ControlTemplate& control) {
    const QString text = qText(control.text);
    QWidget* widget = nullptr;
    QRect geometry = m_units.rect(control.rect);
    switch (control.kind) {
        case ui::Kind::PushButton:
        case ui::Kind::DefPushButton: {
            auto* button = new QPushButton(text, this);
            button->setAutoDefault(false);
            // The first default push button takes Enter, as one of several must.
            if (control.kind == ui::Kind::DefPushButton && !m_hasDefaultButton) {
                button->setDefault(true);
                m_hasDefaultButton = true;
            }
            widget = button;
            break;
        }
        case ui::Kind::Edit: {
            auto* edit = new QLineEdit(this);
            edit->setReadOnly((control.flags & ui::readOnly) != 0);
            if ((control.flags & ui::digitsOnly) != 0) {
                edit->setValidator(
                    new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
            }
            widget = edit;
            break;
        }
        case ui::Kind::Label: {
            auto* label = new QLabel(text, this);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            widget = label;
            break;
        }
        case ui::Kind::GroupBox: {
            auto* box = new QGroupBox(text, this);
            box->setAttribute(Qt::WA_TransparentForMouseEvents);
            box->setFocusPolicy(Qt::NoFocus);
            widget = box;
            break;
        }
        case ui::Kind::CheckBox:
            widget = new QCheckBox(text, this);
            break;
        case ui::Kind::RadioButton:
        case ui::Kind::AutoRadioButton: {
            auto* radio = new QRadioButton(text, this);
            // Exclusivity comes from the button groups, never from being siblings.
            radio->setAutoExclusive(false);
            widget = radio;
            break;
        }
        case ui::Kind::ComboBox: {
            auto* combo = new QComboBox(this);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            // The template's height is that of the dropped-down list.
            const int listRows = (control.rect.height - editHeightDu) / 8;
            combo->setMaxVisibleItems(qMax(1, listRows));
            geometry.setHeight(m_units.y(editHeightDu));
            widget = combo;
            break;
        }
    }
    widget->setGeometry(geometry);
    return widget;
}

QWidget* DialogView::widget(ui::ControlId id) const {
    auto it = m_byId.find(id);
    return it == m_byId.end() ? nullptr : it->second;
}

void DialogView::copyToModel() {
    for (const auto& [id, widget] : m_byId) {
        if (!m_dialog.has(id)) {
            continue;
        }
        switch (m_dialog.control(id).kind) {
            case ui::Kind::Edit:
                m_dialog.setText(id, typedText(id, static_cast<QLineEdit*>(widget)->text()));
                break;
            case ui::Kind::CheckBox:
            case ui::Kind::AutoRadioButton:
                m_dialog.setChecked(id, static_cast<QAbstractButton*>(widget)->isChecked());
                break;
            case ui::Kind::ComboBox: {
                auto* combo = static_cast<QComboBox*>(widget);
                const std::vector<std::string>& items = m_dialog.items(id);
                const auto index = static_cast<std::size_t>(combo->currentIndex());
                // A list item shown in another language is the model's own item.
                if (combo->currentIndex() >= 0 && index < items.size() &&
                    combo->currentText() == qText(lang::shownText(m_language, items[index]))) {
                    m_dialog.setText(id, items[index]);
                } else {
                    m_dialog.setText(id, typedText(id, combo->currentText()));
                }
                break;
            }
            default:
                // Plain radio buttons show what the dialog's code decided; a click only
                // sends their command.
                break;
        }
    }
}

std::string DialogView::typedText(ui::ControlId id, const QString& shown) const {
    // What the model showed untouched stays the model's text, whatever language shows it.
    const std::string& model = m_dialog.text(id);
    if (shown == qText(lang::shownControlText(m_language, m_dialog.dialogTemplate(), id, model))) {
        return model;
    }
    return shown.toStdString();
}

void DialogView::setLanguage(lang::Language language) {
    m_language = language;
    const ui::DialogTemplate& shown = lang::translatedTemplate(m_dialog.dialogTemplate(), language);
    for (std::size_t i = 0; i < m_widgets.size() && i < shown.controls.size(); ++i) {
        const QString text = qText(shown.controls[i].text);
        if (auto* label = qobject_cast<QLabel*>(m_widgets[i])) {
            label->setText(text);
        } else if (auto* box = qobject_cast<QGroupBox*>(m_widgets[i])) {
            box->setTitle(text);
        } else if (auto* button = qobject_cast<QAbstractButton*>(m_widgets[i])) {
            button->setText(text);
        }
    }
    copyFromModel();
}

void DialogView::copyFromModel() {
    // A checked member of an exclusive group cannot be unchecked; the model may want all
    // of them clear.
    for (QButtonGroup* group : m_radioGroups) {
        group->setExclusive(false);
    }
    for (const auto& [id, widget] : m_byId) {
        if (m_dialog.has(id)) {
            copyControlFromModel(id, m_dialog.control(id), widget);
        }
    }
    for (QButtonGroup* group : m_radioGroups) {
        group->setExclusive(true);
    }
}

void DialogView::copyControlFromModel(ui::ControlId id, const ui::ControlState& state,
                                      QWidget* widget) {
    const QSignalBlocker blocker(widget);
    if (widget->isEnabled() != state.enabled) {
        widget->setEnabled(state.enabled);
    }
    if (widget->isVisibleTo(this) != state.visible) {
        widget->setVisible(state.visible);
    }
    const QString text =
        qText(lang::shownControlText(m_language, m_dialog.dialogTemplate(), id, state.text));
    switch (state.kind) {
        case ui::Kind::Edit: {
            auto* edit = static_cast<QLineEdit*>(widget);
            if (edit->text() != text) {
                edit->setText(text);
            }
            break;
        }
        case ui::Kind::Label:
            if (static_cast<QLabel*>(widget)->text() != text) {
                static_cast<QLabel*>(widget)->setText(text);
            }
            break;
        case ui::Kind::GroupBox:
            static_cast<QGroupBox*>(widget)->setTitle(text);
            break;
        case ui::Kind::PushButton:
        case ui::Kind::DefPushButton:
        case ui::Kind::CheckBox:
        case ui::Kind::RadioButton:
        case ui::Kind::AutoRadioButton: {
            auto* button = static_cast<QAbstractButton*>(widget);
            button->setText(text);
            button->setChecked(state.checked);  // nothing for a push button: not checkable
            break;
        }
        case ui::Kind::ComboBox: {
            auto* combo = static_cast<QComboBox*>(widget);
            bool sameItems = combo->count() == static_cast<int>(state.items.size());
            for (int i = 0; sameItems && i < combo->count(); ++i) {
                sameItems =
                    combo->itemText(i) ==
                    qText(lang::shownText(m_language, state.items[static_cast<std::size_t>(i)]));
            }
            if (!sameItems) {
                combo->clear();
                for (const std::string& item : state.items) {
                    combo->addItem(qText(lang::shownText(m_language, item)));
                }
            }
            combo->setCurrentIndex(state.selection);
            if (combo->currentText() != text) {
                combo->setEditText(text);
            }
            break;
        }
    }
}

}  // namespace gui
