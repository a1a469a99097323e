// Commands through the widgets: what a read shows and what the user typed, End and Enter,
// the stop request of long loops and the progress display.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QKeyEvent>
#include <QProgressDialog>
#include <chrono>
#include <thread>

#include "gui/gui_rig.h"
#include "resources/main_dialog_ids.h"

namespace gui::testing {
namespace {

TEST(GuiCommands, ReadFillsTheWidgetsWhatTheUserTypesReachesTheModelAndTheCloseBoxEnds) {
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
    EXPECT_EQ(timing->count(), static_cast<int>(model.items(ids::TimingList).size()));
    EXPECT_EQ(timing->currentIndex(), model.selection(ids::TimingList));
    saveArtefact(window, "main_dialog.png");

    QLineEdit* startPower = edit(window, ids::StartPowerField);
    startPower->clear();
    QTest::keyClicks(startPower, "1x7");  // digits only: the letter is refused
    EXPECT_EQ(startPower->text(), QStringLiteral("17"));
    trigger(window, ids::AboutItem);
    EXPECT_EQ(model.text(ids::StartPowerField), "17");

    // Enter does not end the main dialog; the close box runs the End sequence.
    QTest::keyClick(&window, Qt::Key_Return);
    EXPECT_FALSE(rig.app.ended());
    window.close();
    EXPECT_TRUE(rig.app.ended());
    EXPECT_FALSE(window.isVisible());
}

TEST(GuiCommands, EscWhileALoopPollsIsAStopOtherInputIsHeldBackAndTheProgressShows) {
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
