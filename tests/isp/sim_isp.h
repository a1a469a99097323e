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
        // Idle, as between commands.
        mainDialog.setEnabled(ids::StatusField, false);
    }
    SimIsp(const SimIsp&) = delete;
    SimIsp& operator=(const SimIsp&) = delete;

    int edges(sim::Line line, bool high) const {
        int count = 0;
        for (const sim::LineEvent& event : rig.controller().trace().events()) {
            count += event.line == line && event.high == high ? 1 : 0;
        }
        return count;
    }
    // CLOCK pulses and controller resets since the trace was last cleared.
    int clockPulses() const { return edges(sim::Line::Clock, true); }
    int resets() const { return edges(sim::Line::Reset, true); }

    const std::vector<ui::RecordedMessage>& messages() { return rig.host().messages; }
    std::string status() const { return mainDialog.text(ids::StatusField); }
    bool statusEnabled() const { return mainDialog.enabled(ids::StatusField); }
    sim::ControllerMode mode() { return rig.controller().mode(); }

    mutable sim::TestRig rig;
    ui::Dialog mainDialog{resources::mainDialogTemplate()};
    IspState state;
    IspContext ctx{rig.link(), state};
};

}  // namespace isp::testing
