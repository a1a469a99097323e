// The "Datei" menu's settings files and automatic backups through the widgets.
#include <gtest/gtest.h>

#include <QComboBox>
#include <filesystem>

#include "gui/gui_rig.h"
#include "resources/backups_dialog.h"
#include "resources/main_dialog_ids.h"

namespace gui::testing {
namespace {

struct FilesRig : GuiRig {
    FilesRig() {
        app.setDataFolder(std::filesystem::path(dir.file("data")));
        host.answerFileDialogs = [this](const ui::FileDialogRequest& request) {
            requests.push_back(request);
            return std::optional<std::string>(answer);
        };
        start().show();
    }
    // The boxes a command shows, those before it forgotten.
    std::vector<std::string> run(ui::ControlId id) {
        boxes.clear();
        id == ids::ReadButton || id == ids::WriteButton ? click(*window, id) : trigger(*window, id);
        return boxes;
    }
    std::string answer;
    std::vector<ui::FileDialogRequest> requests;
};

TEST(GuiSettingsFiles, SaveLoadAndTheBackupsListAfterARead) {
    FilesRig rig;
    QLineEdit* fullThrottle = edit(*rig.window, ids::FullThrottleField);
    for (ui::ControlId id : {ids::SaveSettingsItem, ids::BackupsItem}) {
        ASSERT_EQ(rig.run(id).size(), 1u);
        EXPECT_EQ(rig.lastBox(), "Zuerst Werte einlesen!");
    }
    rig.run(ids::ReadButton);
    ASSERT_EQ(rig.run(ids::BackupsItem).size(), 1u);
    EXPECT_EQ(rig.lastBox(), "Es gibt noch keine Sicherungen.");
    EXPECT_TRUE(rig.requests.empty());

    // Typed without an extension: saved with the one the load dialog's filter lists.
    rig.answer = rig.dir.file("mine");
    ASSERT_TRUE(rig.run(ids::SaveSettingsItem).empty()) << rig.lastBox();
    EXPECT_TRUE(rig.requests.back().forSaving);
    EXPECT_EQ(rig.requests.back().filter, "*.json");
    rig.answer = rig.dir.file("mine.json");
    const QString read = fullThrottle->text();
    QTest::keyClicks(fullThrottle, "9");
    ASSERT_TRUE(rig.run(ids::LoadSettingsItem).empty()) << rig.lastBox();
    EXPECT_FALSE(rig.requests.back().forSaving);
    EXPECT_EQ(fullThrottle->text(), read);
    rig.answer = rig.dir.file("qvsetup.cfg");
    ASSERT_EQ(rig.run(ids::LoadSettingsItem).size(), 1u);
    EXPECT_EQ(rig.lastBox().rfind("Die Datei ist keine gültige Sicherung: ", 0), 0u);

    // A write leaves a backup of what was read before it, which the list loads back.
    fullThrottle->setText(QStringLiteral("2,10"));
    rig.run(ids::WriteButton);
    fullThrottle->setText(QStringLiteral("1,50"));
    EXPECT_TRUE(whenModal(
        [&](CommandDialog& box) {
            QTest::keyClick(&box, Qt::Key_Escape);
            EXPECT_TRUE(box.dialog().ended()) << "Esc must leave the list";
            box.done(0);  // else the test would wait for ever
        },
        [&] { rig.run(ids::BackupsItem); }));
    EXPECT_EQ(fullThrottle->text(), QStringLiteral("1,50"));
    EXPECT_TRUE(whenModal(
        [&](CommandDialog& box) {
            auto* list = static_cast<QComboBox*>(box.view().widget(backups_ids::List));
            ASSERT_EQ(list->count(), 1);
            EXPECT_TRUE(list->itemText(0).endsWith(QStringLiteral("   V-10.11-1F")))
                << list->itemText(0).toStdString();
            saveArtefact(box, "backups.png");
            click(box, ids::Ok);
        },
        [&] { EXPECT_TRUE(rig.run(ids::BackupsItem).empty()) << rig.lastBox(); }));
    EXPECT_EQ(fullThrottle->text(), read);
}

}  // namespace
}  // namespace gui::testing
