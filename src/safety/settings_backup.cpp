#include "safety/settings_backup.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <filesystem>

#include "base/safe_file.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "resources/settings_fields.h"
#include "settings/settings.h"

namespace safety {
namespace {

using namespace ids;

constexpr std::array subDialogBytes{
    controller::address::lockFlags, controller::address::rpmPeriodHigh,
    controller::address::rpmPeriodLow, controller::address::pTerm, controller::address::iTerm};

BackupRead refuse(std::string error) {
    BackupRead result;
    result.error = std::move(error);
    return result;
}

bool validText(const std::string& text) {
    return text.size() <= maxBackupTextBytes &&
           std::ranges::none_of(text, [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// Reads the one field a control of this kind keeps; empty error when it is fine.
std::string readControl(const base::json::Value& entry, ui::ControlId id, BackupControl& control) {
    const std::string name = std::to_string(id);
    if (!entry.is_object() || entry.size() != 1) {
        return "control " + name + " must hold exactly one value";
    }
    const ui::ControlState& reference = referenceDialog().control(id);
    control.id = id;
    if (reference.kind == ui::Kind::Edit) {
        const std::string* text = base::json::stringMember(entry, "text");
        if (text == nullptr || !validText(*text)) {
            return "control " + name + " needs a \"text\" of at most 32 characters";
        }
        control.text = *text;
    } else if (reference.kind == ui::Kind::ComboBox) {
        const std::optional<std::int64_t> selection = base::json::integerMember(entry, "selection");
        const auto count = static_cast<std::int64_t>(reference.items.size());
        if (!selection || *selection < -1 || *selection >= count) {
            return "control " + name + " needs a \"selection\" from -1 to " +
                   std::to_string(count - 1);
        }
        control.selection = static_cast<int>(*selection);
    } else {
        const base::json::Value* checked = base::json::member(entry, "checked");
        if (checked == nullptr || !checked->is_boolean()) {
            return "control " + name + " needs \"checked\": true or false";
        }
        control.checked = checked->get<bool>();
    }
    return {};
}

bool readByte(const base::json::Value& root, std::string_view name, int& value) {
    const std::optional<std::int64_t> byte = base::json::integerMember(root, name);
    if (!byte || *byte < 0 || *byte > 255) {
        return false;
    }
    value = static_cast<int>(*byte);
    return true;
}

// The optional "setupBytes": {"13": 255, …}, only of the sub-dialogs' addresses.
std::string readSetupBytes(const base::json::Value& root, std::vector<settings::SetupByte>& bytes) {
    const base::json::Value* object = base::json::member(root, "setupBytes");
    if (object == nullptr) {
        return {};
    }
    if (!object->is_object()) {
        return "\"setupBytes\" is no object";
    }
    for (const int address : subDialogBytes) {
        int value = 0;
        const std::string name = std::to_string(address);
        if (base::json::member(*object, name) == nullptr) {
            continue;
        }
        if (!readByte(*object, name, value)) {
            return "setup byte " + name + " needs a value from 0 to 255";
        }
        bytes.push_back({address, value});
    }
    if (bytes.size() != object->size()) {
        return "\"setupBytes\" names a byte no backup holds";
    }
    return {};
}

}  // namespace

const ui::Dialog& referenceDialog() {
    static const ui::Dialog dialog = [] {
        ui::Dialog d(resources::mainDialogTemplate());
        settings::fillMainDialogLists(d);
        return d;
    }();
    return dialog;
}

std::span<const int> subDialogAddresses() {
    return subDialogBytes;
}

const BackupControl* findControl(const SettingsBackup& backup, ui::ControlId id) {
    const auto found = std::ranges::find(backup.controls, id, &BackupControl::id);
    return found != backup.controls.end() ? &*found : nullptr;
}

int versionFamilyNumber(const settings::SetupImage& image) {
    const std::int32_t family = image.versionFamily();
    return family == 0x1000 ? 1 : family == 0x3000 ? 3 : 0;
}

SettingsBackup takeBackup(const ui::Dialog& mainDialog, const settings::SetupImage& image) {
    SettingsBackup backup;
    backup.versionText = mainDialog.text(VersionField);
    backup.family = versionFamilyNumber(image);
    backup.thresholdCode = image.thresholdCode & 0xFF;
    backup.timingCode = image.timingCode & 0xFF;
    for (const ui::ControlId id : resources::settingsFieldControls()) {
        const ui::ControlState& state = mainDialog.control(id);
        BackupControl control;
        control.id = id;
        control.text = state.text;
        control.checked = state.checked;
        control.selection = state.selection;
        backup.controls.push_back(std::move(control));
    }
    return backup;
}

base::json::Value backupToJson(const SettingsBackup& backup) {
    base::json::Value root = base::json::Value::object();
    root["format"] = backupFormatName;
    root["formatVersion"] = backupFormatVersion;
    root["controllerVersion"] = backup.versionText;
    root["family"] = backup.family;
    root["thresholdCode"] = backup.thresholdCode;
    root["timingCode"] = backup.timingCode;
    base::json::Value& controls = root["controls"] = base::json::Value::object();
    for (const BackupControl& control : backup.controls) {
        const ui::Kind kind = referenceDialog().control(control.id).kind;
        base::json::Value& entry = controls[std::to_string(control.id)];
        if (kind == ui::Kind::Edit) {
            entry["text"] = control.text;
        } else if (kind == ui::Kind::ComboBox) {
            entry["selection"] = control.selection;
        } else {
            entry["checked"] = control.checked;
        }
    }
    if (!backup.setupBytes.empty()) {
        base::json::Value& bytes = root["setupBytes"] = base::json::Value::object();
        for (const settings::SetupByte& byte : backup.setupBytes) {
            bytes[std::to_string(byte.address)] = byte.value;
        }
    }
    return root;
}

BackupRead parseBackup(std::string_view text) {
    if (text.size() > maxBackupFileBytes) {
        return refuse("too large for a settings backup");
    }
    base::json::ParseResult parsed = base::json::parse(text);
    if (!parsed.value) {
        return refuse("not JSON: " + parsed.error);
    }
    const base::json::Value& root = *parsed.value;
    const std::string* format = base::json::stringMember(root, "format");
    if (format == nullptr || *format != backupFormatName) {
        return refuse("not a settings backup");
    }
    if (base::json::integerMember(root, "formatVersion") != backupFormatVersion) {
        return refuse("a settings backup of another format version");
    }
    SettingsBackup backup;
    const std::string* version = base::json::stringMember(root, "controllerVersion");
    if (version == nullptr || !validText(*version)) {
        return refuse("the backup names no controller version");
    }
    backup.versionText = *version;
    const std::optional<std::int64_t> family = base::json::integerMember(root, "family");
    if (family != 1 && family != 3) {
        return refuse("the backup names no controller family (1 or 3)");
    }
    backup.family = static_cast<int>(*family);
    if (!readByte(root, "thresholdCode", backup.thresholdCode) ||
        !readByte(root, "timingCode", backup.timingCode)) {
        return refuse("the backup holds no thresholdCode and timingCode (0 … 255)");
    }
    const base::json::Value* controls = base::json::member(root, "controls");
    if (controls == nullptr || !controls->is_object()) {
        return refuse("the backup holds no controls");
    }
    for (const auto& item : controls->items()) {
        const std::string& name = item.key();
        if (std::ranges::none_of(resources::settingsFieldControls(),
                                 [&](ui::ControlId id) { return name == std::to_string(id); })) {
            return refuse("control " + base::json::toUtf8(name) + " is not a setting");
        }
    }
    for (const ui::ControlId id : resources::settingsFieldControls()) {
        const base::json::Value* entry = base::json::member(*controls, std::to_string(id));
        if (entry == nullptr) {
            return refuse("control " + std::to_string(id) + " is missing");
        }
        BackupControl control;
        if (std::string error = readControl(*entry, id, control); !error.empty()) {
            return refuse(error);
        }
        backup.controls.push_back(std::move(control));
    }
    for (const resources::SettingsField& field : resources::settingsFields()) {
        const auto checked = std::ranges::count_if(
            field.controls, [&](ui::ControlId id) { return findControl(backup, id)->checked; });
        if (checked > 1) {
            return refuse("more than one radio button of a group is checked");
        }
    }
    if (std::string error = readSetupBytes(root, backup.setupBytes); !error.empty()) {
        return refuse(error);
    }
    BackupRead result;
    result.backup = std::move(backup);
    return result;
}

BackupRead readBackupFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return refuse(std::filesystem::exists(path, error) ? "is not a file" : "does not exist");
    }
    ui::SystemError readError;
    const std::optional<std::string> text =
        base::readFileLimited(path, maxBackupFileBytes, readError);
    if (!text) {
        return refuse(readError.code == EFBIG ? "too large for a settings backup"
                                              : "cannot be read");
    }
    return parseBackup(*text);
}

std::string writeBackupFile(const std::string& path, const SettingsBackup& backup) {
    // Through a temporary file, so a full disk never leaves half of an older backup.
    const ui::SystemError error =
        base::writeFileAtomically(path, base::json::write(backupToJson(backup)));
    return error.empty() ? std::string() : "cannot be written";
}

void applyBackup(const SettingsBackup& backup, ui::Dialog& mainDialog,
                 settings::SetupImage& image) {
    for (const BackupControl& control : backup.controls) {
        const ui::Kind kind = mainDialog.control(control.id).kind;
        if (kind == ui::Kind::Edit) {
            mainDialog.setText(control.id, control.text);
        } else if (kind == ui::Kind::ComboBox) {
            mainDialog.setSelection(control.id, control.selection);
        } else if (kind == ui::Kind::CheckBox || kind == ui::Kind::RadioButton ||
                   kind == ui::Kind::AutoRadioButton) {
            mainDialog.setChecked(control.id, control.checked);
        }
    }
    image.thresholdCode = backup.thresholdCode;
    image.timingCode = backup.timingCode;
    image.restoreBytes = backup.setupBytes;
}

}  // namespace safety
