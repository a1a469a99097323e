// Shared set-up for the line driver's tests.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "adapter/adapter.h"
#include "adapter/testing/recording_lines.h"

namespace adapter::testing {

inline std::string joined(const std::vector<std::string>& parts) {
    std::string all;
    for (const std::string& part : parts) {
        all += (all.empty() ? "" : ", ") + part;
    }
    return all;
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

// A pseudo-terminal: a tty without modem-control lines.
struct PseudoTerminal {
    PseudoTerminal() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0) {
            path = ::ptsname(master);
        }
    }
    ~PseudoTerminal() {
        if (master >= 0) {
            ::close(master);
        }
    }
    int master = -1;
    std::string path;
};

}  // namespace adapter::testing
