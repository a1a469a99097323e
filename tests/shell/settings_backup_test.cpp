#include "safety/settings_backup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "settings/settings.h"

namespace safety {
namespace {

using testing::HasSubstr;

// A main dialog as a read of a family-1 controller leaves it.
struct ReadDialog {
    ReadDialog() : dialog(resources::mainDialogTemplate()) {
        settings::fillMainDialogLists(dialog);
        for (const auto& [id, text] : {std::pair{ids::VersionField, "V 10.11-1F"},
                                       {ids::FullThrottleField, "2.00"},
                                       {ids::NeutralField, "1.50"},
                                       {ids::StopField, "1.00"},
                                       {ids::VoltsField, "8.4"},
                                       {ids::ControlSpeedField, " 10"},
                                       {ids::StartPowerField, " 10"}}) {
            dialog.setText(id, text);
        }
        for (const ui::ControlId id :
             {ids::Frequency78Radio, ids::ReducePowerRadio, ids::ToleranceMediumRadio}) {
            dialog.setChecked(id, true);
        }
        dialog.setSelection(ids::TimingList, 2);
        dialog.setSelection(ids::BrakeList, 0);
        image.controllerVersion = 0x100B;
        image.thresholdCode = 77;
        image.timingCode = 8;
    }
    ui::Dialog dialog;
    settings::SetupImage image;
};

std::string backupText(const SettingsBackup& backup) {
    return base::json::write(backupToJson(backup));
}

// The backup text with one member of one control replaced.
std::string edited(const std::string& text, const std::string& from, const std::string& to) {
    std::string result = text;
    const auto at = result.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) {
        result.replace(at, from.size(), to);
    }
    return result;
}

TEST(SettingsBackup, PutsBackTheSettingsAndOnlyThem) {
    ReadDialog read;
    read.dialog.setText(ids::TransmitterFailureCounter, " 7");
    const std::string text = backupText(takeBackup(read.dialog, read.image));
    BackupRead parsed = parseBackup(text);
    ASSERT_TRUE(parsed.backup) << parsed.error;
    EXPECT_EQ(parsed.backup->family, 1);
    EXPECT_EQ(parsed.backup->versionText, "V 10.11-1F");

    ReadDialog other;
    other.dialog.setText(ids::FullThrottleField, "1.90");
    other.dialog.setSelection(ids::TimingList, 5);
    other.dialog.setChecked(ids::RpmLimitCheck, true);
    other.dialog.setText(ids::TransmitterFailureCounter, " 3");
    other.dialog.setText(ids::VersionField, "V 10.12-1F");
    other.image.thresholdCode = 255;
    other.image.timingCode = 1;
    applyBackup(*parsed.backup, other.dialog, other.image);
    EXPECT_EQ(other.dialog.text(ids::TimingList), "15,0°");
    // Log counters and display fields are no settings.
    EXPECT_EQ(other.dialog.text(ids::TransmitterFailureCounter), " 3");
    EXPECT_EQ(other.dialog.text(ids::VersionField), "V 10.12-1F");
    // Every setting and code is back: a backup taken now is the one applied.
    other.dialog.setText(ids::VersionField, "V 10.11-1F");
    EXPECT_EQ(backupText(takeBackup(other.dialog, other.image)), text);
}

TEST(SettingsBackup, RefusesAnythingButACompleteBackup) {
    ReadDialog read;
    const std::string good = backupText(takeBackup(read.dialog, read.image));
    const std::pair<std::string, std::string> cases[] = {
        {"not JSON", "{\"format\": "},
        {"not a settings backup", "[1, 2]"},
        {"not a settings backup", edited(good, "settings backup", "settings backop")},
        {"format version", edited(good, "\"formatVersion\": 1", "\"formatVersion\": 2")},
        {"family", edited(good, "\"family\": 1", "\"family\": 2")},
        {"thresholdCode", edited(good, "\"thresholdCode\": 77", "\"thresholdCode\": 256")},
        {"timingCode", edited(good, "\"timingCode\": 8", "\"timingCode\": -1")},
        {"1135 is missing", edited(good, "\"1135\": {\"text\": \"2.00\"},\n    ", "")},
        {"control 1135 needs a \"text\"", edited(good, "\"text\": \"2.00\"", "\"text\": 2")},
        {"control 1140 needs a \"selection\" from -1 to 5",
         edited(good, "\"selection\": 2", "\"selection\": 6")},
        {"control 1137 needs \"checked\"",
         edited(good, "\"1137\": {\"checked\": false}", "\"1137\": {\"checked\": 0}")},
        {"exactly one value", edited(good, "\"1137\": {\"checked\": false}",
                                     "\"1137\": {\"checked\": false, \"text\": \"x\"}")},
        {"more than one radio",
         edited(good, "\"1139\": {\"checked\": false}", "\"1139\": {\"checked\": true}")},
        {"at most 32",
         edited(good, "\"text\": \"2.00\"", "\"text\": \"" + std::string(33, '2') + "\"")},
        {"too large", good + std::string(maxBackupFileBytes, ' ')},
    };
    for (const auto& [reason, text] : cases) {
        BackupRead parsed = parseBackup(text);
        EXPECT_FALSE(parsed.backup) << reason;
        EXPECT_THAT(parsed.error, HasSubstr(reason));
    }
    // An extra member is refused too: a backup names only settings.
    const std::string extra =
        edited(good, "\"controls\": {", "\"controls\": {\"1044\": {\"text\": \"OK\"}, ");
    EXPECT_THAT(parseBackup(extra).error, HasSubstr("1044 is not a setting"));
}

}  // namespace
}  // namespace safety
