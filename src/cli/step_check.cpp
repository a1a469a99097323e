#include "cli/step_check.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>

#include "cli/dialog_catalog.h"
#include "cli/json.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "safety/settings_diff.h"
#include "settings/settings.h"
#include "shell/dispatch.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t setupImageBytes = 256;

// What a step will act on, as far as the command line shows it.
struct Expected {
    const ui::Dialog* dialog;
    bool isMain;
};

bool readable(const std::string& path, std::string& error) {
    std::error_code code;
    if (!fs::exists(path, code)) {
        error = "does not exist";
        return false;
    }
    if (!fs::is_regular_file(path, code)) {
        error = "is not a file";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    char byte = 0;
    if (!file || (!file.read(&byte, 1) && file.bad())) {
        error = "cannot be read";
        return false;
    }
    return true;
}

bool writable(const std::string& path, std::string& error) {
    std::error_code code;
    if (fs::is_directory(path, code)) {
        error = "is a directory";
        return false;
    }
    fs::path parent = fs::path(path).parent_path();
    if (parent.empty()) {
        parent = ".";
    }
    if (!fs::is_directory(parent, code)) {
        error = "is in no existing directory";
        return false;
    }
    return true;
}

std::string checkClick(const Expected& where, ui::ControlId id) {
    const ui::Dialog& dialog = *where.dialog;
    if (dialog.has(id)) {
        return isClickable(dialog.control(id).kind)
                   ? std::string()
                   : "control " + std::to_string(id) + " cannot be clicked";
    }
    if (dialog.hasMenuItem(id) || id == ids::Ok || id == ids::Cancel ||
        (where.isMain && shell::findCommand(id) != nullptr)) {
        return {};
    }
    return "dialog " + std::to_string(dialog.id()) + " has no control " + std::to_string(id);
}

}  // namespace

std::optional<int> listIndex(const ui::ControlState& list, const std::string& value) {
    int index = -1;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), index);
    const int count = static_cast<int>(list.items.size());
    if (!value.empty() && error == std::errc() && end == value.data() + value.size() &&
        index >= 0 && index < count) {
        return index;
    }
    // The entries are padded for the eye (" 7,5°"); the padding is not part of the name.
    const auto trimmed = [](std::string_view text) {
        const std::size_t first = text.find_first_not_of(' ');
        return first == std::string_view::npos
                   ? std::string_view()
                   : text.substr(first, text.find_last_not_of(' ') - first + 1);
    };
    for (int i = 0; i < count; ++i) {
        if (!value.empty() && trimmed(list.items[static_cast<std::size_t>(i)]) == trimmed(value)) {
            return i;
        }
    }
    return std::nullopt;
}

std::string checkValue(const ui::Dialog& dialog, ui::ControlId id, const std::string& value) {
    const std::string name = "control " + std::to_string(id);
    if (!dialog.has(id)) {
        return "dialog " + std::to_string(dialog.id()) + " has no control " + std::to_string(id);
    }
    const ui::ControlState& state = dialog.control(id);
    switch (state.kind) {
        case ui::Kind::Edit: {
            std::uint32_t flags = 0;
            for (const ui::ControlTemplate& row : dialog.dialogTemplate().controls) {
                flags |= row.id == id ? row.flags : 0u;
            }
            if ((flags & ui::readOnly) != 0) {
                return name + " is read-only";
            }
            if (value.size() > maxEditTextBytes) {
                return name + " takes at most 255 characters";
            }
            if (json::toUtf8(value) != value) {
                return name + ": the value is not UTF-8 text";
            }
            if (std::ranges::any_of(value, [](unsigned char c) { return c < 0x20; })) {
                return name + ": the value holds a control character";
            }
            if ((flags & ui::digitsOnly) != 0 &&
                value.find_first_not_of("0123456789") != std::string::npos) {
                return name + " takes digits only";
            }
            return {};
        }
        case ui::Kind::CheckBox:
        case ui::Kind::RadioButton:
        case ui::Kind::AutoRadioButton:
            return value == "0" || value == "1" ? std::string() : name + " takes 0 or 1";
        case ui::Kind::ComboBox: {
            const int count = static_cast<int>(state.items.size());
            if (!listIndex(state, value)) {
                return count == 0
                           ? name + " holds no list entries"
                           : name + " takes a list index from 0 to " + std::to_string(count - 1);
            }
            return {};
        }
        default:
            return name + " takes no value";
    }
}

