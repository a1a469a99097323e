// English in the desktop program: every English text fits its control, the menu item
// switches at once and back, what the user picks in English reaches the model in German,
// and Qt's own texts follow.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QStyle>

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

using lang::Language;

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

// Where the German text itself needs more than this measure gives, English may be no
// wider than German: the template was laid out for the German texts.
TEST(EnglishTexts, FitTheirControlsWithTheDialogFont) {
    application();
    for (const ui::DialogTemplate* german :
         {&resources::mainDialogTemplate(), &resources::lockFunctionsDialogTemplate(),
          &resources::rpmControlDialogTemplate(), &resources::revCounterDialogTemplate(),
          &resources::backupsDialogTemplate()}) {
        const ui::DialogTemplate& english = lang::translatedTemplate(*german, Language::English);
        const QFont font = dialogFont(*german);
        const DialogUnits units = DialogUnits::fromFont(font);
        for (std::size_t i = 0; i < german->controls.size(); ++i) {
            const ui::ControlTemplate& row = english.controls[i];
            const int needed = neededWidth(row.kind, row.text, font, units);
            EXPECT_LE(needed,
                      std::max(units.x(row.rect.width),
                               neededWidth(row.kind, german->controls[i].text, font, units)))
                << "dialog " << german->id << ": \"" << row.text << "\" needs " << needed << " px";
        }
    }
}

TEST(EnglishTexts, TheMenuItemSwitchesAtOnceAndBack) {
    GuiRig rig;
    MainWindow& window = rig.start();
    window.show();
    MenuBinding& menus = *window.menus();
    trigger(window, ids::LanguageItem);
    EXPECT_EQ(rig.app.language(), Language::English);
    EXPECT_EQ(static_cast<QPushButton*>(window.view().widget(ids::ReadButton))->text(), "Read");
    EXPECT_EQ(menus.popup(0)->title(), "File");
    EXPECT_EQ(menus.action(ids::AboutItem)->text(), "About...");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");

    // Boxes speak English; the model and the commands stay German.
    trigger(window, ids::LockFunctionsItem);
    EXPECT_EQ(rig.lastBox(), "Read the values first!");
    click(window, ids::ReadButton);
    ASSERT_EQ(rig.boxes.size(), 1u) << rig.lastBox();
    auto* brake = static_cast<QComboBox*>(window.view().widget(ids::BrakeList));
    EXPECT_EQ(brake->itemText(1), "hard");
    brake->setCurrentIndex(1);
    click(window, ids::WriteButton);
    EXPECT_EQ(rig.app.mainDialog().text(ids::BrakeList), "hart");
    EXPECT_EQ(edit(window, ids::StatusField)->text(), "OK");
    saveArtefact(window, "main_dialog_en.png");
    // A sub-dialog opens in the language of its host, owned by the window; Esc ends it.
    EXPECT_TRUE(whenModal(
        [&](CommandDialog& box) {
            EXPECT_EQ(box.parentWidget(), &window);
            EXPECT_FALSE(box.view().widget(lock_ids::WriteButton)->isEnabled());
            EXPECT_EQ(static_cast<QPushButton*>(box.view().widget(lock_ids::ReadButton))->text(),
                      "Read");
            saveArtefact(box, "lock_functions_en.png");
            QTest::keyClick(&box, Qt::Key_Escape);
        },
        [&] { trigger(window, ids::LockFunctionsItem); }));

    trigger(window, ids::LanguageItem);
    EXPECT_EQ(static_cast<QPushButton*>(window.view().widget(ids::ReadButton))->text(), "Lesen");
    EXPECT_EQ(menus.popup(0)->title(), "Datei");
    EXPECT_EQ(brake->currentText(), "hart");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Abbrechen");
}

}  // namespace
}  // namespace gui::testing
