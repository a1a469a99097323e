// Commands through the widgets: the binding, port selection, "Lesen", End and OK,
// a modal sub-dialog and the stop request of long loops.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "gui/gui_rig.h"
#include "gui/menu_binding.h"
#include "resources/lock_functions_dialog.h"
#include "resources/main_dialog_ids.h"
#include "resources/rev_counter_dialog.h"
#include "resources/rpm_control_dialog.h"

namespace gui::testing {
namespace {

QLineEdit* edit(MainWindow& window, ui::ControlId id) {
    return static_cast<QLineEdit*>(window.view().widget(id));
}

void click(MainWindow& window, ui::ControlId id) {
    QTest::mouseClick(window.view().widget(id), Qt::LeftButton);
}

void trigger(MainWindow& window, ui::ControlId id) {
    window.menus()->action(id)->trigger();
}

TEST(GuiCommands, PortSelectionWithAFailingAndASucceedingAdapter) {
    GuiRig rig;
    MainWindow& window = rig.start();
    rig.rig.serialConfig().loopBack = sim::LoopBack::Missing;
    trigger(window, ids::Com4Item);
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0].text, "No Adaptor found at COM4\n");
    EXPECT_EQ(rig.boxes[0].caption, "Error");
    EXPECT_EQ(rig.boxes[0].ownerId, ids::MainDialog);
    EXPECT_TRUE(window.menus()->action(ids::Com4Item)->isChecked());
    EXPECT_FALSE(window.menus()->action(ids::Com2Item)->isChecked());
    EXPECT_FALSE(edit(window, ids::StatusField)->isEnabled());

    rig.rig.serialConfig().loopBack = sim::LoopBack::FollowsDtr;
    trigger(window, ids::Com5Item);
    EXPECT_EQ(rig.boxes.size(), 1u);
    EXPECT_TRUE(window.menus()->action(ids::Com5Item)->isChecked());
}

TEST(GuiCommands, ReadFillsTheWidgetsAndTheScreenshotIsWritten) {
    GuiRig rig;
    MainWindow& window = rig.start();
    window.show();
    click(window, ids::ReadButton);
    ASSERT_TRUE(rig.boxes.empty()) << rig.lastBox();

    const ui::Dialog& model = rig.app.mainDialog();
    EXPECT_EQ(edit(window, ids::StatusField)->text(), QStringLiteral("OK"));
    EXPECT_TRUE(window.view().widget(ids::WriteButton)->isEnabled());
    for (ui::ControlId id : {ids::VersionField, ids::FullThrottleField, ids::NeutralField,
                             ids::StopField, ids::StartPowerField}) {
        EXPECT_FALSE(edit(window, id)->text().isEmpty()) << id;
        EXPECT_EQ(edit(window, id)->text().toStdString(), model.text(id)) << id;
    }
    auto* timing = static_cast<QComboBox*>(window.view().widget(ids::TimingList));
    EXPECT_EQ(timing->currentIndex(), model.selection(ids::TimingList));

    saveArtefact(window, "main_dialog.png");
}

TEST(GuiCommands, WhatTheUserTypedReachesTheModelBeforeTheCommand) {
    GuiRig rig;
    MainWindow& window = rig.start();
    window.show();
    click(window, ids::ReadButton);
    QLineEdit* startPower = edit(window, ids::StartPowerField);
    startPower->clear();
    QTest::keyClicks(startPower, "1x7");  // digits only: the letter is refused
    EXPECT_EQ(startPower->text(), QStringLiteral("17"));
    trigger(window, ids::AboutItem);
    EXPECT_EQ(rig.app.mainDialog().text(ids::StartPowerField), "17");
    EXPECT_EQ(rig.boxes.back().caption, "ZEK Setup");
    EXPECT_EQ(rig.boxes.back().ownerId, 0);
}

