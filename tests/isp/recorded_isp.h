// The processor service on the recording back-end, with the main dialog for its status
// field, and helpers that read the instruction bytes back out of the log.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "adapter/testing/recording_lines.h"
#include "isp/isp.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "ui/dialog.h"

namespace isp::testing {

struct RecordedIsp {
    RecordedIsp() {
        rig.ctx.mainWindow = &mainDialog;
        // A slow port keeps the bit delay calibration, and so the log, short.
        rig.recorder.operationCostNs = 50'000;
    }
    RecordedIsp(const RecordedIsp&) = delete;
    RecordedIsp& operator=(const RecordedIsp&) = delete;

    // The answer the processor shifts out during one 4-byte instruction.
    void queueInstruction(int a1, int a2, int a3, int a4) {
        for (int value : {a1, a2, a3, a4}) {
            rig.queueByte(value);
        }
    }
    // An extra CLOCK pulse moves the answer on by one bit as well.
    void queueExtraBit() { rig.recorder.answerBits.push_back(0); }

    // DATA-OUT as it stood at every rising CLOCK edge, in order.
    std::vector<int> sentBits() const {
        std::vector<int> bits;
        bool dataOut = false;
        bool clock = false;
        for (const adapter::testing::Event& event : rig.recorder.events) {
            const std::string& what = event.what;
            if (what == "DATA-OUT high" || what == "DATA-OUT low") {
                dataOut = what == "DATA-OUT high";
            } else if (what == "CLOCK high") {
                bits.push_back(dataOut ? 1 : 0);
            } else if (what.rfind("data 0x", 0) == 0) {
                const int value = std::stoi(what.substr(7), nullptr, 16);
                if ((value & 0x02) != 0 && !clock) {
                    bits.push_back(value & 0x01);
                }
                clock = (value & 0x02) != 0;
            }
        }
        return bits;
    }
    // The bits sent, eight to a byte; a tail shorter than a byte is left off.
    std::vector<int> sentBytes() const {
        std::vector<int> bytes;
        const std::vector<int> bits = sentBits();
        for (std::size_t i = 0; i + 8 <= bits.size(); i += 8) {
            int value = 0;
            for (std::size_t bit = 0; bit < 8; ++bit) {
                value = value * 2 + bits[i + bit];
            }
            bytes.push_back(value);
        }
        return bytes;
    }
    int risingEdges() const { return static_cast<int>(sentBits().size()); }
    std::string status() const { return mainDialog.text(ids::StatusField); }

    adapter::testing::RecordingRig rig;
    ui::Dialog mainDialog{resources::mainDialogTemplate()};
    IspState state;
    IspContext ctx{rig.ctx, state};
};

}  // namespace isp::testing
