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
    std::vector<Box> run(ui::ControlId id) {
        boxes.clear();
        id == ids::ReadButton || id == ids::WriteButton ? click(*window, id) : trigger(*window, id);
        return boxes;
    }
    std::string answer;
    std::vector<ui::FileDialogRequest> requests;
};

TEST(GuiSettingsFiles, SaveAndLoadGoThroughTheFileDialogBeforeAndAfterARead) {
    FilesRig rig;
    // Typed without an extension: saved with the one the load dialog's filter lists.
    rig.answer = rig.dir.file("mine");
    ASSERT_EQ(rig.run(ids::SaveSettingsItem).size(), 1u);
    EXPECT_EQ(rig.lastBox(), "Zuerst Werte einlesen!");
    EXPECT_TRUE(rig.requests.empty());

    rig.run(ids::ReadButton);
    ASSERT_TRUE(rig.run(ids::SaveSettingsItem).empty()) << rig.lastBox();
    ASSERT_EQ(rig.requests.size(), 1u);
    EXPECT_TRUE(rig.requests[0].forSaving);
    EXPECT_EQ(rig.requests[0].filter, "*.json");
    EXPECT_TRUE(rig.dir.exists("mine.json"));

    rig.answer = rig.dir.file("mine.json");
    const QString read = edit(*rig.window, ids::FullThrottleField)->text();
    QTest::keyClicks(edit(*rig.window, ids::FullThrottleField), "9");
    ASSERT_TRUE(rig.run(ids::LoadSettingsItem).empty()) << rig.lastBox();
    EXPECT_FALSE(rig.requests.back().forSaving);
    EXPECT_EQ(edit(*rig.window, ids::FullThrottleField)->text(), read);

    rig.dir.write("foreign.json", "{\"format\": \"something else\"}");
    rig.answer = rig.dir.file("foreign.json");
    ASSERT_EQ(rig.run(ids::LoadSettingsItem).size(), 1u);
    EXPECT_EQ(rig.lastBox().rfind("Die Datei ist keine gültige Sicherung: ", 0), 0u);
}

TEST(GuiSettingsFiles, AWriteLeavesABackupThatTheListLoadsBack) {
    FilesRig rig;
    MainWindow& window = *rig.window;
    rig.run(ids::BackupsItem);
    rig.run(ids::ReadButton);
    ASSERT_EQ(rig.run(ids::BackupsItem).size(), 1u);
    EXPECT_EQ(rig.lastBox(), "Es gibt noch keine Sicherungen.");

    const QString read = edit(window, ids::FullThrottleField)->text();
    edit(window, ids::FullThrottleField)->setText(QStringLiteral("2,10"));
    rig.run(ids::WriteButton);
    edit(window, ids::FullThrottleField)->setText(QStringLiteral("1,50"));
    std::vector<Box> boxes;
    EXPECT_TRUE(whenModal(
        [&](CommandDialog& box) {
            EXPECT_EQ(box.dialog().id(), resources::backupsDialogTemplate().id);
            auto* list = static_cast<QComboBox*>(box.view().widget(backups_ids::List));
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(list->count(), 1);
            EXPECT_TRUE(list->itemText(0).endsWith(QStringLiteral("   V-10.11-1F")))
                << list->itemText(0).toStdString();
            saveArtefact(box, "backups.png");
            click(box, ids::Ok);
        },
        [&] { boxes = rig.run(ids::BackupsItem); }));
    EXPECT_TRUE(boxes.empty()) << rig.lastBox();
    // The backup holds what was read before the write, not what was written.
    EXPECT_EQ(edit(window, ids::FullThrottleField)->text(), read);
}

}  // namespace
}  // namespace gui::testing
