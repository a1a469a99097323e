// The processor service against the virtual controller, with the main dialog for its
// status field, on the serial or the parallel adapter.
#pragma once

#include <string>

#include "isp/isp.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "sim/test_rig.h"
#include "ui/dialog.h"

namespace isp::testing {

enum class AdapterKind { Serial, Parallel };

inline std::string adapterName(AdapterKind kind) {
    return kind == AdapterKind::Serial ? "Serial" : "Parallel";
}

struct SimIsp {
    explicit SimIsp(AdapterKind kind = AdapterKind::Serial) {
        if (kind == AdapterKind::Parallel) {
            rig.selectParallel();
        }
        rig.link().mainWindow = &mainDialog;
        mainDialog.setEnabled(ids::StatusField, false);  // idle, as between commands
    }
    int rises(sim::Line line) {
        int count = 0;
        for (const sim::LineEvent& event : rig.controller().trace().events()) {
            count += event.line == line && event.high ? 1 : 0;
        }
        return count;
    }
    const std::vector<ui::RecordedMessage>& messages() { return rig.host().messages; }
    std::string status() const { return mainDialog.text(ids::StatusField); }
    bool statusEnabled() const { return mainDialog.enabled(ids::StatusField); }
    sim::ControllerMode mode() { return rig.controller().mode(); }

    sim::TestRig rig;
    ui::Dialog mainDialog{resources::mainDialogTemplate()};
    IspState state;
    IspContext ctx{rig.link(), state};
};

}  // namespace isp::testing
