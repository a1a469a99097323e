// Every dialog's widgets against its template: kinds, texts, states and geometry; the
// main dialog's menu.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QStyle>
#include <map>

#include "gui/dialog_units.h"
#include "gui/gui_rig.h"
#include "resources/backups_dialog.h"
#include "resources/lock_functions_dialog.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "resources/rev_counter_dialog.h"
#include "resources/rpm_control_dialog.h"
#include "resources/translation.h"

namespace gui::testing {
namespace {

// The text a widget shows, whatever its class calls it.
QString widgetText(const QWidget* widget) {
    for (const char* name : {"text", "title", "currentText"}) {
        if (const QVariant text = widget->property(name); text.isValid()) {
            return text.toString();
        }
    }
    return {};
}

const std::map<ui::Kind, const char*> widgetClasses{
    {ui::Kind::PushButton, "QPushButton"},   {ui::Kind::DefPushButton, "QPushButton"},
    {ui::Kind::Edit, "QLineEdit"},           {ui::Kind::Label, "QLabel"},
    {ui::Kind::GroupBox, "QGroupBox"},       {ui::Kind::CheckBox, "QCheckBox"},
    {ui::Kind::RadioButton, "QRadioButton"}, {ui::Kind::AutoRadioButton, "QRadioButton"},
    {ui::Kind::ComboBox, "QComboBox"}};

// The width a text needs in a control of kind, measured as the host draws it: the
// dialog font at the template's size, plus what the style puts beside the text.
int neededWidth(ui::Kind kind, std::string_view text, const QFont& font, const DialogUnits& units) {
    const QStyle* style = application().style();
    const bool check = kind == ui::Kind::CheckBox || kind == ui::Kind::RadioButton ||
                       kind == ui::Kind::AutoRadioButton;
    const bool push = kind == ui::Kind::PushButton || kind == ui::Kind::DefPushButton;
    return QFontMetrics(font).horizontalAdvance(qText(text)) +
           (check ? style->pixelMetric(QStyle::PM_IndicatorWidth) +
                        style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing)
            : push ? 2 * style->pixelMetric(QStyle::PM_ButtonMargin)
            // A group box's title stands inset in the frame.
            : kind == ui::Kind::GroupBox ? units.x(8)
                                         : 0);
}

// The view of german shown in language. disabledId: a control that dialog initialisation
// disables beyond the template's flags.
void expectWidgets(DialogView& view, const ui::DialogTemplate& german,
                   lang::Language language = lang::Language::German, ui::ControlId disabledId = 0) {
    const ui::DialogTemplate& dialogTemplate = lang::translatedTemplate(german, language);
    const DialogUnits units = DialogUnits::fromFont(view.font());
    ASSERT_GT(units.baseWidth, 0);
    EXPECT_EQ(view.size(), QSize(units.x(dialogTemplate.width), units.y(dialogTemplate.height)));
    ASSERT_EQ(view.widgets().size(), dialogTemplate.controls.size());
    for (std::size_t i = 0; i < dialogTemplate.controls.size(); ++i) {
        const ui::ControlTemplate& control = dialogTemplate.controls[i];
        QWidget* widget = view.widgets()[i];
        SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(control.id));
        EXPECT_EQ(widget->property(controlIdProperty).toInt(), control.id);
        if (control.id != ui::noId) {
            EXPECT_EQ(view.widget(control.id), widget);
        }
        EXPECT_TRUE(widget->inherits(widgetClasses.at(control.kind)));
        EXPECT_EQ(widget->property(controlKindProperty).toInt(), static_cast<int>(control.kind));
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            EXPECT_EQ(edit->isReadOnly(), (control.flags & ui::readOnly) != 0);
            EXPECT_EQ(edit->validator() != nullptr, (control.flags & ui::digitsOnly) != 0);
        }
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            EXPECT_TRUE(combo->isEditable());
        }
        EXPECT_EQ(widgetText(widget), qText(control.text));
        // Where the German text itself needs more than this measure gives, another language
        // may be no wider than German: the template was laid out for the German texts.
        const int needed = neededWidth(control.kind, control.text, view.font(), units);
        EXPECT_LE(needed,
                  std::max(units.x(control.rect.width),
                           neededWidth(control.kind, german.controls[i].text, view.font(), units)))
            << "\"" << control.text << "\" needs " << needed << " px";
        EXPECT_EQ(widget->isEnabled(),
                  (control.flags & ui::disabled) == 0 && control.id != disabledId);
        EXPECT_EQ(widget->isVisibleTo(&view), (control.flags & ui::hidden) == 0);

        QRect expected = units.rect(control.rect);
        if (control.kind == ui::Kind::ComboBox) {
            expected.setHeight(units.y(editHeightDu));
        }
        EXPECT_EQ(widget->geometry(), expected);
        EXPECT_TRUE(view.rect().contains(widget->geometry()));
    }
}

