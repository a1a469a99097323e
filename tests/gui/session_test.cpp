// Start-up: the command line, the start directory and the virtual controller.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "cli/command_line.h"
#include "config/temp_directory.h"
#include "gui/gui_rig.h"
#include "gui/menu_binding.h"
#include "gui/session.h"
#include "resources/main_dialog_ids.h"
#include "resources/port_menu_ids.h"
#include "resources/texts.h"
#include "sim/setup_memory.h"

namespace gui::testing {
namespace {

StartOptions parse(const QStringList& arguments, QString* error = nullptr) {
    QString reason;
    std::optional<StartOptions> options =
        parseStartOptions(QStringList{"zek-setup"} + arguments, reason);
    if (error != nullptr) {
        *error = reason;
    }
    StartOptions help;
    help.help = true;
    return options.value_or(help);
}

TEST(StartOptions, KnownOptionsAndTheirErrors) {
    const StartOptions simulated = parse({"--simulate", "--sim-memory", "m.bin", "--dir", "/x"});
    EXPECT_TRUE(simulated.simulate);
    EXPECT_EQ(simulated.sim.memoryFile, "m.bin");
    EXPECT_EQ(simulated.directory, "/x");
    EXPECT_FALSE(simulated.language.has_value());
    EXPECT_EQ(parse({"--lang", "en"}).language, lang::Language::English);

    QString error;
    for (const QStringList& wrong :
         {QStringList{"--dir"}, {"--bogus"}, {"--dir", "/x", "--user-dir"}, {"--simulate", "x"}}) {
        QString reason;
        EXPECT_FALSE(parseStartOptions(QStringList{"zek-setup"} + wrong, reason).has_value())
            << wrong.join(' ').toStdString();
        EXPECT_FALSE(reason.isEmpty());
    }
}

// zek-setup and zek-cli read the options they share with one parser: the same words
// mean the same, and are refused for the same reason.
TEST(StartOptions, MeanTheSameAsInTheCommandLine) {
    const std::vector<std::vector<std::string>> cases{
        {"--sim-memory", "m.bin"},  // any knob of the virtual controller implies it
        {"--simulate", "--sim-device=other", "--sim-motor", "250:3", "--trace", "t.vcd"},
        {"--sim-isp", "shift:7", "--sim-fuses", "C9,E4", "--user-dir"},
        {"--dir", "/x", "--sim-adapter", "stuck"},
        {"--sim-isp", "shift:32"},
        {"--dir", "/x", "--user-dir"},
        {"--sim-lockbits", "XY"},
        {"--dir", "/x", "--lang", "en"},
        {"--dir", "/x", "--lang=fr"},
    };
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
    testing_support::TempDirectory directory;
    std::ostringstream errors;
    std::vector<std::string> boxes;
};

TEST(Session, SimulateStartsOnTheVirtualControllerAndKeepsTheSavedPort) {
    SessionRig rig;
    rig.directory.write("qvsetup.cfg", "COM6");
    Session session =
        rig.start({"--simulate", "--dir", QString::fromStdString(rig.directory.path())});
    EXPECT_EQ(session.startDirectory(), rig.directory.path());
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

    (void)session.app().dispatch(ids::ReadButton);
    EXPECT_EQ(session.app().mainDialog().text(ids::StatusField), "OK");
    session.window().runCommand(ids::EndButton);
    EXPECT_EQ(rig.directory.read("qvsetup.cfg"), "COM6");
}

// The remembered choice starts the program in English, an unknown port is told in it;
// --lang wins over the choice and does not change it.
TEST(Session, StartsInTheRememberedLanguageUnlessLangSaysOtherwise) {
    SessionRig rig;
    rig.directory.write("qvsetup.cfg", "COMX");
    rig.directory.write("zek-setup-language.ini", "lang=en\n");
    const QString dir = QString::fromStdString(rig.directory.path());
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
    EXPECT_EQ(rig.directory.read("zek-setup-language.ini"), "lang=en\n");
}

TEST(Session, SimMemoryIsLoadedAndABadFileIsReported) {
    SessionRig rig;
    sim::SetupBytes memory = sim::defaultSetupImage();
    memory[200] = 0x5A;
    ASSERT_EQ(sim::saveSetupFile(rig.directory.file("memory.bin"), memory), "");
    Session loaded = rig.start({"--simulate", "--sim-memory",
                                QString::fromStdString(rig.directory.file("memory.bin")), "--dir",
                                QString::fromStdString(rig.directory.path())});
    EXPECT_EQ(loaded.simulator().setupMemory()[200], 0x5A);

    rig.directory.write("short.bin", "abc");
    Session refused = rig.start({"--simulate", "--sim-memory",
                                 QString::fromStdString(rig.directory.file("short.bin")), "--dir",
                                 QString::fromStdString(rig.directory.path())});
    EXPECT_FALSE(rig.errors.str().empty());
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0] + "\n", rig.errors.str());
    EXPECT_EQ(refused.simulator().setupMemory(), sim::defaultSetupImage());
}

TEST(Session, UserDirIsCreatedUnderXdgConfigHome) {
    SessionRig rig;
    const char* previous = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("XDG_CONFIG_HOME", rig.directory.path().c_str(), 1);
    {
        Session session = rig.start({"--user-dir"});
        EXPECT_EQ(session.startDirectory(), rig.directory.file("zek-setup"));
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(rig.directory.file("zek-setup/qvsetup.cfg")));
    if (previous != nullptr) {
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

}  // namespace
}  // namespace gui::testing
