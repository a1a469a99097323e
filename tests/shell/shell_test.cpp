// The application shell on the recording back-end: dispatch, qvsetup.cfg and its own commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "adapter/testing/recording_lines.h"
#include "config/temp_directory.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "resources/port_menu_ids.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/dispatch.h"
#include "shell/language_choice.h"
#include "ui/recording_host.h"
#if !defined(_WIN32)
#include "adapter/fake_sysfs.h"
#endif

namespace shell {
namespace {

// A findCommand that misses a row, or finds one for an id outside the table, fails here.
TEST(DispatchTable, EveryButtonAndMenuItemHasARowOrIsInert) {
    const ui::DialogTemplate& main = resources::mainDialogTemplate();
    std::set<ui::ControlId> commandIds;
    for (const ui::ControlTemplate& c : main.controls) {
        if (c.id != ui::noId && ui::isClickable(c.kind)) {
            commandIds.insert(c.id);
        }
    }
    for (const ui::MenuItemTemplate& item : main.menu) {
        if (item.kind == ui::MenuKind::Item) {
            commandIds.insert(item.id);
        }
    }
    const auto inert = inertCommandIds();
    for (ui::ControlId id : commandIds) {
        const bool handled = findCommand(id) != nullptr;
        EXPECT_NE(handled, std::ranges::find(inert, id) != inert.end())
            << "id " << id << (handled ? " has a row and is inert" : " has neither row nor reason");
    }
    for (ui::ControlId id : {0, -1, 65536 + ids::Com1Item}) {  // a row's id only in 16 bits
        EXPECT_EQ(findCommand(id), nullptr) << id;
    }
}

struct ShellRig {
    adapter::testing::Recorder recorder;
    adapter::testing::RecordingSerialPorts serialPorts{recorder};
    adapter::testing::RecordingPortIo portIo{recorder};
    adapter::testing::Recorder simRecorder;  // the virtual controller's back-ends
    adapter::testing::RecordingSerialPorts simPorts{simRecorder};
    adapter::testing::RecordingPortIo simPortIo{simRecorder};
    ui::RecordingHost host;
    testing_support::TempDirectory directory;
    std::unique_ptr<App> app;  // last: closes its port while the back-ends are still there

    App& start(PlatformFlags platform = {}, bool withVirtual = false) {
        app =
            std::make_unique<App>(host, Backends{&recorder.clock, &serialPorts, &portIo}, platform);
        app->initDialog(directory.path());
        if (withVirtual) {
            app->setVirtualBackends(Backends{&simRecorder.clock, &simPorts, &simPortIo});
        }
        return *app;
    }

