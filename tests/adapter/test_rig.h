// Shared set-up for the line driver's and the link's tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adapter/adapter.h"
#include "adapter/testing/recording_lines.h"
#include "ui/recording_host.h"

namespace adapter::testing {

inline std::string joined(const std::vector<std::string>& parts) {
    std::string all;
    for (const std::string& part : parts) {
        all += (all.empty() ? "" : ", ") + part;
    }
    return all;
}

// Each message box as "owner caption: text".
inline std::string boxes(const ui::RecordingHost& host) {
    std::vector<std::string> all;
    for (const ui::RecordedMessage& box : host.messages) {
        all.push_back(std::to_string(box.ownerId) + ' ' + box.caption + ": " + box.text);
    }
    return joined(all);
}

// Opens name on a factory that must refuse it with expected; the error it gives.
inline ui::SystemError refusedOpen(SerialPortFactory& factory, const std::string& name,
                                   SerialOpenResult expected) {
    SerialOpenResult result = SerialOpenResult::Ok;
    ui::SystemError error;
    EXPECT_EQ(factory.open(name, result, error), nullptr) << name;
    EXPECT_EQ(result, expected) << name;
    return error;
}

// A recording rig on the parallel port, or with its serial port open; the log empty.
struct OpenRig : RecordingRig {
    explicit OpenRig(bool parallel = false) {
        if (parallel) {
            selectParallel();
        } else {
            EXPECT_EQ(openSerialPort(ctx), 0);
        }
        recorder.clear();
    }
    std::string steps() const { return joined(trace()); }
};

}  // namespace adapter::testing
