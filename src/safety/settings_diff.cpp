#include "safety/settings_diff.h"

#include <algorithm>

#include <array>
#include <utility>

#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "safety/settings_backup.h"
#include "settings/settings.h"

namespace safety {
namespace {

using namespace ids;

struct Field {
    const char* label;
    std::vector<ui::ControlId> controls;  // one control, or the buttons of a radio group
};

const std::vector<Field>& fields() {
    static const std::vector<Field> table{
        {"Vollg. (ms)", {FullThrottleField}},
        {"Neut. (ms)", {NeutralField}},
        {"Stopp (ms)", {StopField}},
        {"Kommutierungs-Timing", {TimingList}},
        {"EMK-Bremse", {BrakeList}},
        {"Regel-Tempo (1 - 50)", {ControlSpeedField}},
        {"Anlauf-Leistung (1 - 50)", {StartPowerField}},
        {"Volt", {VoltsField}},
        {"Aktiver Freilauf", {ActiveFreewheelCheck}},
        {"Vor/Rueckw.", {ForwardReverseCheck}},
        {"Drehzahlbeg.", {RpmLimitCheck}},
        {"Blockierschutz", {BlockedMotorCheck}},
        {"Regelung aktiv", {RpmControlCheck}},
        {"0,8V/Zelle", {CellVoltageCheck}},
        {"Übertemp-Sch.", {OverTemperatureCheck}},
        {"Schaltfrequenz", {Frequency78Radio, Frequency156Radio}},
        {"Unterspannung / Schwelle", {IgnoreRadio, ReducePowerRadio, SwitchOffRadio}},
        {"Signal-Toleranz", {ToleranceSmallRadio, ToleranceMediumRadio, ToleranceHighRadio}},
    };
    return table;
}

const BackupControl* findControl(const SettingsBackup& backup, ui::ControlId id) {
    for (const BackupControl& control : backup.controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

std::string valueText(const SettingsBackup& backup, const Field& field) {
    const ui::Dialog& reference = referenceDialog();
    if (field.controls.size() > 1) {
        for (const ui::ControlId id : field.controls) {
            const BackupControl* control = findControl(backup, id);
            if (control != nullptr && control->checked) {
                return reference.text(id);
            }
        }
        return "-";
    }
    const ui::ControlId id = field.controls.front();
    const BackupControl* control = findControl(backup, id);
    if (control == nullptr) {
        return "-";
    }
    const ui::ControlState& state = reference.control(id);
    if (state.kind == ui::Kind::Edit) {
        return control->text;
    }
    if (state.kind == ui::Kind::ComboBox) {
        const auto index = static_cast<std::size_t>(control->selection);
        return control->selection >= 0 && index < state.items.size() ? state.items[index] : "-";
    }
    return control->checked ? "on" : "off";
}

}  // namespace

std::vector<FieldChange> diffSettings(const SettingsBackup& before, const SettingsBackup& after) {
    std::vector<FieldChange> changes;
    for (const Field& field : fields()) {
        std::string old = valueText(before, field);
        std::string now = valueText(after, field);
        if (old != now) {
            changes.push_back({field.label, std::move(old), std::move(now)});
        }
    }
    const std::pair<const char*, std::pair<int, int>> codes[] = {
        {"threshold code", {before.thresholdCode, after.thresholdCode}},
        {"timing code", {before.timingCode, after.timingCode}},
    };
    for (const auto& [label, values] : codes) {
        if (values.first != values.second) {
            changes.push_back({label, std::to_string(values.first), std::to_string(values.second)});
        }
    }
    return changes;
}

std::string settingsFieldLabel(ui::ControlId id) {
    for (const Field& field : fields()) {
        for (const ui::ControlId control : field.controls) {
            if (control == id) {
                return field.controls.size() > 1
                           ? std::string(field.label) + ": " + referenceDialog().text(id)
                           : std::string(field.label);
            }
        }
    }
    return {};
}

// Labels are padded by characters, not bytes: "Übertemp-Sch." lines up with the rest.
std::string padded(std::string text, std::size_t width) {
    const auto characters = static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
    text.append(characters + 2 < width ? width - characters : 2, ' ');
    return text;
}

std::string settingsText(const SettingsBackup& settings) {
    const auto line = [](const std::string& label, const std::string& value) {
        return padded(label, 26) + value + "\n";
    };
    std::string text = line("Version", settings.versionText);
    for (const Field& field : fields()) {
        text += line(field.label, valueText(settings, field));
    }
    return text;
}

std::string describeChange(const FieldChange& change) {
    return change.label + ": " + change.before + " → " + change.after;
}

}  // namespace safety
