// "Sperrfunktionen" end to end on the virtual controller, and the read values every
// sub-dialog needs.
#include <gtest/gtest.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "resources/lock_functions_dialog.h"
#include "subdialog_rig.h"

namespace subdialogs_test {
namespace {

using namespace lock_ids;

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
                  d.enabled(WriteButton) ? '+' : '-', r.memory()[13], r.lockByte,
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
    const std::string family = "ERROR!: Bitte kompatibles Setup-Programm downloaden!";
    const struct {
        std::vector<std::pair<int, std::uint8_t>> memory;
        bool writesStick;
        Script script;
        const char* state;
        std::string messages = "";
    } cases[] = {
        {{{13, 0xFC}}, true, read, "xx++ FC/FC [V 10.11-1F] [ok] 1"},
        {{{13, 0xFF}}, true, read, "--++ FF/FF [V 10.11-1F] [ok] 1"},
        {{{13, 0x5F}}, true, readWrite, "-x++ 5D/5D [V 10.11-1F] [ok] 2"},
        // Before a read the lock byte of an earlier opening must not reach the controller.
        {{{13, 0x5F}}, true, write, "-x-- 5F/00 [] [ ] 0"},
        {{{13, 0xFF}}, false, readWrite, "-x++ FF/FD [V 10.11-1F] [ ] 1", unconfirmed},
        // The level check comes after the version field changed.
        {{{32, 0x30}, {33, 0x02}}, true, read, "---- FD/00 [V 30.02-1F] [ ] 0", level},
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
    }
}

// Never read, or an incompatible family read.
TEST(Openings, NeedReadValues) {
    for (auto opening :
         {settings::openLockFunctions, settings::openRpmControl, settings::openRevCounter}) {
        for (std::int32_t version : {settings::versionAtStart, 0xFFFF}) {
            SubdialogRig unread;
            unread.image.controllerVersion = version;
            unread.open(opening);
            EXPECT_EQ(unread.messages(), "Error!: Zuerst Werte einlesen!");
            EXPECT_EQ(unread.lastOwner(), noOwner);
            EXPECT_FALSE(unread.lastDialog);
        }
    }
}

}  // namespace
}  // namespace subdialogs_test
