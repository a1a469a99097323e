// Dialog initialisation: qvsetup.cfg on first start and after, the port check marks.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "shell/shell_rig.h"

namespace shell::testing {
namespace {

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
        EXPECT_EQ(rig.config(), c.config);
        EXPECT_EQ(rig.checkedPortItems(), c.item == ui::noId ? Items{} : Items{c.item});
        EXPECT_EQ(app.port().kind,
                  c.parallelBase == 0 ? adapter::PortKind::Serial : adapter::PortKind::Parallel);
        if (c.parallelBase != 0) {
            EXPECT_EQ(app.port().parallelBase, c.parallelBase);
        }
        EXPECT_EQ(rig.boxes(), c.message.empty() ? Boxes{} : Boxes{c.message});
        EXPECT_EQ(rig.serialPorts.opens, 0);  // nothing opened before a command needs it
        app.dispatch(ids::EndButton);
        EXPECT_EQ(rig.config(), c.config);
        EXPECT_EQ(rig.host.messages.size(), c.message.empty() ? 0u : 1u);
    }
}

TEST(InitDialog, AFileOrDirectoryThatCannotBeWrittenKeepsThePresetAndSaysSo) {
    ShellRig rig;  // a folder in the file's place cannot be opened, and must not be replaced
    const std::string path = rig.directory.file("qvsetup.cfg");
    std::filesystem::create_directory(path);
    App& app = rig.start(serialOnly);
    EXPECT_EQ(app.port().portName, "COM2");
    EXPECT_EQ(rig.checkedPortItems(), Items{ids::Com2Item});
    const Boxes said = {"0 Error: qvsetup.cfg kann weder geöffnet noch angelegt werden:\n" + path +
                        "\nDie Port-Auswahl wird nicht gespeichert."};
    EXPECT_EQ(rig.boxes(), said);
    app.dispatch(ids::EndButton);
    EXPECT_EQ(rig.boxes(), said);  // said once
    EXPECT_TRUE(std::filesystem::is_directory(path));

    ShellRig plain;
    plain.directory.write("plain-file", "x");
    App& inFile = plain.startIn(plain.directory.file("plain-file"), withPortDriver);
    EXPECT_EQ(inFile.port().portName, "0378");
    EXPECT_EQ(inFile.port().parallelBase, 0x378);
    ASSERT_EQ(plain.host.messages.size(), 1u);
    EXPECT_EQ(plain.host.messages[0].caption, "Error");
}

}  // namespace
}  // namespace shell::testing
