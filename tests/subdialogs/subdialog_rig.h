// The main dialog on the virtual controller with values that count as read (V 10.11 at
// 8 MHz), and qvsetup.cfg in a directory of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "sim/procedure_rig.h"

namespace subdialogs_test {

inline constexpr int noOwner = 0;
inline constexpr const char* configName = "qvsetup.cfg";

// qvsetup.cfg: the port name, then the motor record (poles, two NULs, ratio) at 256.
inline std::string motorConfig(const std::string& poles = "", const std::string& ratio = "") {
    std::string bytes = "COM2";
    bytes.resize(256, '\0');
    return poles.empty() ? bytes : bytes + poles + std::string(2, '\0') + ratio;
}

using Command = std::function<void(ui::ControlId)>;
using Script = std::function<void(ui::Dialog&, const Command&)>;

// Clicks, or with text, typing it into the field.
struct Step {
    ui::ControlId id;
    const char* text = nullptr;
};
inline Script steps(std::vector<Step> list) {
    return [list](ui::Dialog& dialog, const Command& command) {
        for (const Step& step : list) {
            step.text ? dialog.setText(step.id, step.text) : command(step.id);
        }
    };
}

struct SubdialogRig : sim::ProcedureRig {
    SubdialogRig() {
        memory()[30] = 8;
        memory()[13] = 0xFD;  // test program locked
        image.controllerVersion = 0x1011;
        image.clockMHz = 8;
    }

    std::optional<ui::Dialog> lastDialog;  // the sub-dialog as its script left it
    std::string configBytes() const { return dir.read(configName); }
    // Every message so far as "caption: text", one a line.
    std::string messages() {
        std::string all;
        for (const ui::RecordedMessage& m : host().messages) {
            all += (all.empty() ? "" : "\n") + m.caption + ": " + m.text;
        }
        return all;
    }
    int lastOwner() { return host().messages.empty() ? -1 : host().messages.back().ownerId; }

    // Opens a sub-dialog whose script runs, is kept in lastDialog and then cancelled.
    void open(ui::Outcome (*opening)(settings::SettingsContext&), Script script = {}) {
        host().modalScripts.push_back([this, script](ui::Dialog& dialog, const Command& command) {
            if (script) {
                script(dialog, command);
            }
            lastDialog = dialog;
        });
        (void)opening(settingsCtx);
    }
};

}  // namespace subdialogs_test
