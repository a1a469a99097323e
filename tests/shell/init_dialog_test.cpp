// Dialog initialisation: qvsetup.cfg on first start and after, the port check marks.
#include <gtest/gtest.h>

#include <filesystem>

#include "resources/main_dialog_ids.h"
#include "shell/shell_rig.h"

namespace shell::testing {
namespace {

using adapter::PortKind;

std::vector<ui::ControlId> checkedPortItems(const ui::Dialog& dialog) {
    std::vector<ui::ControlId> checked;
    for (ui::ControlId id = ids::Com1Item; id <= ids::Com8Item; ++id) {
        if (dialog.menuItem(id).checked) {
            checked.push_back(id);
        }
    }
    return checked;
}

TEST(InitDialog, FirstStartWithoutParallelAccessCreatesCom2) {
    ShellRig rig;
    App& app = rig.start(serialOnly);
    EXPECT_EQ(rig.config(), "COM2");
    EXPECT_EQ(checkedPortItems(app.mainDialog()), std::vector<ui::ControlId>{ids::Com2Item});
    EXPECT_EQ(app.port().kind, PortKind::Serial);
    EXPECT_EQ(app.port().comDeviceName, "COM2");
    EXPECT_EQ(app.port().startDirectory, rig.directory.path());
    EXPECT_FALSE(app.mainDialog().enabled(ids::StatusField));
    EXPECT_TRUE(rig.host.messages.empty());
    // No port is opened before a command needs it.
    EXPECT_EQ(rig.serialPorts.opens, 0);
}

TEST(InitDialog, FirstStartWithPortDriverCreates0378) {
    ShellRig rig;
    App& app = rig.start(withPortDriver);
    EXPECT_EQ(rig.config(), "0378");
    EXPECT_TRUE(checkedPortItems(app.mainDialog()).empty());
    EXPECT_EQ(app.port().kind, PortKind::Parallel);
    EXPECT_EQ(app.port().parallelBase, 0x378);
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(InitDialog, ParallelPortWithoutAccessBecomesCom2AndIsWrittenBack) {
    ShellRig rig;
    std::string bytes = "0278" + std::string(252, '\0') + " 2" + std::string(2, '\0') + "1.00";
    rig.writeConfig(bytes);
    App& app = rig.start(serialOnly);
    EXPECT_EQ(app.port().portName, "COM2");
    EXPECT_EQ(app.port().kind, PortKind::Serial);
    bytes.replace(0, 4, "COM2");
    EXPECT_EQ(rig.config(), bytes);
}

TEST(InitDialog, ParallelBasesAreTakenWithAccess) {
    for (const auto& [name, base] : {std::pair{"0278", 0x278}, {"0378", 0x378}, {"03BC", 0x3BC}}) {
        ShellRig rig;
        rig.writeConfig(name);
        App& app = rig.start(withPortDriver);
        EXPECT_EQ(app.port().kind, PortKind::Parallel) << name;
        EXPECT_EQ(app.port().parallelBase, base) << name;
        EXPECT_TRUE(checkedPortItems(app.mainDialog()).empty()) << name;
        EXPECT_EQ(rig.config(), name);
    }
}

TEST(InitDialog, EverySerialPortChecksItsItem) {
    for (int n = 1; n <= 8; ++n) {
        ShellRig rig;
        const std::string name = "COM" + std::to_string(n);
        rig.writeConfig(name + "\r\n");
        App& app = rig.start(serialOnly);
        EXPECT_EQ(checkedPortItems(app.mainDialog()),
                  std::vector<ui::ControlId>{ids::Com1Item + n - 1});
        EXPECT_EQ(app.port().comDeviceName, name);
        EXPECT_EQ(rig.config(), name + "\r\n");
    }
}

TEST(InitDialog, UnknownPortNameIsKeptAndReported) {
    ShellRig rig;
    rig.writeConfig("COM9");
    App& app = rig.start(serialOnly);
    EXPECT_TRUE(checkedPortItems(app.mainDialog()).empty());
    EXPECT_EQ(app.port().kind, PortKind::Parallel);
    EXPECT_EQ(app.port().parallelBase, 0x378);
    EXPECT_EQ(rig.config(), "COM9");
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(
        rig.host.messages[0].text,
        "Unbekannter Port \"COM9\" in qvsetup.cfg.\nBitte im Menü \"Port\" einen Port wählen.");
    EXPECT_EQ(rig.host.messages[0].ownerId, 0);
}

TEST(InitDialog, PortNamesCompareExactly) {
    // Lower case and garbage match no row; the message shows no raw control bytes.
    ShellRig rig;
    rig.writeConfig(std::string("c\x01m3", 4));
    rig.start(withPortDriver);
    EXPECT_EQ(
        rig.host.lastText(),
        "Unbekannter Port \"c?m3\" in qvsetup.cfg.\nBitte im Menü \"Port\" einen Port wählen.");
}

TEST(InitDialog, EmptyFileWithParallelAccessSelectsNothingAndEndWritesNothing) {
    ShellRig rig;
    rig.writeConfig("");
    App& app = rig.start(withPortDriver);
    EXPECT_EQ(app.port().portName, "");
    EXPECT_EQ(app.port().kind, PortKind::Parallel);
    EXPECT_EQ(app.port().parallelBase, 0x378);
    EXPECT_TRUE(checkedPortItems(app.mainDialog()).empty());
    app.dispatch(ids::EndButton);
    EXPECT_EQ(rig.config(), "");
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(InitDialog, ConfigFileThatCannotBeOpenedKeepsThePresetAndSaysSo) {
    // A folder in the file's place cannot be opened, and must not be replaced.
    ShellRig rig;
    std::filesystem::create_directory(rig.directory.file("qvsetup.cfg"));
    App& app = rig.start(serialOnly);
    EXPECT_EQ(app.port().portName, "COM2");
    EXPECT_EQ(checkedPortItems(app.mainDialog()), std::vector<ui::ControlId>{ids::Com2Item});
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text, "qvsetup.cfg kann weder geöffnet noch angelegt werden:\n" +
                                             rig.directory.file("qvsetup.cfg") +
                                             "\nDie Port-Auswahl wird nicht gespeichert.");
    EXPECT_EQ(rig.host.messages[0].caption, "Error");
    EXPECT_TRUE(std::filesystem::is_directory(rig.directory.file("qvsetup.cfg")));

    // Said once: the End sequence does not repeat it.
    app.dispatch(ids::EndButton);
    EXPECT_EQ(rig.host.messages.size(), 1u);
    EXPECT_TRUE(app.ended());
}

TEST(InitDialog, DirectoryThatCannotBeWrittenKeepsThePreset) {
    ShellRig rig;
    rig.directory.write("plain-file", "x");
    App& app = rig.startIn(rig.directory.file("plain-file"), withPortDriver);
    EXPECT_EQ(app.port().portName, "0378");
    EXPECT_EQ(app.port().parallelBase, 0x378);
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].caption, "Error");
}

}  // namespace
}  // namespace shell::testing
