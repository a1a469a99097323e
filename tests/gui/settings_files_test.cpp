// The "Datei" menu's settings files and automatic backups through the widgets.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>

#include "gui/gui_rig.h"
#include "gui/menu_binding.h"
#include "resources/backups_dialog.h"
#include "resources/main_dialog_ids.h"
#include "shell/commands.h"

namespace gui::testing {
namespace {

QLineEdit* edit(MainWindow& window, ui::ControlId id) {
    return static_cast<QLineEdit*>(window.view().widget(id));
}

struct FilesRig : GuiRig {
    FilesRig() {
        app.setDataFolder(std::filesystem::path(dir.file("data")));
        host.answerFileDialogs = [this](const ui::FileDialogRequest& request) {
            requests.push_back(request);
            return std::optional<std::string>(answer);
        };
    }
    std::string answer;
    std::vector<ui::FileDialogRequest> requests;
};

TEST(GuiSettingsFiles, SaveAndLoadGoThroughTheFileDialogBeforeAndAfterARead) {
    FilesRig rig;
    MainWindow& window = rig.start();
    window.show();
    // Typed without an extension: saved with the one the load dialog's filter lists.
    rig.answer = rig.dir.file("mine");
    window.menus()->action(ids::SaveSettingsItem)->trigger();
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0].text, "Zuerst Werte einlesen!");
    EXPECT_TRUE(rig.requests.empty());

    QTest::mouseClick(window.view().widget(ids::ReadButton), Qt::LeftButton);
    rig.boxes.clear();
    window.menus()->action(ids::SaveSettingsItem)->trigger();
    ASSERT_TRUE(rig.boxes.empty()) << rig.lastBox();
    ASSERT_EQ(rig.requests.size(), 1u);
    EXPECT_TRUE(rig.requests[0].forSaving);
    EXPECT_EQ(rig.requests[0].filter, "*.json");
    EXPECT_TRUE(rig.dir.exists("mine.json"));
    rig.answer = rig.dir.file("mine.json");

    const QString read = edit(window, ids::FullThrottleField)->text();
    QTest::keyClicks(edit(window, ids::FullThrottleField), "9");
    window.menus()->action(ids::LoadSettingsItem)->trigger();
    ASSERT_TRUE(rig.boxes.empty()) << rig.lastBox();
    EXPECT_FALSE(rig.requests.back().forSaving);
    EXPECT_EQ(edit(window, ids::FullThrottleField)->text(), read);

    rig.dir.write("foreign.json", "{\"format\": \"something else\"}");
    rig.answer = rig.dir.file("foreign.json");
    window.menus()->action(ids::LoadSettingsItem)->trigger();
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0].text.rfind("Die Datei ist keine gültige Sicherung: ", 0), 0u);
}

TEST(GuiSettingsFiles, AWriteLeavesABackupThatTheListLoadsBack) {
    FilesRig rig;
    MainWindow& window = rig.start();
    window.show();
    window.menus()->action(ids::BackupsItem)->trigger();
    QTest::mouseClick(window.view().widget(ids::ReadButton), Qt::LeftButton);
    rig.boxes.clear();
    window.menus()->action(ids::BackupsItem)->trigger();
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0].text, "Es gibt noch keine Sicherungen.");

    const QString read = edit(window, ids::FullThrottleField)->text();
    edit(window, ids::FullThrottleField)->setText(QStringLiteral("2,10"));
    QTest::mouseClick(window.view().widget(ids::WriteButton), Qt::LeftButton);
    rig.boxes.clear();
    edit(window, ids::FullThrottleField)->setText(QStringLiteral("1,50"));

    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<CommandDialog*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        poll.stop();
        seen = true;
        EXPECT_EQ(box->dialog().id(), resources::backupsDialogTemplate().id);
        auto* list = static_cast<QComboBox*>(box->view().widget(backups_ids::List));
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->count(), 1);
        EXPECT_TRUE(list->itemText(0).endsWith(QStringLiteral("   V-10.11-1F")))
            << list->itemText(0).toStdString();
        saveArtefact(*box, "backups.png");
        QTest::mouseClick(box->view().widget(ids::Ok), Qt::LeftButton);
    });
    poll.start(5);
    window.menus()->action(ids::BackupsItem)->trigger();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(rig.boxes.empty()) << rig.lastBox();
    // The backup holds what was read before the write, not what was written.
    EXPECT_EQ(edit(window, ids::FullThrottleField)->text(), read);
}

}  // namespace
}  // namespace gui::testing