std::string checkSteps(const std::vector<Step>& steps,
                       std::vector<std::optional<safety::SettingsBackup>>& backups) {
    backups.assign(steps.size(), std::nullopt);
    ui::Dialog mainDialog(resources::mainDialogTemplate());
    settings::fillMainDialogLists(mainDialog);
    std::optional<ui::Dialog> subDialog;
    bool ended = false;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        const std::string prefix = step.word + ": ";
        if (ended) {
            return prefix + "no step can follow the one that ends the program";
        }
        const Expected where{subDialog ? &*subDialog : &mainDialog, !subDialog};
        const bool needsMain =
            step.kind == StepKind::Update || step.kind == StepKind::SaveSettings ||
            step.kind == StepKind::LoadSettings || step.kind == StepKind::DiffSettings;
        if (needsMain && !where.isMain) {
            return prefix + "works on the main dialog, but dialog " +
                   std::to_string(where.dialog->id()) + " is open";
        }
        std::string error;
        switch (step.kind) {
            case StepKind::Click:
                error = checkClick(where, step.id);
                if (error.empty() && step.id != ids::Ok && step.id != ids::Cancel && where.isMain) {
                    if (const ui::DialogTemplate* opened = subDialogOpenedBy(step.id)) {
                        subDialog.emplace(*opened);
                    }
                } else if (error.empty() && (step.id == ids::Ok || step.id == ids::Cancel)) {
                    if (where.isMain) {
                        ended = true;
                    } else {
                        subDialog.reset();
                    }
                }
                break;
            case StepKind::Set:
                error = checkValue(*where.dialog, step.id, step.value);
                break;
            case StepKind::Show:
                break;
            case StepKind::Update:
                // --resume finds its file in the update record when it runs.
                if (!step.resume && !readable(step.file, error)) {
                    error = step.file + " " + error;
                }
                break;
            case StepKind::SaveSettings:
                if (!writable(step.file, error)) {
                    error = step.file + " " + error;
                }
                break;
            case StepKind::LoadSettings:
            case StepKind::DiffSettings: {
                safety::BackupRead read = safety::readBackupFile(step.file);
                if (!read.backup) {
                    error = step.file + " " + read.error;
                } else {
                    backups[i] = std::move(read.backup);
                }
                break;
            }
        }
        if (!error.empty()) {
            return prefix + error;
        }
    }
    return {};
}

std::string checkOptionFiles(const Options& options) {
    const shell::SimOptions& sim = options.shared.sim;
    std::string error;
    if (!options.shared.directory.empty()) {
        std::error_code code;
        if (!fs::is_directory(options.shared.directory, code)) {
            return "--dir: " + options.shared.directory + " is not a directory";
        }
    }
    if (!sim.memoryFile.empty()) {
        if (!readable(sim.memoryFile, error)) {
            return "--sim-memory: " + sim.memoryFile + " " + error;
        }
        std::error_code code;
        if (fs::file_size(sim.memoryFile, code) != setupImageBytes) {
            return "--sim-memory: " + sim.memoryFile + " is not a 256-byte setup memory image";
        }
    }
    const std::pair<const char*, const std::string*> outputs[] = {
        {"--sim-save", &sim.saveFile},
        {"--sim-flash-save", &sim.flashSaveFile},
        {"--trace", &sim.traceFile},
    };
    for (const auto& [option, path] : outputs) {
        if (!path->empty() && !writable(*path, error)) {
            return std::string(option) + ": " + *path + " " + error;
        }
    }
    return {};
}

