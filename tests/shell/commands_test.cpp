// The shell's own commands: OK, End, port selection, help, About and the service page.
#include <gtest/gtest.h>

#include <algorithm>

#include "resources/main_dialog_ids.h"
#include "shell/commands.h"
#include "shell/shell_rig.h"

namespace shell::testing {
namespace {

using adapter::testing::DsrMode;

const std::string motorFields = std::string(252, '\0') + " 4" + std::string(2, '\0') + "2.50";

std::ptrdiff_t position(const std::vector<std::string>& trace, const std::string& what) {
    auto it = std::find(trace.begin(), trace.end(), what);
    return it == trace.end() ? -1 : it - trace.begin();
}

TEST(EndSequence, WritesExactlyThePortBytesAndClosesThePort) {
    ShellRig rig;
    rig.writeConfig("COM3" + motorFields);
    App& app = rig.start();
    app.dispatch(ids::Com6Item);
    ASSERT_TRUE(app.linkState().portOpen);
    rig.recorder.clear();

    app.dispatch(ids::EndButton);
    EXPECT_EQ(rig.config(), "COM6" + motorFields);
    EXPECT_FALSE(app.linkState().portOpen);
    EXPECT_EQ(rig.recorder.count("close"), 1);
    EXPECT_TRUE(app.ended());
    EXPECT_EQ(app.mainDialog().result(), 1);
}

TEST(OkCommand, EndsWithoutSavingOrClosing) {
    ShellRig rig;
    rig.writeConfig("COM3" + motorFields);
    App& app = rig.start();
    app.dispatch(ids::Com6Item);
    app.dispatch(ids::Ok);
    EXPECT_TRUE(app.ended());
    EXPECT_EQ(rig.config(), "COM3" + motorFields);
    EXPECT_TRUE(app.linkState().portOpen);
}

TEST(EndSequence, ReportsWhenTheFileVanishedAndCreatesNothing) {
    ShellRig rig;
    App& app = rig.start();
    std::filesystem::remove(rig.directory.file("qvsetup.cfg"));
    app.dispatch(ids::EndButton);
    EXPECT_FALSE(rig.directory.exists("qvsetup.cfg"));
    EXPECT_EQ(rig.host.lastText(), cannotSavePortText(rig.directory.file("qvsetup.cfg")));
    EXPECT_TRUE(app.ended());
}

TEST(PortSelection, ClosesTheOpenPortBeforeOpeningTheNewOne) {
    ShellRig rig;
    App& app = rig.start();
    app.dispatch(ids::Com2Item);
    app.dispatch(ids::Com3Item);
    const auto trace = rig.recorder.trace();
    const auto firstOpen = position(trace, "open COM2");
    const auto close = position(trace, "close");
    const auto secondOpen = position(trace, "open COM3");
    ASSERT_GE(firstOpen, 0);
    EXPECT_LT(firstOpen, close);
    EXPECT_LT(close, secondOpen);
    EXPECT_TRUE(app.mainDialog().menuItem(ids::Com3Item).checked);
    EXPECT_FALSE(app.mainDialog().menuItem(ids::Com2Item).checked);
    EXPECT_TRUE(app.linkState().adapterDetected);
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(PortSelection, TheSamePortAgainIsReopenedAndCheckedAgain) {
    ShellRig rig;
    App& app = rig.start();
    app.dispatch(ids::Com2Item);
    app.dispatch(ids::Com2Item);
    EXPECT_EQ(rig.serialPorts.opens, 2);
    EXPECT_EQ(rig.recorder.count("close"), 1);
    EXPECT_TRUE(app.linkState().portOpen);
}

TEST(PortSelection, NoAdapterEndsInTheErrorTailAndTheSelectionStays) {
    ShellRig rig;
    rig.recorder.dsr = DsrMode::Missing;
    App& app = rig.start();
    app.dispatch(ids::Com5Item);
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text, "No Adaptor found at COM5\n");
    EXPECT_EQ(rig.host.messages[0].caption, "Error");
    EXPECT_EQ(rig.host.messages[0].ownerId, ids::MainDialog);
    EXPECT_TRUE(app.mainDialog().menuItem(ids::Com5Item).checked);
    EXPECT_EQ(app.mainDialog().text(ids::StatusField), " ");
    EXPECT_FALSE(app.mainDialog().enabled(ids::StatusField));
    app.dispatch(ids::EndButton);
    EXPECT_EQ(rig.config(), "COM5");
}

TEST(PortSelection, AnOpeningFailureShowsItsText) {
    ShellRig rig;
    rig.serialPorts.nextResult = adapter::SerialOpenResult::CannotWriteTimeouts;
    App& app = rig.start();
    app.dispatch(ids::Com1Item);
    EXPECT_EQ(rig.host.lastText(), "Kann TIMEOUTS nicht schreiben.");
    EXPECT_FALSE(app.linkState().portOpen);
    EXPECT_EQ(app.port().portName, "COM1");
}

TEST(HelpDocument, MissingDocumentIsReportedAndNothingOpened) {
    ShellRig rig;
    App& app = rig.start();
    app.dispatch(ids::HelpFileItem);
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text, "pc-setup-deutsch.pdf not found!");
    EXPECT_EQ(rig.host.messages[0].caption, "Error");
    EXPECT_EQ(rig.host.messages[0].ownerId, 0);
    EXPECT_TRUE(rig.host.opened.empty());
}

TEST(HelpDocument, AFolderOfThatNameIsNoDocument) {
    ShellRig rig;
    std::filesystem::create_directory(rig.directory.file("pc-setup-deutsch.pdf"));
    App& app = rig.start();
    app.dispatch(ids::HelpFileItem);
    EXPECT_EQ(rig.host.lastText(), "pc-setup-deutsch.pdf not found!");
    EXPECT_TRUE(rig.host.opened.empty());
}

TEST(HelpDocument, PresentDocumentIsOpenedFromTheStartDirectory) {
    ShellRig rig;
    rig.directory.write("pc-setup-deutsch.pdf", "%PDF-1.4");
    App& app = rig.start();
    app.dispatch(ids::HelpFileItem);
    EXPECT_TRUE(rig.host.messages.empty());
    EXPECT_EQ(rig.host.opened,
              std::vector<std::string>{rig.directory.file("pc-setup-deutsch.pdf")});
}

TEST(AboutBox, ShowsTheLevelInFourHexDigitsWithoutOwner) {
    ShellRig rig;
    App& app = rig.start();
    app.dispatch(ids::AboutItem);
    ASSERT_EQ(rig.host.messages.size(), 1u);
    const ui::RecordedMessage& box = rig.host.messages[0];
    EXPECT_EQ(box.caption, "ZEK Setup");
    EXPECT_EQ(box.ownerId, 0);
    EXPECT_EQ(box.buttons, ui::Buttons::Ok);
    const std::string tail = "\n\nVersion:   20";
    ASSERT_GT(box.text.size(), tail.size());
    EXPECT_EQ(box.text.substr(box.text.size() - tail.size()), tail);
}

TEST(ServicePage, OpensTheZekMicroPageAndReportsNothing) {
    ShellRig rig;
    App& app = rig.start();
    app.dispatch(ids::ServicePageItem);
    ASSERT_EQ(rig.host.opened.size(), 1u);
    const std::string& address = rig.host.opened[0];
    EXPECT_EQ(address.rfind("/zek-micro.htm"), address.size() - 14);
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(Dispatch, UnknownIdsChangeNothing) {
    ShellRig rig;
    App& app = rig.start();
    const auto before = app.mainDialog().controls();
    for (ui::ControlId id : {0, 3, 1148, 1169, 1180, 9999}) {
        app.dispatch(id);
    }
    EXPECT_EQ(app.mainDialog().controls().size(), before.size());
    EXPECT_TRUE(rig.host.messages.empty());
    EXPECT_FALSE(app.ended());
    EXPECT_EQ(rig.serialPorts.opens, 0);
}

}  // namespace
}  // namespace shell::testing
