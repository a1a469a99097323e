// The main dialog from its template on the virtual controller, with the settings
// context the commands receive.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "settings/settings.h"
#include "sim/test_rig.h"

namespace settings::testing {

using namespace ids;

inline constexpr int ownerMain = MainDialog;
inline constexpr int noOwner = 0;

struct SettingsRig {
    sim::TestRig rig;
    ui::Dialog dialog{resources::mainDialogTemplate()};
    SetupImage image;
    MotorData motorData;
    std::uint8_t lockByte = 0;
    SettingsContext ctx{rig.link(), dialog, image, motorData, lockByte};
    std::vector<std::string> statusWords;

    SettingsRig() {
        rig.link().mainWindow = &dialog;
        fillMainDialogLists(dialog);
        dialog.setEnabled(StatusField, false);
    }

    sim::SetupBytes& memory() { return rig.setupMemory(); }
    ui::RecordingHost& host() { return rig.host(); }
    std::size_t messageCount() { return host().messages.size(); }
    int word(std::size_t high) { return memory()[high] * 256 + memory()[high - 1]; }

    void read(SettingsArea area = SettingsArea::Current) { readSettings(ctx, area); }
    void write(SettingsArea area = SettingsArea::Current) { writeSettings(ctx, area); }
    // A check box toggles itself before its handler runs, as under the mouse.
    void click(ui::ControlId id) {
        if (dialog.control(id).kind == ui::Kind::CheckBox) {
            dialog.setChecked(id, !dialog.checked(id));
        }
        handleOptionCommand(ctx, id);
    }
    void type(ui::ControlId id, const std::string& text) { dialog.setText(id, text); }

    // A read that must succeed, with no box shown.
    void readOk(SettingsArea area = SettingsArea::Current) {
        const std::size_t before = messageCount();
        read(area);
        ASSERT_EQ(messageCount(), before) << "read refused: " << host().lastText();
    }
    void writeOk(SettingsArea area = SettingsArea::Current) {
        const std::size_t before = messageCount();
        write(area);
        ASSERT_EQ(messageCount(), before) << "write refused: " << host().lastText();
        EXPECT_EQ(dialog.text(StatusField), "OK");
        EXPECT_FALSE(dialog.enabled(StatusField));
    }
    // The only box shown so far.
    void expectOnlyMessage(const std::string& text, const std::string& caption, int owner) {
        ASSERT_EQ(messageCount(), 1u) << host().lastText();
        EXPECT_EQ(host().messages[0].text, text);
        EXPECT_EQ(host().messages[0].caption, caption);
        EXPECT_EQ(host().messages[0].ownerId, owner);
    }
    // Each distinct status text in the order the repaints show it.
    void recordStatusWords() {
        host().onRepaint = [this](ui::Dialog& d) {
            if (statusWords.empty() || statusWords.back() != d.text(StatusField)) {
                statusWords.push_back(d.text(StatusField));
            }
        };
    }
    // A stored RPM period of 500 without the RPM control's marker.
    void setRpmPeriod500() {
        memory()[27] = 0x01;
        memory()[28] = 0xF4;
        memory()[11] = 0;
    }
};

}  // namespace settings::testing