namespace {

// What a control is called on the screen: its own text, or the label on its left on the
// same line (else the nearest above it).
std::string labelOf(const ui::DialogTemplate& dialog, const ui::ControlTemplate& row) {
    if (!row.text.empty() && row.kind != ui::Kind::Edit && row.kind != ui::Kind::ComboBox) {
        return std::string(row.text);
    }
    const ui::Rect& at = row.rect;
    const ui::ControlTemplate* best = nullptr;
    int bestDistance = 0;
    for (const ui::ControlTemplate& label : dialog.controls) {
        const ui::Rect& r = label.rect;
        if (label.kind != ui::Kind::Label || label.text.empty()) {
            continue;
        }
        const bool sameLine = r.y < at.y + at.height && at.y < r.y + r.height && r.x < at.x;
        const bool above = r.y + r.height <= at.y && r.x < at.x + at.width && at.x < r.x + r.width;
        const int distance = sameLine ? at.x - (r.x + r.width) : above ? 1000 + at.y - r.y : -1;
        if (distance >= 0 && (best == nullptr || distance < bestDistance)) {
            best = &label;
            bestDistance = distance;
        }
    }
    return best != nullptr ? std::string(best->text) : std::string();
}

std::string valuesOf(const ui::Dialog& dialog, const ui::ControlTemplate& row) {
    switch (row.kind) {
        case ui::Kind::Edit:
            return (row.flags & ui::digitsOnly) != 0 ? "digits" : "text";
        case ui::Kind::CheckBox:
        case ui::Kind::RadioButton:
        case ui::Kind::AutoRadioButton:
            return "0 or 1";
        case ui::Kind::ComboBox: {
            const ui::ControlState& state = dialog.control(row.id);
            std::string values;
            for (std::size_t i = 0; i < state.items.size(); ++i) {
                values += (i == 0 ? "" : ", ") + std::to_string(i) + " \"" + state.items[i] + "\"";
            }
            return values.empty() ? "a list filled by the dialog" : values;
        }
        default:
            return {};
    }
}

void listDialog(const ui::Dialog& dialog, bool isMain, const std::string& heading,
                std::string& text) {
    text += heading + "\n";
    const ui::DialogTemplate& layout = dialog.dialogTemplate();
    for (const ui::ControlTemplate& row : layout.controls) {
        const std::string values = valuesOf(dialog, row);
        // The main dialog's settings and log counters by the labels the backups and diffs use.
        const std::string label =
            isMain ? safety::settingsFieldLabel(row.id) : labelOf(layout, row);
        if (values.empty() || label.empty() || (row.flags & ui::readOnly) != 0) {
            continue;
        }
        text += "  " + std::to_string(row.id) + "  " + safety::padded(label, 40) + values + "\n";
    }
}

}  // namespace

std::string settableControlsText() {
    std::string text =
        "set ID=VALUE takes these controls (a list takes an entry's index or text):\n\n";
    ui::Dialog mainDialog(resources::mainDialogTemplate());
    settings::fillMainDialogLists(mainDialog);
    listDialog(mainDialog, true, "Main dialog:", text);
    const std::pair<ui::ControlId, const char*> subDialogs[] = {{ids::LockFunctionsItem, "locks"},
                                                                {ids::RpmSettingsButton, "rpm"},
                                                                {ids::RevCounterItem, "revs"}};
    for (const auto& [id, step] : subDialogs) {
        if (const ui::DialogTemplate* layout = subDialogOpenedBy(id)) {
            text += "\n";
            listDialog(
                ui::Dialog(*layout), false,
                "After " + std::string(step) + " (\"" + std::string(layout->title) + "\"):", text);
        }
    }
    return text;
}

}  // namespace cli