TEST(DialogUnits, ScaleFromTheBaseUnitsRoundedHalfUp) {
    // The classic 8-point dialog font: 6 × 13 pixels.
    const DialogUnits units{6, 13};
    EXPECT_EQ(units.x(430), 645);
    EXPECT_EQ(units.y(225), 366);  // 365.625
    EXPECT_EQ(units.x(3), 5);      // 4.5
    EXPECT_EQ(units.y(12), 20);    // 19.5
    EXPECT_EQ(units.rect(ui::Rect{122, 182, 44, 14}), QRect(183, 296, 66, 23));
}

TEST(DialogWidgets, EveryControlOfEveryTemplateInEveryLanguage) {
    GuiRig rig;
    MainWindow& window = rig.start();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ZEK - Micro  Setup "));
    // The status field is disabled by dialog initialisation.
    expectWidgets(window.view(), resources::mainDialogTemplate(), lang::Language::German,
                  ids::StatusField);
    for (const lang::Language language : lang::languages()) {
        for (const ui::DialogTemplate* german :
             {&resources::mainDialogTemplate(), &resources::lockFunctionsDialogTemplate(),
              &resources::rpmControlDialogTemplate(), &resources::revCounterDialogTemplate(),
              &resources::backupsDialogTemplate()}) {
            const std::string name =
                std::to_string(german->id) + "_" + std::string(lang::languageCode(language));
            SCOPED_TRACE(name);
            ui::Dialog dialog(*german);
            DialogView view(dialog, nullptr, language);
            expectWidgets(view, *german, language);
            saveArtefact(view, (name + ".png").c_str());
        }
    }
}

TEST(MainWindow, OnlyTheToleranceRadiosSwitchThemselves) {
    GuiRig rig;
    DialogView& view = rig.start().view();
    view.show();
    auto radio = [&](ui::ControlId id) { return static_cast<QRadioButton*>(view.widget(id)); };

    QTest::mouseClick(radio(ids::ToleranceSmallRadio), Qt::LeftButton);
    QTest::mouseClick(radio(ids::ToleranceHighRadio), Qt::LeftButton);
    EXPECT_FALSE(radio(ids::ToleranceSmallRadio)->isChecked());
    EXPECT_TRUE(radio(ids::ToleranceHighRadio)->isChecked());

    // The dialog's own radios show only what its code decided.
    for (ui::ControlId id : {ids::Frequency78Radio, ids::IgnoreRadio, ids::SwitchOffRadio}) {
        EXPECT_FALSE(radio(id)->autoExclusive());
        QTest::mouseClick(radio(id), Qt::LeftButton);
        EXPECT_EQ(radio(id)->isChecked(), rig.app.mainDialog().checked(id)) << id;
    }
}

TEST(MainWindow, MenuWithIdsCheckMarksGreyedItemsAndDevices) {
    GuiRig rig;
    MainWindow& window = rig.start();
    MenuBinding& menus = *window.menus();
    QStringList popups;
    for (QAction* action : window.menuBar()->actions()) {
        popups << action->text();
    }
    EXPECT_EQ(popups, (QStringList{"Datei", "Port", "Modellspeicher", "Optionen", "Drehzahl messen",
                                   "Hilfe"}));
    for (const ui::MenuItemTemplate& item : resources::mainDialogTemplate().menu) {
        if (item.kind != ui::MenuKind::Item) {
            continue;
        }
        QAction* action = menus.action(item.id);
        ASSERT_NE(action, nullptr) << item.id;
        EXPECT_EQ(action->text().section(QLatin1Char('\t'), 0, 0), qText(item.text));
        EXPECT_EQ(action->property(menuIdProperty).toInt(), item.id);
        EXPECT_EQ(action->isEnabled(), (item.flags & ui::disabled) == 0) << item.id;
        EXPECT_EQ(action->isChecked(), item.id == ids::Com2Item) << item.id;
    }
    // Without virtual back-ends there is no item for them.
    EXPECT_EQ(menus.popup(ids::PortPopupIndex)->actions().size(), 8);
    // The marks follow the model after a command.
    trigger(window, ids::Com4Item);
    EXPECT_TRUE(menus.action(ids::Com4Item)->isChecked());
    EXPECT_FALSE(menus.action(ids::Com2Item)->isChecked());
    // Each COM item shows its device; a converter that is not plugged in is marked.
    const QString com1 = menus.action(ids::Com1Item)->text();
    const QString com5 = menus.action(ids::Com5Item)->text();
    EXPECT_TRUE(com1.startsWith(QStringLiteral("COM1\t/dev/ttyS0"))) << com1.toStdString();
    EXPECT_TRUE(com5.startsWith(QStringLiteral("COM5\t/dev/ttyUSB0"))) << com5.toStdString();
    EXPECT_EQ(com5.endsWith(QStringLiteral(" (fehlt)")), !QFile::exists("/dev/ttyUSB0"));
}

}  // namespace
}  // namespace gui::testing
