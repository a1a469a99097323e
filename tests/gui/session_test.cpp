// Start-up: the command line, the start directory and the virtual controller.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <sstream>

#include "cli/command_line.h"
#include "config/temp_directory.h"
#include "gui/gui_rig.h"
#include "gui/session.h"
#include "resources/main_dialog_ids.h"
#include "resources/port_menu_ids.h"
#include "resources/texts.h"
#include "sim/setup_memory.h"

namespace gui::testing {
namespace {

// zek-setup and zek-cli read the options they share with one parser: the same words
// mean the same, and are refused for the same reason.
TEST(StartOptions, MeanTheSameAsInTheCommandLine) {
    // Any knob of the virtual controller implies it.
    const std::vector<std::vector<std::string>> cases{{"--sim-memory", "m.bin", "--user-dir"},
                                                      {"--dir", "/x", "--lang", "en"},
                                                      {"--dir", "/x", "--user-dir"},
                                                      {"--dir", "/x", "--lang=fr"}};
    for (const std::vector<std::string>& args : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        QStringList arguments{"zek-setup"};
        for (const std::string& arg : args) {
            arguments << QString::fromStdString(arg);
        }
        QString guiError;
        const std::optional<StartOptions> gui = parseStartOptions(arguments, guiError);
        std::vector<std::string> cliArgs = args;
        cliArgs.push_back("read");
        const cli::CommandLine cli = cli::parseCommandLine(cliArgs);
        ASSERT_EQ(gui.has_value(), cli.options.has_value());
        if (gui) {
            EXPECT_EQ(*gui, cli.options->shared);
            EXPECT_TRUE(gui->simulate || args[0] == "--dir");
            EXPECT_EQ(cli.options->port == cli::PortChoice::Simulate, gui->simulate);
        } else {
            EXPECT_EQ(guiError.toStdString(), cli.error);
        }
    }
    // The desktop program takes no command: a word left over is refused.
    QString error;
    EXPECT_FALSE(parseStartOptions({"zek-setup", "--simulate", "x"}, error));
    EXPECT_EQ(error, QStringLiteral("unknown argument: x"));
}

TEST(QtHostBox, ShowsTheSystemErrorAndThePortsFindingsAsTheDetailsAndKeepsTheBox) {
    application();
    QtHost host;
    host.setPendingDetail("/dev/ttyUSB1: open failed: No such file or directory");
    host.setExplainer([](std::string_view text) {
        return text == "COM-Init-Error!" ? "ttyUSB1\n  failed    access" : "";
    });
    QString text;
    QString caption;
    QString detail;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        caption = box->windowTitle();
        detail = box->detailedText();
        box->accept();
    });
    EXPECT_EQ(host.messageBox(nullptr, "COM-Init-Error!", "Error", ui::Buttons::Ok),
              ui::Answer::Ok);
    EXPECT_EQ(text, QStringLiteral("COM-Init-Error!"));
    EXPECT_EQ(caption, QStringLiteral("Error"));
    EXPECT_EQ(detail, QStringLiteral("/dev/ttyUSB1: open failed: No such file or directory\n\n"
                                     "ttyUSB1\n  failed    access"));
    EXPECT_EQ(host.pendingDetail(), "");
}

struct SessionRig {
    SessionRig() { application(); }
    Session start(const QStringList& arguments) {
        QString error;
        std::optional<StartOptions> options =
            parseStartOptions(QStringList{"zek-setup"} + arguments, error);
        EXPECT_TRUE(options.has_value()) << error.toStdString();
        return Session(*options, shell::RealPorts{}, errors, [this](QtHost& host) {
            host.answerBoxes = [this](const ui::Dialog*, std::string_view text, std::string_view,
                                      ui::Buttons) {
                boxes.emplace_back(text);
                return ui::Answer::Ok;
            };
        });
    }
    testing_support::TempDirectory dir;
    std::ostringstream errors;
    std::vector<std::string> boxes;
};

TEST(Session, SimulateStartsOnTheVirtualControllerAndKeepsTheSavedPort) {
    SessionRig rig;
    rig.dir.write("qvsetup.cfg", "COM6");
    Session session = rig.start({"--simulate", "--dir", QString::fromStdString(rig.dir.path())});
    EXPECT_EQ(session.startDirectory(), rig.dir.path());
    EXPECT_TRUE(session.app().virtualControllerSelected());
    MenuBinding& menus = *session.window().menus();
    EXPECT_TRUE(menus.action(ids::VirtualControllerItem)->isChecked());
    EXPECT_FALSE(menus.action(ids::Com6Item)->isChecked());
    EXPECT_EQ(menus.action(ids::VirtualControllerItem)->text(),
              QString::fromUtf8(texts::VirtualController));
    // "Port prüfen…" stays last and shows every port's findings while none is chosen.
    QAction* checkPort = menus.popup(ids::PortPopupIndex)->actions().last();
    EXPECT_EQ(checkPort->text(), QStringLiteral("Port prüfen…"));
    checkPort->trigger();
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0].back(), '\n');

    session.window().runCommand(ids::EndButton);
    EXPECT_EQ(rig.dir.read("qvsetup.cfg"), "COM6");
}

// The remembered choice starts the program in English, an unknown port is told in it;
// --lang wins over the choice and does not change it.
TEST(Session, StartsInTheRememberedLanguageUnlessLangSaysOtherwise) {
    SessionRig rig;
    rig.dir.write("qvsetup.cfg", "COMX");
    rig.dir.write("zek-setup-language.ini", "lang=en\n");
    const QString dir = QString::fromStdString(rig.dir.path());
    {
        Session session = rig.start({"--simulate", "--dir", dir});
        EXPECT_EQ(session.app().language(), lang::Language::English);
        EXPECT_EQ(session.window().menus()->action(ids::VirtualControllerItem)->text(),
                  QStringLiteral("Virtual controller"));
        EXPECT_EQ(session.window().menus()->popup(ids::PortPopupIndex)->actions().last()->text(),
                  QStringLiteral("Check port…"));
        ASSERT_FALSE(rig.boxes.empty());
        EXPECT_EQ(rig.boxes.front(),
                  "Unknown port \"COMX\" in qvsetup.cfg.\nPlease choose a port in the \"Port\" "
                  "menu.");
    }
    Session session = rig.start({"--simulate", "--dir", dir, "--lang", "de"});
    EXPECT_EQ(session.app().language(), lang::Language::German);
    EXPECT_EQ(session.window().menus()->popup(0)->title(), QStringLiteral("Datei"));
    EXPECT_EQ(rig.dir.read("zek-setup-language.ini"), "lang=en\n");
}

// A memory file that cannot be used is told in a box and on standard error.
TEST(Session, ABadSimMemoryFileIsReported) {
    SessionRig rig;
    rig.dir.write("short.bin", "abc");
    Session refused =
        rig.start({"--simulate", "--sim-memory", QString::fromStdString(rig.dir.file("short.bin")),
                   "--dir", QString::fromStdString(rig.dir.path())});
    EXPECT_FALSE(rig.errors.str().empty());
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0] + "\n", rig.errors.str());
    EXPECT_EQ(refused.simulator().setupMemory(), sim::defaultSetupImage());
}

}  // namespace
}  // namespace gui::testing
