// The language item in the desktop program.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QMenu>
#include <QPushButton>

#include "gui/gui_rig.h"
#include "resources/lock_functions_dialog.h"
#include "resources/main_dialog_ids.h"

namespace gui::testing {
namespace {

using lang::Language;

// The item switches the widgets, the menus and Qt's own texts at once and back; what the
// user picks in English reaches the model in German, and a sub-dialog opens in English.
TEST(EnglishTexts, TheMenuItemSwitchesAtOnceAndBack) {
    GuiRig rig;
    MainWindow& window = rig.start();
    window.show();
    MenuBinding& menus = *window.menus();
    auto* read = static_cast<QPushButton*>(window.view().widget(ids::ReadButton));
    trigger(window, ids::LanguageItem);
    EXPECT_EQ(read->text(), "Read");
    EXPECT_EQ(menus.popup(0)->title(), "File");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");

    click(window, ids::ReadButton);
    auto* brake = static_cast<QComboBox*>(window.view().widget(ids::BrakeList));
    EXPECT_EQ(brake->itemText(1), "hard");
    brake->setCurrentIndex(1);
    click(window, ids::WriteButton);
    EXPECT_TRUE(rig.boxes.empty()) << rig.lastBox();
    EXPECT_EQ(rig.app.mainDialog().text(ids::BrakeList), "hart");
    saveArtefact(window, "main_dialog_en.png");
    EXPECT_TRUE(whenModal(
        [&](CommandDialog& box) {
            EXPECT_EQ(box.parentWidget(), &window);
            EXPECT_EQ(static_cast<QPushButton*>(box.view().widget(lock_ids::ReadButton))->text(),
                      "Read");
            saveArtefact(box, "lock_functions_en.png");
            QTest::keyClick(&box, Qt::Key_Escape);
        },
        [&] { trigger(window, ids::LockFunctionsItem); }));

    trigger(window, ids::LanguageItem);
    EXPECT_EQ(read->text(), "Lesen");
    EXPECT_EQ(menus.popup(0)->title(), "Datei");
    EXPECT_EQ(brake->currentText(), "hart");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Abbrechen");
}

}  // namespace
}  // namespace gui::testing
