// An application context on the recording back-end, started in a fresh directory.
#pragma once

#include <memory>
#include <string>

#include "adapter/testing/recording_lines.h"
#include "config/temp_directory.h"
#include "shell/app.h"
#include "ui/recording_host.h"

namespace shell::testing {

struct ShellRig {
    adapter::testing::Recorder recorder;
    adapter::testing::RecordingSerialPorts serialPorts{recorder};
    adapter::testing::RecordingPortIo portIo{recorder};
    ui::RecordingHost host;
    testing_support::TempDirectory directory;
    std::unique_ptr<App> app;

    Backends backends() { return Backends{&recorder.clock, &serialPorts, &portIo}; }

    App& start(PlatformFlags platform = {}) { return startIn(directory.path(), platform); }
    App& startIn(const std::string& startDirectory, PlatformFlags platform = {}) {
        app = std::make_unique<App>(host, backends(), platform);
        app->initDialog(startDirectory);
        return *app;
    }

    std::string config() const { return directory.read("qvsetup.cfg"); }
    void writeConfig(const std::string& bytes) const { directory.write("qvsetup.cfg", bytes); }
};

inline constexpr PlatformFlags serialOnly{};
inline constexpr PlatformFlags withPortDriver{false, true};

}  // namespace shell::testing
