// The shell's own commands: OK, End, port selection, help, About and the service page.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "shell/commands.h"
#include "shell/shell_rig.h"

namespace shell::testing {
namespace {

TEST(EndAndOk, EndSavesFourBytesAndClosesThePortOkDoesNeither) {
    const std::string fields = std::string(252, '\0') + " 4" + std::string(2, '\0') + "2.50";
    for (ui::ControlId command : {ids::EndButton, ids::Ok}) {
        const bool end = command == ids::EndButton;
        SCOPED_TRACE(end ? "End" : "OK");
        ShellRig rig;
        rig.writeConfig("COM3" + fields);
        App& app = rig.start();
        app.dispatch(ids::Com6Item);
        app.dispatch(command);
        EXPECT_TRUE(app.ended());
        EXPECT_EQ(rig.config(), (end ? "COM6" : "COM3") + fields);
        EXPECT_EQ(app.linkState().portOpen, !end);
        EXPECT_EQ(rig.recorder.count("close"), end ? 1 : 0);
    }
}

TEST(EndAndOk, EndReportsAVanishedFileAndCreatesNothing) {
    ShellRig rig;
    App& app = rig.start();
    std::filesystem::remove(rig.directory.file("qvsetup.cfg"));
    app.dispatch(ids::EndButton);
    EXPECT_FALSE(rig.directory.exists("qvsetup.cfg"));
    EXPECT_EQ(rig.boxes(),
              Boxes{"0 Error: " + cannotSavePortText(rig.directory.file("qvsetup.cfg"))});
    EXPECT_TRUE(app.ended());
}

TEST(PortSelection, ClosesTheOpenPortBeforeOpeningTheNewOne) {
    ShellRig rig;
    App& app = rig.start();
    app.dispatch(ids::Com2Item);
    app.dispatch(ids::Com3Item);
    const auto trace = rig.recorder.trace();
    const auto at = [&](const char* what) {
        return std::ranges::find(trace, what) - trace.begin();
    };
    EXPECT_LT(at("open COM2"), at("close"));
    EXPECT_LT(at("close"), at("open COM3"));
    EXPECT_LT(at("open COM3"), static_cast<long>(trace.size()));
    EXPECT_EQ(rig.checkedPortItems(), Items{ids::Com3Item});
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(PortSelection, NoAdapterEndsInTheErrorTailAndTheSelectionStays) {
    ShellRig rig;
    rig.recorder.dsr = adapter::testing::DsrMode::Missing;
    App& app = rig.start();
    app.dispatch(ids::Com5Item);
    EXPECT_EQ(rig.boxes(),
              Boxes{std::to_string(ids::MainDialog) + " Error: No Adaptor found at COM5\n"});
    EXPECT_EQ(rig.checkedPortItems(), Items{ids::Com5Item});
    EXPECT_EQ(app.mainDialog().text(ids::StatusField), " ");
    EXPECT_FALSE(app.mainDialog().enabled(ids::StatusField));
    app.dispatch(ids::EndButton);
    EXPECT_EQ(rig.config(), "COM5");
}

TEST(HelpDocument, OpenedFromTheStartDirectoryOnlyWhenItIsAFile) {
    for (const char* present : {"", "folder", "file"}) {
        SCOPED_TRACE(present);
        ShellRig rig;
        const std::string path = rig.directory.file("pc-setup-deutsch.pdf");
        if (present == std::string("folder")) {
            std::filesystem::create_directory(path);
        } else if (present == std::string("file")) {
            rig.directory.write("pc-setup-deutsch.pdf", "%PDF-1.4");
        }
        rig.start().dispatch(ids::HelpFileItem);
        const bool file = present == std::string("file");
        EXPECT_EQ(rig.host.opened, std::vector<std::string>(file ? 1 : 0, path));
        EXPECT_EQ(rig.boxes(), file ? Boxes{} : Boxes{"0 Error: pc-setup-deutsch.pdf not found!"});
    }
}

TEST(AboutAndServicePage, TextsAndAddress) {
    ShellRig rig;
    App& app = rig.start();
    app.dispatch(ids::AboutItem);
    EXPECT_EQ(rig.boxes(),
              Boxes{"0 ZEK Setup: ZEK-Micro Setup\nDas ZEK-Micro-Team\n\nVersion:   20"});
    EXPECT_EQ(rig.host.messages[0].buttons, ui::Buttons::Ok);
    app.dispatch(ids::ServicePageItem);
    ASSERT_EQ(rig.host.opened.size(), 1u);
    EXPECT_TRUE(rig.host.opened[0].ends_with("/zek-micro.htm"));
    EXPECT_EQ(rig.host.messages.size(), 1u);
}

TEST(Dispatch, UnknownIdsChangeNothing) {
    ShellRig rig;
    App& app = rig.start();
    for (ui::ControlId id : {0, 3, 1148, 1169, 1180, 9999}) {
        app.dispatch(id);
    }
    EXPECT_TRUE(rig.host.messages.empty());
    EXPECT_FALSE(app.ended());
    EXPECT_EQ(rig.serialPorts.opens, 0);
}

}  // namespace
}  // namespace shell::testing
