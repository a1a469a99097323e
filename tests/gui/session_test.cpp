// Start-up: the command line, the start directory and the virtual controller.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <sstream>

#include "gui/gui_rig.h"
#include "gui/session.h"
#include "resources/main_dialog_ids.h"
#include "resources/port_menu_ids.h"
#include "sim/setup_memory.h"

namespace gui::testing {
namespace {

// The shared options are zek-cli's (its tests hold what they mean); the desktop program
// takes no command.
TEST(StartOptions, AWordLeftOverIsRefused) {
    QString error;
    EXPECT_FALSE(parseStartOptions({"zek-setup", "--simulate", "x"}, error));
    EXPECT_EQ(error, QStringLiteral("unknown argument: x"));
}

// What the detail holds (the system's error, a port's findings) is the core's; the box
// shows it beneath the text and it is taken, not shown again.
TEST(QtHostBox, ShowsThePendingDetailBeneathTheTextOnce) {
    application();
    QtHost host;
    host.setPendingDetail("/dev/ttyUSB1: open failed: No such file or directory");
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = {box->windowTitle(), box->text(), box->detailedText()};
        box->accept();
    });
    EXPECT_EQ(host.messageBox(nullptr, "COM-Init-Error!", "Error", ui::Buttons::Ok),
              ui::Answer::Ok);
    EXPECT_EQ(shown, (QStringList{"Error", "COM-Init-Error!",
                                  "/dev/ttyUSB1: open failed: No such file or directory"}));
    EXPECT_EQ(host.pendingDetail(), "");
}

// The program on the virtual controller in the rig's directory; boxes are recorded.
struct SessionRig : GuiRig {
    Session start(const QStringList& arguments) {
        QString error;
        std::optional<StartOptions> options = parseStartOptions(
            QStringList{"zek-setup", "--simulate", "--dir", QString::fromStdString(dir.path())} +
                arguments,
            error);
        EXPECT_TRUE(options.has_value()) << error.toStdString();
        return Session(*options, shell::RealPorts{}, errors,
                       [this](QtHost& sessionHost) { recordBoxes(sessionHost); });
    }
    std::ostringstream errors;
};

// A memory file that cannot be used is told in a box and on standard error; the virtual
// controller starts with its default memory all the same, and the menu shows it chosen.
TEST(Session, SimulateStartsOnTheVirtualControllerDespiteABadMemoryFile) {
    SessionRig rig;
    rig.dir.write("short.bin", "abc");
    Session session =
        rig.start({"--sim-memory", QString::fromStdString(rig.dir.file("short.bin"))});
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0] + "\n", rig.errors.str());
    EXPECT_EQ(session.simulator().setupMemory(), sim::defaultSetupImage());
    EXPECT_EQ(session.startDirectory(), rig.dir.path());
    EXPECT_TRUE(session.window().menus()->action(ids::VirtualControllerItem)->isChecked());
}

// The remembered choice starts the program in English, an unknown port is told in it;
// --lang wins over the choice and does not change it.
TEST(Session, StartsInTheRememberedLanguageUnlessLangSaysOtherwise) {
    SessionRig rig;
    rig.dir.write("qvsetup.cfg", "COMX");
    rig.dir.write("zek-setup-language.ini", "lang=en\n");
    {
        Session session = rig.start({});
        EXPECT_EQ(session.window().menus()->action(ids::VirtualControllerItem)->text(),
                  QStringLiteral("Virtual controller"));
        EXPECT_EQ(session.window().menus()->popup(ids::PortPopupIndex)->actions().last()->text(),
                  QStringLiteral("Check port…"));
        ASSERT_FALSE(rig.boxes.empty());
        EXPECT_EQ(rig.boxes.front(),
                  "Unknown port \"COMX\" in qvsetup.cfg.\nPlease choose a port in the \"Port\" "
                  "menu.");
    }
    Session session = rig.start({"--lang", "de"});
    EXPECT_EQ(session.window().menus()->popup(0)->title(), QStringLiteral("Datei"));
    EXPECT_EQ(rig.dir.read("zek-setup-language.ini"), "lang=en\n");
}

}  // namespace
}  // namespace gui::testing
