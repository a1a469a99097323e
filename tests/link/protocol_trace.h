// Reads a recorded log back as the link protocol: the bytes sent (DATA-OUT at each rising
// CLOCK edge, eight to a byte), the millisecond waits, and the bit delays between bytes
// beyond those every exchange makes itself. Assumes bitDelayCount 1.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "adapter/testing/recording_lines.h"

namespace linktest {

inline std::string hexByte(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFF);
    return text;
}

inline std::vector<std::string> protocol(const adapter::testing::Recorder& recorder) {
    // A byte starts with bitDelay(2); every bit waits bitDelay(1) before its rising edge
    // and after its falling one.
    constexpr int leadingReads = 15;  // bitDelay(2), then the first bit's bitDelay(1)
    constexpr int trailingReads = 5;
    std::vector<std::string> tokens;
    bool dataOut = false;
    bool clock = false;
    int bits = 0;
    int value = 0;
    int reads = 0;
    bool afterByte = false;  // the reads counted follow a finished byte
    auto flushReads = [&](bool beforeByte) {
        int extra = reads - (afterByte ? trailingReads : 0) - (beforeByte ? leadingReads : 0);
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
                tokens.push_back(hexByte(value));
            }
        } else if (!high && clock && bits == 8) {
            bits = 0;
            value = 0;
            afterByte = true;
        }
        clock = high;
    };
    for (const adapter::testing::Event& event : recorder.events) {
        const std::string& what = event.what;
        if (what == "read DATA-IN" || what == "read word") {
            if (bits == 0) {
                ++reads;
            }
        } else if (what.rfind("wait ", 0) == 0) {
            flushReads(false);
            tokens.push_back(what);
        } else if (what == "DATA-OUT high" || what == "DATA-OUT low") {
            dataOut = what == "DATA-OUT high";
        } else if (what == "CLOCK high" || what == "CLOCK low") {
            clockTo(what == "CLOCK high");
        } else if (what.rfind("data 0x", 0) == 0) {
            int image = std::stoi(what.substr(7), nullptr, 16);
            dataOut = (image & 0x01) != 0;
            clockTo((image & 0x02) != 0);
        } else if (!event.read) {
            flushReads(false);
            tokens.push_back(what);
        }
    }
    flushReads(false);
    return tokens;
}

}  // namespace linktest
