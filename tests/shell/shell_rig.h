// An application context on the recording back-end, started in a fresh directory.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "adapter/testing/recording_lines.h"
#include "config/temp_directory.h"
#include "resources/main_dialog_ids.h"
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

    App& start(PlatformFlags platform = {}) { return startIn(directory.path(), platform); }
    App& startIn(const std::string& startDirectory, PlatformFlags platform = {}) {
        app =
            std::make_unique<App>(host, Backends{&recorder.clock, &serialPorts, &portIo}, platform);
        app->initDialog(startDirectory);
        return *app;
    }

    std::string config() const { return directory.read("qvsetup.cfg"); }
    void writeConfig(const std::string& bytes) const { directory.write("qvsetup.cfg", bytes); }
    // Each message box as "owner caption: text".
    std::vector<std::string> boxes() const {
        std::vector<std::string> all;
        for (const ui::RecordedMessage& box : host.messages) {
            all.push_back(std::to_string(box.ownerId) + ' ' + box.caption + ": " + box.text);
        }
        return all;
    }
    std::vector<ui::ControlId> checkedPortItems() const {
        std::vector<ui::ControlId> checked;
        for (ui::ControlId id = ids::Com1Item; id <= ids::Com8Item; ++id) {
            if (app->mainDialog().menuItem(id).checked) {
                checked.push_back(id);
            }
        }
        return checked;
    }
};

using Boxes = std::vector<std::string>;
using Items = std::vector<ui::ControlId>;
inline constexpr PlatformFlags serialOnly{};
inline constexpr PlatformFlags withPortDriver{false, true};

}  // namespace shell::testing
