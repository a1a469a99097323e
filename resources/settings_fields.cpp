#include "resources/settings_fields.h"

#include <algorithm>

#include "resources/main_dialog_ids.h"

namespace resources {
namespace {

using namespace ids;

const std::vector<SettingsField>& fields() {
    static const std::vector<SettingsField> table{
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

// The log counters: shown and written beside the settings, but no setting a backup keeps.
const std::vector<SettingsField>& counters() {
    static const std::vector<SettingsField> table{
        {"Senderausf.", {TransmitterFailureCounter}},
        {"Übertemp.", {OverTemperatureCounter}},
        {"Unterspg.", {UnderVoltageCounter}},
        {"Blockiersch.", {BlockedMotorCounter}},
    };
    return table;
}

}  // namespace

std::span<const SettingsField> settingsFields() {
    return fields();
}

std::span<const ui::ControlId> settingsFieldControls() {
    static const std::vector<ui::ControlId> all = [] {
        std::vector<ui::ControlId> ids;
        for (const SettingsField& field : fields()) {
            ids.insert(ids.end(), field.controls.begin(), field.controls.end());
        }
        return ids;
    }();
    return all;
}

std::string_view fieldLabel(ui::ControlId id) {
    for (const std::vector<SettingsField>* table : {&fields(), &counters()}) {
        for (const SettingsField& field : *table) {
            if (std::ranges::find(field.controls, id) != field.controls.end()) {
                return field.label;
            }
        }
    }
    return {};
}

}  // namespace resources