// Enter does not end the main dialog; the close box runs the End sequence (the port saved),
// OK ends it without.
TEST(GuiCommands, EnterCloseAndOk) {
    for (bool closeBox : {true, false}) {
        GuiRig rig;
        rig.dir.write("qvsetup.cfg", "COM7");
        MainWindow& window = rig.start();
        window.show();
        trigger(window, ids::Com3Item);
        edit(window, ids::FullThrottleField)->setFocus();
        QTest::keyClick(&window, Qt::Key_Return);
        EXPECT_FALSE(rig.app.ended());
        closeBox ? (void)window.close() : window.runCommand(ids::Ok);
        EXPECT_TRUE(rig.app.ended());
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(rig.dir.read("qvsetup.cfg"), closeBox ? "COM3" : "COM7");
        EXPECT_TRUE(!closeBox || !rig.app.linkState().portOpen);
    }
}

TEST(GuiCommands, SubDialogWidgetsStayInsideTheirDialog) {
    application();
    for (const ui::DialogTemplate* dialogTemplate :
         {&resources::lockFunctionsDialogTemplate(), &resources::rpmControlDialogTemplate(),
          &resources::revCounterDialogTemplate()}) {
        SCOPED_TRACE(dialogTemplate->id);
        ui::Dialog dialog(*dialogTemplate);
        DialogView view(dialog);
        for (QWidget* widget : view.widgets()) {
            EXPECT_TRUE(view.rect().contains(widget->geometry()))
                << widget->objectName().toStdString();
        }
        saveArtefact(view, (std::to_string(dialogTemplate->id) + ".png").c_str());
    }
}

TEST(GuiCommands, ASubDialogIsBuiltFromItsTemplateAndEndsOnEsc) {
    GuiRig rig;
    MainWindow& window = rig.start();
    window.show();
    click(window, ids::ReadButton);

    // Repaints during the command run the event loop too: wait for the box to be up.
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<CommandDialog*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        poll.stop();
        seen = true;
        EXPECT_EQ(box->dialog().id(), lock_ids::Dialog);
        EXPECT_EQ(box->parentWidget(), &window);
        EXPECT_NE(box->view().widget(lock_ids::ReadButton), nullptr);
        EXPECT_FALSE(box->view().widget(lock_ids::WriteButton)->isEnabled());
        saveArtefact(*box, "lock_functions.png");
        QTest::keyClick(box, Qt::Key_Escape);
    });
    poll.start(5);
    trigger(window, ids::LockFunctionsItem);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(rig.app.ended());
}

TEST(GuiCommands, EscWhileALoopPollsIsAStopAndOtherInputIsHeldBack) {
    GuiRig rig;
    MainWindow& window = rig.start();
    window.show();
    QApplication::postEvent(window.view().widget(ids::ReadButton),
                            new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier));
    QApplication::postEvent(&window,
                            new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    // Nothing may process the events before the poll; polls closer together than this
    // look at no events at all.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_TRUE(rig.host.stopRequested(rig.app.mainDialog()));
    EXPECT_FALSE(rig.app.ended());
    EXPECT_EQ(rig.app.mainDialog().text(ids::StatusField), "");
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(rig.host.stopRequested(rig.app.mainDialog()));
}

TEST(GuiCommands, ProgressDisplayFollowsTheTransferAndGoesAway) {
    GuiRig rig;
    MainWindow& window = rig.start();
    window.show();
    rig.host.showProgress(5, 10, 3);
    auto* progress = window.findChild<QProgressDialog*>();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->value(), 5);
    EXPECT_EQ(progress->labelText(), QStringLiteral("5 von 10, noch 3 s"));
    rig.host.showProgress(7, 10, -1);
    EXPECT_EQ(progress->labelText(), QStringLiteral("7 von 10"));
    rig.host.showProgress(10, 10, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window.findChild<QProgressDialog*>(), nullptr);
    rig.host.showProgress(0, 0, -1);  // nothing to show, nothing to remove
}

}  // namespace
}  // namespace gui::testing
