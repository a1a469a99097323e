#include "safety/settings_diff.h"

#include <algorithm>
#include <utility>

#include "resources/settings_fields.h"

namespace safety {
namespace {

using resources::SettingsField;

std::string valueText(const SettingsBackup& backup, const SettingsField& field) {
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
    for (const SettingsField& field : resources::settingsFields()) {
        std::string old = valueText(before, field);
        std::string now = valueText(after, field);
        if (old != now) {
            changes.push_back({std::string(field.label), std::move(old), std::move(now)});
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
    const std::string label(resources::fieldLabel(id));
    for (const SettingsField& field : resources::settingsFields()) {
        if (field.controls.size() > 1 &&
            std::ranges::find(field.controls, id) != field.controls.end()) {
            return label + ": " + referenceDialog().text(id);
        }
    }
    return label;
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
    for (const SettingsField& field : resources::settingsFields()) {
        text += line(std::string(field.label), valueText(settings, field));
    }
    return text;
}

std::string describeChange(const FieldChange& change) {
    return change.label + ": " + change.before + " → " + change.after;
}

}  // namespace safety
