// "Sperrfunktionen" end to end on the virtual controller.
#include <gtest/gtest.h>

#include "resources/lock_functions_dialog.h"
#include "subdialog_rig.h"

namespace subdialogs_test {
namespace {

using namespace lock_ids;

constexpr int lockAddress = 13;

struct LockFunctionsTest : ::testing::Test {
    SubdialogRig r;

    void open() { settings::openLockFunctions(r.ctx); }
    // Opens, presses "Lesen", then runs more of the script.
    void readThen(std::function<void(ui::Dialog&, const SubdialogRig::Command&)> more = {}) {
        r.whenOpen([more](ui::Dialog& dialog, const SubdialogRig::Command& command) {
            command(ReadButton);
            if (more) {
                more(dialog, command);
            }
        });
        open();
    }
};

TEST_F(LockFunctionsTest, ClearBitsShowAsLocks) {
    r.memory()[lockAddress] = 0xFC;
    readThen();
    ASSERT_TRUE(r.lastDialog);
    EXPECT_TRUE(r.lastDialog->checked(RcSetupLockCheck));
    EXPECT_TRUE(r.lastDialog->checked(TestProgramLockCheck));
    EXPECT_TRUE(r.lastDialog->enabled(WriteButton));
    EXPECT_TRUE(r.host().messages.empty());
    EXPECT_EQ(r.mainDialog.text(ids::VersionField), "V 10.11-1F");
    EXPECT_EQ(r.lockByte, 0xFC);
    // Closing puts one blank back into the status field.
    EXPECT_EQ(r.mainDialog.text(ids::StatusField), " ");
    EXPECT_FALSE(r.mainDialog.enabled(ids::StatusField));
    EXPECT_EQ(r.host().beeps, 1);
}

TEST_F(LockFunctionsTest, ErasedLockByteLocksNothing) {
    r.memory()[lockAddress] = 0xFF;
    std::string statusAfterRead;
    readThen([&](ui::Dialog&, const SubdialogRig::Command&) {
        statusAfterRead = r.mainDialog.text(ids::StatusField);
    });
    EXPECT_EQ(statusAfterRead, "ok");
    EXPECT_FALSE(r.lastDialog->checked(RcSetupLockCheck));
    EXPECT_FALSE(r.lastDialog->checked(TestProgramLockCheck));
}

TEST_F(LockFunctionsTest, WriteChangesOnlyTheTwoLockBits) {
    r.memory()[lockAddress] = 0x5F;
    readThen([](ui::Dialog& dialog, const SubdialogRig::Command& command) {
        dialog.setChecked(RcSetupLockCheck, false);
        dialog.setChecked(TestProgramLockCheck, true);
        command(WriteButton);
    });
    EXPECT_EQ(r.memory()[lockAddress], 0x5D);
    EXPECT_EQ(r.lockByte, 0x5D);
    EXPECT_TRUE(r.host().messages.empty());
    EXPECT_EQ(r.host().beeps, 2);
}

TEST_F(LockFunctionsTest, WriteIsUnusableBeforeAReadInTheSameOpening) {
    // A lock byte from an earlier opening must not reach the controller.
    r.lockByte = 0x00;
    r.memory()[lockAddress] = 0xFF;
    r.whenOpen([](ui::Dialog& dialog, const SubdialogRig::Command& command) {
        EXPECT_FALSE(dialog.enabled(WriteButton));
        EXPECT_FALSE(dialog.enabled(RcSetupLockCheck));
        EXPECT_FALSE(dialog.enabled(TestProgramLockCheck));
        dialog.setChecked(RcSetupLockCheck, true);
        command(WriteButton);
    });
    open();
    EXPECT_EQ(r.memory()[lockAddress], 0xFF);
    EXPECT_TRUE(r.host().messages.empty());
    EXPECT_EQ(r.host().beeps, 0);
}

TEST_F(LockFunctionsTest, LowFirmwareLevelStopsAfterTheVersionFieldChanged) {
    r.memory()[32] = 0x30;
    r.memory()[33] = 0x02;
    readThen();
    EXPECT_EQ(r.host().lastText(), "Funktion bei dieser Controllerversion nicht verfügbar!");
    EXPECT_EQ(r.host().lastCaption(), "ERROR!");
    EXPECT_EQ(r.mainDialog.text(ids::VersionField), "V 30.02-1F");
    EXPECT_EQ(r.image.controllerVersion, 0x3002);
    EXPECT_FALSE(r.lastDialog->enabled(WriteButton));
}

TEST_F(LockFunctionsTest, IncompatibleFamilyMakesEveryOpeningAskForARead) {
    r.memory()[32] = 0x20;
    r.memory()[33] = 0x11;
    readThen();
    EXPECT_EQ(r.host().lastText(), "Bitte kompatibles Setup-Programm downloaden!");
    EXPECT_EQ(r.host().lastCaption(), "ERROR!");
    EXPECT_EQ(r.image.controllerVersion, 0xFFFF);

    r.host().messages.clear();
    settings::openLockFunctions(r.ctx);
    settings::openRpmControl(r.ctx);
    settings::openRevCounter(r.ctx);
    ASSERT_EQ(r.host().messages.size(), 3u);
    for (const ui::RecordedMessage& message : r.host().messages) {
        EXPECT_EQ(message.text, "Zuerst Werte einlesen!");
        EXPECT_EQ(message.caption, "Error!");
    }
    EXPECT_TRUE(r.host().modalScripts.empty());
}

TEST_F(LockFunctionsTest, IdentityRefusals) {
    struct Case {
        std::uint8_t major, minor, level;
        const char* text;
        const char* caption;
    };
    const Case cases[] = {
        {0xFF, 0xFF, 0x20, "Erst nach Setup mit Fernsteuerung verfügbar!", "ERROR!"},
        {0x10, 0x11, 0x21, "Bitte aktuelles Setup-Programm downloaden!", ""},
    };
    for (const Case& c : cases) {
        SubdialogRig rig;
        rig.memory()[32] = c.major;
        rig.memory()[33] = c.minor;
        rig.memory()[35] = c.level;
        rig.whenOpen(
            [](ui::Dialog&, const SubdialogRig::Command& command) { command(ReadButton); });
        settings::openLockFunctions(rig.ctx);
        ASSERT_EQ(rig.host().messages.size(), 1u) << c.text;
        EXPECT_EQ(rig.host().lastText(), c.text);
        EXPECT_EQ(rig.host().lastCaption(), c.caption);
        EXPECT_FALSE(rig.lastDialog->enabled(WriteButton));
    }
}

TEST_F(LockFunctionsTest, OtherDeviceIsNamedOnReadButNotOnWrite) {
    readThen([this](ui::Dialog&, const SubdialogRig::Command& command) {
        r.rig.controllerConfig().kind = sim::DeviceKind::OtherKind;
        command(WriteButton);
        command(ReadButton);
    });
    ASSERT_EQ(r.host().messages.size(), 2u);
    EXPECT_EQ(r.host().messages[0].text, "Keine Verbindung!");
    EXPECT_EQ(r.host().messages[1].text, "angeschlossenes Gerät ist kein ZEK-Micro!");
    EXPECT_EQ(r.host().messages[1].caption, "ERROR!");
    // Still enabled: a failed later read keeps what the good one allowed.
    EXPECT_TRUE(r.lastDialog->enabled(WriteButton));
}

TEST_F(LockFunctionsTest, UnconfirmedWriteIsReportedTwice) {
    r.memory()[lockAddress] = 0xFF;
    readThen([this](ui::Dialog& dialog, const SubdialogRig::Command& command) {
        r.rig.controllerConfig().setupWritesStick = false;
        dialog.setChecked(RcSetupLockCheck, true);
        command(WriteButton);
    });
    ASSERT_EQ(r.host().messages.size(), 2u);
    for (const ui::RecordedMessage& message : r.host().messages) {
        EXPECT_EQ(message.text, "Schreibfehler!");
        EXPECT_EQ(message.caption, "Error!");
    }
    EXPECT_EQ(r.lockByte, 0xFE);
}

TEST_F(LockFunctionsTest, OpeningNeedsReadValuesAndAnAdapter) {
    r.image.controllerVersion = settings::versionAtStart;
    open();
    EXPECT_EQ(r.host().lastText(), "Zuerst Werte einlesen!");
    EXPECT_EQ(r.host().messages.back().ownerId, noOwner);

    r.image.controllerVersion = 0x1011;
    r.rig.serialConfig().loopBack = sim::LoopBack::Missing;
    r.whenOpen([](ui::Dialog&, const SubdialogRig::Command&) {});
    open();
    EXPECT_EQ(r.host().lastText(), "No Adaptor found at COM2\n");
    EXPECT_EQ(r.host().lastCaption(), "Error");
    EXPECT_EQ(r.host().messages.back().ownerId, ids::MainDialog);
    EXPECT_EQ(r.mainDialog.text(ids::StatusField), " ");
    EXPECT_FALSE(r.mainDialog.enabled(ids::StatusField));
    EXPECT_EQ(r.host().modalScripts.size(), 1u);
}

}  // namespace
}  // namespace subdialogs_test
