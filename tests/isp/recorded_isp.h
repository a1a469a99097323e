// The processor service on the recording back-end, with the main dialog for its status
// field; reads the instruction bytes back out of the log.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "adapter/testing/recording_lines.h"
#include "isp/isp.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "ui/dialog.h"
#include "ui/recording_host.h"

namespace isp::testing {

// A message box as shown: text, caption and owner.
struct Shown {
    std::string text, caption;
    int owner = 0;
    bool operator==(const Shown&) const = default;
    friend void PrintTo(const Shown& s, std::ostream* os) {
        *os << '"' << s.text << "\" \"" << s.caption << "\" " << s.owner;
    }
};

inline std::vector<Shown> shownBy(const ui::RecordingHost& host) {
    std::vector<Shown> all;
    for (const ui::RecordedMessage& message : host.messages) {
        all.push_back({message.text, message.caption, message.ownerId});
    }
    return all;
}

struct RecordedIsp {
    RecordedIsp() {
        rig.ctx.mainWindow = &mainDialog;
        rig.recorder.operationCostNs = 50'000;  // keeps the bit delay calibration short
    }
    // The answer the processor shifts out during one 4-byte instruction.
    void queueInstruction(int a1, int a2, int a3, int a4) {
        for (int value : {a1, a2, a3, a4}) {
            rig.queueByte(value);
        }
    }
    // An echoed Programming Enable, then the signature 1E <family> 07.
    void queueProcessor(int family = 0x93) {
        queueInstruction(0x00, 0xAC, 0x53, 0x00);
        for (int value : {0x1E, family, 0x07}) {
            queueInstruction(0, 0, 0, value);
        }
    }
    // DATA-OUT at every rising CLOCK edge: serial lines, or bits 0 and 1 of the data register.
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
    // Eight bits to a byte; a shorter tail is left off.
    std::vector<int> sentBytes() const {
        const std::vector<int> bits = sentBits();
        std::vector<int> bytes;
        for (std::size_t i = 0; i + 8 <= bits.size(); i += 8) {
            int value = 0;
            for (std::size_t bit = i; bit < i + 8; ++bit) {
                value = value * 2 + bits[bit];
            }
            bytes.push_back(value);
        }
        return bytes;
    }
    int risingEdges() const { return static_cast<int>(sentBits().size()); }
    int portOperations() const { return rig.recorder.operations - rig.serialPorts.opens; }

    adapter::testing::RecordingRig rig;
    ui::Dialog mainDialog{resources::mainDialogTemplate()};
    IspState state;
    IspContext ctx{rig.ctx, state};
};

}  // namespace isp::testing
