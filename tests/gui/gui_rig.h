// The main window on the virtual controller, offscreen, in a fresh start directory.
// Message boxes are recorded and answered OK instead of waiting for a click.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/main_window.h"
#include "gui/menu_binding.h"
#include "gui/qt_host.h"
#include "gui/session.h"
#include "sim/procedure_rig.h"
#include "ui/artefact.h"

namespace gui::testing {

// One QApplication for the whole test program.
inline QApplication& application() {
    static int argc = 1;
    static char name[] = "gui_test";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

// A picture of the window for whoever looks at the test run.
inline void saveArtefact(QWidget& window, const char* name) {
    if (const auto path = testing_support::artefactPath(name)) {
        const QString file = QString::fromStdString(path->string());
        EXPECT_TRUE(window.grab().save(file)) << path->string();
    }
}

// Runs step with the modal sub-dialog once it is up, while command runs; false when none
// came. Repaints during the command run the event loop too: the box is polled for.
inline bool whenModal(const std::function<void(CommandDialog&)>& step,
                      const std::function<void()>& command) {
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<CommandDialog*>(QApplication::activeModalWidget())) {
            poll.stop();
            seen = true;
            step(*box);
        }
    });
    poll.start(5);
    command();
    return seen;
}

inline QLineEdit* edit(CommandDialog& window, ui::ControlId id) {
    return static_cast<QLineEdit*>(window.view().widget(id));
}
inline void click(CommandDialog& window, ui::ControlId id) {
    QTest::mouseClick(window.view().widget(id), Qt::LeftButton);
}
inline void trigger(CommandDialog& window, ui::ControlId id) {
    window.menus()->action(id)->trigger();
}

struct GuiRig : sim::ProcedureRig {
    GuiRig() {
        application();
        std::filesystem::remove(dir.file("qvsetup.cfg"));  // a first start
        recordBoxes(host);
    }
    void recordBoxes(QtHost& boxHost) {
        boxHost.answerBoxes = [this](const ui::Dialog*, std::string_view text, std::string_view,
                                     ui::Buttons) {
            boxes.emplace_back(text);
            return ui::Answer::Ok;
        };
    }

    ~GuiRig() {
        window.reset();
        programApp.reset();
    }

    MainWindow& start() {
        app.initDialog(dir.path());
        window = std::make_unique<MainWindow>(app, host, &comPortNote);
        return *window;
    }

    std::string lastBox() const { return boxes.empty() ? "" : boxes.back(); }

    QtHost host;
    shell::App& app = program(host);
    std::unique_ptr<MainWindow> window;
    std::vector<std::string> boxes;  // the texts of the boxes shown
};

}  // namespace gui::testing
