// A recorded log read back as the link protocol: each byte sent (DATA-OUT at the rising
// CLOCK edges, eight to a byte), each wait and other line change, and the bit delays beyond
// the 15 reads before and 5 after that every byte makes itself. Assumes bitDelayCount 1.
#pragma once

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "adapter/test_rig.h"
#include "adapter/testing/recording_lines.h"

namespace linktest {

using adapter::testing::boxes;
using adapter::testing::joined;

inline std::string protocol(const adapter::testing::Recorder& recorder) {
    std::vector<std::string> tokens;
    bool dataOut = false;
    bool clock = false;
    bool afterByte = false;
    int bits = 0;
    int value = 0;
    int reads = 0;
    auto flushReads = [&](bool beforeByte) {
        const int extra = reads - (afterByte ? 5 : 0) - (beforeByte ? 15 : 0);
        if (extra != 0) {
            tokens.push_back(extra % 5 == 0 ? "delay " + std::to_string(extra / 5)
                                            : "reads " + std::to_string(extra));
        }
        reads = 0;
        afterByte = false;
    };
    auto clockTo = [&](bool high) {
        if (high && !clock) {
            if (bits == 0) {
                flushReads(true);
            }
            value = value << 1 | (dataOut ? 1 : 0);
            if (++bits == 8) {
                char text[8];
                std::snprintf(text, sizeof text, "0x%02X", value & 0xFF);
                tokens.push_back(text);
            }
        } else if (!high && clock && bits == 8) {
            bits = value = 0;
            afterByte = true;
        }
        clock = high;
    };
    for (const adapter::testing::Event& event : recorder.events) {
        const std::string& what = event.what;
        if (what == "read DATA-IN" || what == "read word") {
            reads += bits == 0 ? 1 : 0;
        } else if (what == "DATA-OUT high" || what == "DATA-OUT low") {
            dataOut = what == "DATA-OUT high";
        } else if (what == "CLOCK high" || what == "CLOCK low") {
            clockTo(what == "CLOCK high");
        } else if (what.rfind("data 0x", 0) == 0) {
            const int image = std::stoi(what.substr(7), nullptr, 16);
            dataOut = (image & 0x01) != 0;
            clockTo((image & 0x02) != 0);
        } else if (!event.read) {
            flushReads(false);
            tokens.push_back(what);
        }
    }
    flushReads(false);
    return joined(tokens);
}

// Queues the controller's answers, given as hex bytes ("00 FE"): byte k comes back while
// byte k+1 goes out.
inline void answers(adapter::testing::Recorder& recorder, const std::string& bytes) {
    std::istringstream in(bytes);
    for (int byte = 0; in >> std::hex >> byte;) {
        recorder.queueByte(byte);
    }
}

}  // namespace linktest