    std::string config() const { return directory.read("qvsetup.cfg"); }
    void writeConfig(const std::string& bytes) const { directory.write("qvsetup.cfg", bytes); }
    // Each message box as "owner caption: text".
    std::vector<std::string> boxes() const {
        std::vector<std::string> all;
        for (const ui::RecordedMessage& box : host.messages) {
            all.push_back(std::to_string(box.ownerId) + ' ' + box.caption + ": " + box.text);
        }
        return all;
    }
    std::vector<ui::ControlId> checkedPortItems() const {
        std::vector<ui::ControlId> checked;
        for (ui::ControlId id = ids::Com1Item; id <= ids::Com8Item; ++id) {
            if (app->mainDialog().menuItem(id).checked) {
                checked.push_back(id);
            }
        }
        return checked;
    }
};

using Boxes = std::vector<std::string>;
using Items = std::vector<ui::ControlId>;
constexpr PlatformFlags serialOnly{};
constexpr PlatformFlags withPortDriver{false, true};

TEST(VirtualPort, SelectingItLeavesTheSavedPortAlone) {
    for (const bool fromMenu : {true, false}) {  // start-up selects it without an adapter check
        SCOPED_TRACE(fromMenu ? "menu" : "start-up");
        ShellRig rig;
        const std::string saved = fromMenu ? "COM4" : "03BC";
        rig.writeConfig(saved);
        App& app = rig.start(fromMenu ? serialOnly : withPortDriver, true);
        if (fromMenu) {
            (void)app.dispatch(ids::VirtualControllerItem);
        } else {
            app.selectVirtualController(false);
        }
        EXPECT_TRUE(app.virtualControllerSelected());
        EXPECT_EQ(rig.checkedPortItems(), Items{});
        EXPECT_EQ(app.port().kind, adapter::PortKind::Serial);
        EXPECT_EQ(rig.simPorts.opens, fromMenu ? 1 : 0);
        EXPECT_EQ(rig.serialPorts.opens, 0);
        (void)app.dispatch(ids::EndButton);
        EXPECT_EQ(rig.config(), saved);
        EXPECT_EQ(rig.simRecorder.count("close"), fromMenu ? 1 : 0);
    }
}

TEST(VirtualPort, AComItemSwitchesBackToTheRealPorts) {
    ShellRig rig;
    App& app = rig.start(serialOnly, true);
    (void)app.dispatch(ids::VirtualControllerItem);
    (void)app.dispatch(ids::Com4Item);
    EXPECT_FALSE(app.virtualControllerSelected());
    EXPECT_EQ(rig.simRecorder.count("close"), 1);
    EXPECT_EQ(rig.recorder.count("open COM4"), 1);
    (void)app.dispatch(ids::EndButton);
    EXPECT_EQ(rig.config(), "COM4");
}

// A missing adapter ends in the error tail under the port's own name; the selection stays.
TEST(PortSelection, NoAdapterEndsInTheErrorTailAndTheSelectionStays) {
    ShellRig rig;
    rig.recorder.dsr = rig.simRecorder.dsr = adapter::testing::DsrMode::Missing;
    App& real = rig.start(serialOnly, true);
    (void)real.dispatch(ids::Com5Item);
    EXPECT_EQ(rig.checkedPortItems(), Items{ids::Com5Item});
    (void)real.dispatch(ids::VirtualControllerItem);
    const std::string tail = std::to_string(ids::MainDialog) + " Error: No Adaptor found at ";
    EXPECT_EQ(rig.boxes(), (Boxes{tail + "COM5\n", tail + "SIM\n"}));
    (void)real.dispatch(ids::EndButton);
    EXPECT_EQ(rig.config(), "COM5");

    // Without the virtual controller's back-ends its item does nothing.
    ShellRig plain;
    App& app = plain.start();
    (void)app.dispatch(ids::VirtualControllerItem);
    EXPECT_FALSE(app.virtualControllerSelected());
    EXPECT_EQ(plain.checkedPortItems(), Items{ids::Com2Item});
}

std::string unknownPort(const std::string& shown) {
    return "0 Error: Unbekannter Port \"" + shown +
           "\" in qvsetup.cfg.\nBitte im Menü \"Port\" einen Port wählen.";
}

TEST(InitDialog, PortFieldOnStartAndAtEnd) {
    const std::string fields = std::string(252, '\0') + " 2" + std::string(2, '\0') + "1.00";
    const struct {
        const char* name;
        std::optional<std::string> file;  // none: no qvsetup.cfg yet
        PlatformFlags platform;
        std::string config;   // after the start, and still after End
        ui::ControlId item;   // the checked COM item, or noId
        int parallelBase;     // 0: the serial kind
        std::string message;  // the one box, if any
    } cases[] = {
        {"first start", {}, serialOnly, "COM2", ids::Com2Item, 0, ""},
        {"first start, port driver", {}, withPortDriver, "0378", ui::noId, 0x378, ""},
        {"0278 without access", "0278" + fields, serialOnly, "COM2" + fields, ids::Com2Item, 0, ""},
        {"03BC with access", "03BC", withPortDriver, "03BC", ui::noId, 0x3BC, ""},
        {"COM8, line end kept", "COM8\r\n", serialOnly, "COM8\r\n", ids::Com8Item, 0, ""},
        {"COM9 kept", "COM9", serialOnly, "COM9", ui::noId, 0x378, unknownPort("COM9")},
        {"case and control bytes", std::string("c\x01m3", 4), withPortDriver,
         std::string("c\x01m3", 4), ui::noId, 0x378, unknownPort("c?m3")},
        {"empty file with access", "", withPortDriver, "", ui::noId, 0x378, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ShellRig rig;
        if (c.file) {
            rig.writeConfig(*c.file);
        }
        App& app = rig.start(c.platform);
        EXPECT_FALSE(app.mainDialog().enabled(ids::StatusField));  // idle: no progress shown
        EXPECT_EQ(rig.config(), c.config);
        EXPECT_EQ(rig.checkedPortItems(), c.item == ui::noId ? Items{} : Items{c.item});
        EXPECT_EQ(app.port().kind,
                  c.parallelBase == 0 ? adapter::PortKind::Serial : adapter::PortKind::Parallel);
        if (c.parallelBase != 0) {
            EXPECT_EQ(app.port().parallelBase, c.parallelBase);
        }
        EXPECT_EQ(rig.boxes(), c.message.empty() ? Boxes{} : Boxes{c.message});
        EXPECT_EQ(rig.serialPorts.opens, 0);  // nothing opened before a command needs it
        (void)app.dispatch(ids::EndButton);
        EXPECT_EQ(rig.config(), c.config);
        EXPECT_EQ(rig.host.messages.size(), c.message.empty() ? 0u : 1u);
    }
}

// A qvsetup.cfg that cannot be opened keeps the preset and is told once; one gone by the
// End is told and not created.
TEST(InitDialog, AFileThatCannotBeWrittenIsToldAndNeverReplaced) {
    ShellRig rig;  // a folder in the file's place cannot be opened, and must not be replaced
    const std::string path = rig.directory.file("qvsetup.cfg");
    std::filesystem::create_directory(path);
    App& app = rig.start(serialOnly);
    EXPECT_EQ(rig.checkedPortItems(), Items{ids::Com2Item});
    const Boxes said = {"0 Error: qvsetup.cfg kann weder geöffnet noch angelegt werden:\n" + path +
                        "\nDie Port-Auswahl wird nicht gespeichert."};
    EXPECT_EQ(rig.boxes(), said);
    (void)app.dispatch(ids::EndButton);
    EXPECT_EQ(rig.boxes(), said);  // said once
    EXPECT_TRUE(std::filesystem::is_directory(path));

    ShellRig gone;
    App& ending = gone.start();
    std::filesystem::remove(gone.directory.file("qvsetup.cfg"));
    (void)ending.dispatch(ids::EndButton);
    EXPECT_FALSE(gone.directory.exists("qvsetup.cfg"));
    EXPECT_EQ(gone.boxes(),
              Boxes{"0 Error: " + cannotSavePortText(gone.directory.file("qvsetup.cfg"))});
}

TEST(EndAndOk, EndSavesFourBytesAndClosesThePortOkDoesNeither) {
    const std::string fields = std::string(252, '\0') + " 4" + std::string(2, '\0') + "2.50";
    for (ui::ControlId command : {ids::EndButton, ids::Ok}) {
        const bool end = command == ids::EndButton;
        SCOPED_TRACE(end ? "End" : "OK");
        ShellRig rig;
        rig.writeConfig("COM3" + fields);
        App& app = rig.start();
        (void)app.dispatch(ids::Com6Item);
        (void)app.dispatch(command);
        EXPECT_TRUE(app.ended());
        EXPECT_EQ(rig.config(), (end ? "COM6" : "COM3") + fields);
        EXPECT_EQ(app.linkState().portOpen, !end);
    }
}

TEST(PortSelection, ClosesTheOpenPortBeforeOpeningTheNewOne) {
    ShellRig rig;
    App& app = rig.start();
    (void)app.dispatch(ids::Com2Item);
    (void)app.dispatch(ids::Com3Item);
    std::vector<std::string> opensAndCloses;
    std::ranges::copy_if(
        rig.recorder.trace(), std::back_inserter(opensAndCloses),
        [](const std::string& step) { return step.starts_with("open") || step == "close"; });
    EXPECT_EQ(opensAndCloses, (std::vector<std::string>{"open COM2", "close", "open COM3"}));
    EXPECT_EQ(rig.checkedPortItems(), Items{ids::Com3Item});
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(HelpDocument, OpenedFromTheStartDirectoryOnlyWhenItIsAFile) {
    for (const std::string present : {"", "folder", "file"}) {
        SCOPED_TRACE(present);
        ShellRig rig;
        const std::string path = rig.directory.file("pc-setup-deutsch.pdf");
        if (present == "folder") {
            std::filesystem::create_directory(path);
        }
        const bool file = present == "file";
        if (file) {
            rig.directory.write("pc-setup-deutsch.pdf", "%PDF-1.4");
        }
        EXPECT_EQ(rig.start().dispatch(ids::HelpFileItem),
                  file ? ui::Outcome::Done : ui::Outcome::Failed);
        EXPECT_EQ(rig.host.opened, std::vector<std::string>(file ? 1 : 0, path));
        EXPECT_EQ(rig.boxes(), file ? Boxes{} : Boxes{"0 Error: pc-setup-deutsch.pdf not found!"});
    }
}

TEST(AboutAndServicePage, TextsAndAddress) {
    ShellRig rig;
    App& app = rig.start();
    EXPECT_EQ(app.dispatch(ids::AboutItem), ui::Outcome::Done);
    EXPECT_EQ(app.dispatch(ids::StatusField), ui::Outcome::Done) << "an id without a row";
    EXPECT_EQ(rig.boxes(),
              Boxes{"0 ZEK Setup: ZEK-Micro Setup\nDas ZEK-Micro-Team\n\nVersion:   20"});
    (void)app.dispatch(ids::ServicePageItem);
    ASSERT_EQ(rig.host.opened.size(), 1u);
    EXPECT_TRUE(rig.host.opened[0].ends_with("/zek-micro.htm"));
    EXPECT_EQ(rig.host.messages.size(), 1u);
}

#if !defined(_WIN32)
// A failed port's box carries its findings as detail (the desktop hosts show it); "Port
// prüfen…" shows them. Nothing is opened for them.
TEST(PortFindings, ExplainTheChosenPortsFailureAndCheckPortShowsThem) {
    testing_fs::FakeSystem fake;
    fake.addUart("ttyS3", "pnp0/00:04", "serial", "4:67");
    diagnostics::CheckOptions options;
    options.roots = {fake.sys(), fake.dev()};
    options.procRoot = fake.proc();
    options.mayReadWrite = [](const std::filesystem::path&) { return true; };
    ShellRig rig;
    rig.recorder.dsr = rig.simRecorder.dsr = adapter::testing::DsrMode::Missing;
    App& app = rig.start(serialOnly, true);
    explainPortFailures(app, options);
    (void)app.dispatch(ids::Com4Item);
    const std::string detail = rig.host.takeDetailFor(rig.host.lastText());
    EXPECT_EQ(detail.rfind("ttyS3\n  ok        device", 0), 0u) << detail;
    EXPECT_NE(detail.find("\n  ok        access"), std::string::npos) << detail;
    EXPECT_EQ(detail.find(" open "), std::string::npos) << detail;
    EXPECT_EQ(rig.host.takeDetailFor("Error during driver access!"), "");
    (void)checkChosenPort(app, options);
    EXPECT_EQ(rig.host.messages.back().caption, "Port prüfen…");
    EXPECT_EQ(rig.host.lastText(), detail);
    (void)app.dispatch(ids::VirtualControllerItem);  // no port of its own to explain
    EXPECT_EQ(rig.host.takeDetailFor(rig.host.lastText()), "");
}
#endif

TEST(LanguageChoice, TheMenuItemSwitchesAndRemembersBesideQvsetupCfg) {
    ShellRig rig;
    rig.writeConfig("COM3");
    App& app = rig.start();
    EXPECT_EQ(readLanguageChoice(rig.directory.path()), std::nullopt);
    for (const lang::Language language : {lang::Language::English, lang::Language::German}) {
        EXPECT_EQ(app.dispatch(ids::LanguageItem), ui::Outcome::Done);
        EXPECT_EQ(app.language(), language);
        EXPECT_EQ(readLanguageChoice(rig.directory.path()), language);
    }
    EXPECT_EQ(rig.config(), "COM3");
    EXPECT_TRUE(rig.host.messages.empty());
    // A file this program did not write chooses nothing.
    rig.directory.write(languageChoiceFileName, "lang=fr\n");
    EXPECT_EQ(readLanguageChoice(rig.directory.path()), std::nullopt);
}

}  // namespace
}  // namespace shell
