// "Sperrfunktionen" end to end on the virtual controller, and the checks before any
// sub-dialog opens.
#include <gtest/gtest.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "resources/lock_functions_dialog.h"
#include "subdialog_rig.h"

namespace subdialogs_test {
namespace {

using namespace lock_ids;

constexpr int lockAddress = 13;

// After the script: the two lock boxes ticked ("x"), the boxes and "Schreiben" usable ("+"),
// the lock byte in the controller and in the settings, the version field, the status field
// as the script ended, and the beeps.
std::string lockState(SubdialogRig& r, const std::string& status) {
    const ui::Dialog& d = *r.lastDialog;
    char line[96];
    std::snprintf(line, sizeof line, "%c%c%c%c %02X/%02X [%s] [%s] %d",
                  d.checked(RcSetupLockCheck) ? 'x' : '-',
                  d.checked(TestProgramLockCheck) ? 'x' : '-',
                  d.enabled(RcSetupLockCheck) && d.enabled(TestProgramLockCheck) ? '+' : '-',
                  d.enabled(WriteButton) ? '+' : '-', r.memory()[lockAddress], r.lockByte,
                  r.mainDialog.text(ids::VersionField).c_str(), status.c_str(), r.host().beeps);
    return line;
}

TEST(LockFunctions, ReadAndWrite) {
    const Script read = steps({{ReadButton}});
    const Script write = [](ui::Dialog& dialog, const Command& command) {
        dialog.setChecked(RcSetupLockCheck, false);
        dialog.setChecked(TestProgramLockCheck, true);
        command(WriteButton);
    };
    const Script readWrite = [&](ui::Dialog& d, const Command& c) { read(d, c), write(d, c); };
    const std::string unconfirmed = "Error!: Schreibfehler!\nError!: Schreibfehler!";
    const std::string level = "ERROR!: Funktion bei dieser Controllerversion nicht verfügbar!";
    const std::string unset = "ERROR!: Erst nach Setup mit Fernsteuerung verfügbar!";
    const std::string newer = ": Bitte aktuelles Setup-Programm downloaden!";
    const std::string family = "ERROR!: Bitte kompatibles Setup-Programm downloaden!";
    const struct {
        std::vector<std::pair<int, std::uint8_t>> memory;
        bool writesStick;
        Script script;
        const char* state;
        std::string messages = "";
    } cases[] = {
        {{{lockAddress, 0xFC}}, true, read, "xx++ FC/FC [V 10.11-1F] [ok] 1"},
        {{{lockAddress, 0xFF}}, true, read, "--++ FF/FF [V 10.11-1F] [ok] 1"},
        {{{lockAddress, 0x5F}}, true, readWrite, "-x++ 5D/5D [V 10.11-1F] [ok] 2"},
        // Before a read the lock byte of an earlier opening must not reach the controller.
        {{{lockAddress, 0x5F}}, true, write, "-x-- 5F/00 [] [ ] 0"},
        {{{lockAddress, 0xFF}}, false, readWrite, "-x++ FF/FD [V 10.11-1F] [ ] 1", unconfirmed},
        // The level check comes after the version field changed.
        {{{32, 0x30}, {33, 0x02}}, true, read, "---- FD/00 [V 30.02-1F] [ ] 0", level},
        {{{32, 0xFF}, {33, 0xFF}, {35, 0x20}}, true, read, "---- FD/00 [] [ ] 0", unset},
        {{{35, 0x21}}, true, read, "---- FD/00 [V 10.11-1F] [ ] 0", newer},
        // From then on every opening asks for a read (see Openings).
        {{{32, 0x20}, {33, 0x11}}, true, read, "---- FD/00 [] [ ] 0", family},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        SubdialogRig r;
        for (const auto& [address, value] : c.memory) {
            r.memory()[address] = value;
        }
        r.rig.controllerConfig().setupWritesStick = c.writesStick;
        std::string status;
        r.open(settings::openLockFunctions, [&](ui::Dialog& dialog, const Command& command) {
            c.script(dialog, command);
            status = r.mainDialog.text(ids::StatusField);
        });
        EXPECT_EQ(lockState(r, status), c.state);
        EXPECT_EQ(r.messages(), c.messages);
        EXPECT_EQ(r.mainDialog.text(ids::StatusField), " ");  // one blank back on closing
        EXPECT_FALSE(r.mainDialog.enabled(ids::StatusField));
        if (c.messages == family) {
            EXPECT_EQ(r.image.controllerVersion, 0xFFFF);
        }
    }
}

TEST(LockFunctions, OtherDeviceIsNamedOnReadButNotOnWrite) {
    SubdialogRig r;
    r.open(settings::openLockFunctions, [&r](ui::Dialog&, const Command& command) {
        command(ReadButton);
        r.rig.controllerConfig().kind = sim::DeviceKind::OtherKind;
        command(WriteButton);
        command(ReadButton);
    });
    EXPECT_EQ(r.messages(),
              "ERROR!: Keine Verbindung!\nERROR!: angeschlossenes Gerät ist kein ZEK-Micro!");
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
