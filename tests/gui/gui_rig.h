// The main window on the virtual controller, offscreen, in a fresh start directory.
// Message boxes are recorded and answered OK instead of waiting for a click.
#pragma once

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "config/temp_directory.h"
#include "gui/main_window.h"
#include "gui/qt_host.h"
#include "shell/app.h"
#include "sim/test_rig.h"

namespace gui::testing {

// One QApplication for the whole test program.
inline QApplication& application() {
    static int argc = 1;
    static char name[] = "gui_test";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

struct Box {
    int ownerId;
    std::string text;
    std::string caption;
    ui::Buttons buttons;
};

struct GuiRig {
    GuiRig() {
        application();
        host.answerBoxes = [this](const ui::Dialog* owner, std::string_view text,
                                  std::string_view caption, ui::Buttons buttons) {
            boxes.push_back(Box{owner != nullptr ? owner->id() : 0, std::string(text),
                                std::string(caption), buttons});
            return ui::Answer::Ok;
        };
    }

    MainWindow& start() {
        app.initDialog(directory.path());
        window = std::make_unique<MainWindow>(app, host);
        return *window;
    }

    std::string lastBox() const { return boxes.empty() ? "" : boxes.back().text; }

    sim::TestRig simulator;
    QtHost host;
    testing_support::TempDirectory directory;
    shell::App app{
        host, shell::Backends{&simulator.clock(), &simulator.serialPorts(), &simulator.portIo()},
        shell::PlatformFlags{}};
    std::unique_ptr<MainWindow> window;
    std::vector<Box> boxes;
};

}  // namespace gui::testing
