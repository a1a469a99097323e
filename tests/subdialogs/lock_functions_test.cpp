// "Sperrfunktionen" end to end on the virtual controller, and the checks before any
// sub-dialog opens.
#include <gtest/gtest.h>

#include "resources/lock_functions_dialog.h"
#include "subdialog_rig.h"

namespace subdialogs_test {
namespace {

using namespace lock_ids;

constexpr int lockAddress = 13;

// Clear bits show as locks; writing changes only those two bits.
TEST(LockFunctions, ReadAndWriteTheTwoLockBits) {
    struct Case {
        std::uint8_t before, after;
        bool write;
        int beeps;
    };
    for (const Case& c :
         {Case{0xFC, 0xFC, false, 1}, {0xFF, 0xFF, false, 1}, {0x5F, 0x5D, true, 2}}) {
        SCOPED_TRACE(int{c.before});
        SubdialogRig r;
        r.memory()[lockAddress] = c.before;
        std::string checks, status;
        r.open(settings::openLockFunctions, [&](ui::Dialog& dialog, const Command& command) {
            command(ReadButton);
            status = r.mainDialog.text(ids::StatusField);
            for (ui::ControlId id : {RcSetupLockCheck, TestProgramLockCheck}) {
                checks += dialog.checked(id) ? "x" : "-";
                dialog.setChecked(id, id == TestProgramLockCheck);
            }
            if (c.write) {
                command(WriteButton);
            }
        });
        EXPECT_EQ(checks, c.before == 0xFC ? "xx" : "--");
        EXPECT_EQ(r.messages(), "");
        EXPECT_EQ(status, "ok");
        EXPECT_EQ(r.memory()[lockAddress], c.after);
        EXPECT_EQ(r.lockByte, c.after);
        EXPECT_TRUE(r.lastDialog->enabled(WriteButton));
        EXPECT_EQ(r.mainDialog.text(ids::VersionField), "V 10.11-1F");
        EXPECT_EQ(r.mainDialog.text(ids::StatusField), " ");  // one blank back on closing
        EXPECT_FALSE(r.mainDialog.enabled(ids::StatusField));
        EXPECT_EQ(r.host().beeps, c.beeps);
    }
}

TEST(LockFunctions, WriteIsUnusableBeforeAReadInTheSameOpening) {
    SubdialogRig r;
    r.lockByte = 0x00;  // from an earlier opening: must not reach the controller
    r.memory()[lockAddress] = 0xFF;
    r.open(settings::openLockFunctions, [](ui::Dialog& dialog, const Command& command) {
        for (ui::ControlId id : {WriteButton, RcSetupLockCheck, TestProgramLockCheck}) {
            EXPECT_FALSE(dialog.enabled(id)) << id;
        }
        dialog.setChecked(RcSetupLockCheck, true);
        command(WriteButton);
    });
    EXPECT_EQ(r.memory()[lockAddress], 0xFF);
    EXPECT_EQ(r.messages(), "");
    EXPECT_EQ(r.host().beeps, 0);
}

TEST(LockFunctions, IdentityRefusalsKeepWriteUnusable) {
    struct Case {
        std::uint8_t major, minor, level;
        const char* message;
    };
    const Case cases[] = {
        {0x30, 0x02, 0x1F, "ERROR!: Funktion bei dieser Controllerversion nicht verfügbar!"},
        {0xFF, 0xFF, 0x20, "ERROR!: Erst nach Setup mit Fernsteuerung verfügbar!"},
        {0x10, 0x11, 0x21, ": Bitte aktuelles Setup-Programm downloaden!"},
        {0x20, 0x11, 0x1F, "ERROR!: Bitte kompatibles Setup-Programm downloaden!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        SubdialogRig r;
        r.memory()[32] = c.major;
        r.memory()[33] = c.minor;
        r.memory()[35] = c.level;
        r.open(settings::openLockFunctions, steps({{ReadButton}}));
        EXPECT_EQ(r.messages(), c.message);
        EXPECT_FALSE(r.lastDialog->enabled(WriteButton));
        if (c.major == 0x30) {  // the level check comes after the version field changed
            EXPECT_EQ(r.mainDialog.text(ids::VersionField), "V 30.02-1F");
            EXPECT_EQ(r.image.controllerVersion, 0x3002);
        }
        if (c.major == 0x20) {  // every later opening asks for a read: see below
            EXPECT_EQ(r.image.controllerVersion, 0xFFFF);
        }
    }
}

TEST(LockFunctions, FailuresOnReadAndWrite) {
    SubdialogRig r;
    r.memory()[lockAddress] = 0xFF;
    r.open(settings::openLockFunctions, [&r](ui::Dialog& dialog, const Command& command) {
        command(ReadButton);
        r.rig.controllerConfig().setupWritesStick = false;
        dialog.setChecked(RcSetupLockCheck, true);
        command(WriteButton);
        r.rig.controllerConfig().kind = sim::DeviceKind::OtherKind;
        command(WriteButton);
        command(ReadButton);
    });
    EXPECT_EQ(r.messages(),
              "Error!: Schreibfehler!\nError!: Schreibfehler!\n"
              "ERROR!: Keine Verbindung!\nERROR!: angeschlossenes Gerät ist kein ZEK-Micro!");
    EXPECT_EQ(r.lockByte, 0xFE);  // the unconfirmed write still counts as the new byte
    EXPECT_TRUE(r.lastDialog->enabled(WriteButton));  // a failed later read keeps it
}

TEST(Openings, NeedReadValuesAndAnAdapter) {
    for (auto opening :
         {settings::openLockFunctions, settings::openRpmControl, settings::openRevCounter}) {
        for (std::int32_t version : {settings::versionAtStart, 0xFFFF}) {
            SubdialogRig unread;  // never read, or an incompatible family read
            unread.image.controllerVersion = version;
            unread.mainDialog.setText(ids::MaxFrequencyField, "1003");
            unread.open(opening);
            EXPECT_EQ(unread.messages(), "Error!: Zuerst Werte einlesen!");
            EXPECT_EQ(unread.lastOwner(), noOwner);
            EXPECT_EQ(unread.mainDialog.text(ids::MaxFrequencyField), "1003");
            EXPECT_FALSE(unread.lastDialog);
        }
        if (opening == settings::openRpmControl) {
            continue;  // it looks for the adapter on reading
        }
        SubdialogRig missing;
        missing.rig.serialConfig().loopBack = sim::LoopBack::Missing;
        missing.mainDialog.setText(ids::StatusField, "OK");
        missing.open(opening);
        EXPECT_EQ(missing.messages(), "Error: No Adaptor found at COM2\n");
        EXPECT_EQ(missing.lastOwner(), ids::MainDialog);
        EXPECT_EQ(missing.mainDialog.text(ids::StatusField), " ");
        EXPECT_FALSE(missing.mainDialog.enabled(ids::StatusField));
        EXPECT_FALSE(missing.lastDialog);
    }
}

}  // namespace
}  // namespace subdialogs_test
