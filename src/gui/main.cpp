// zek-setup: the desktop program. Runs the main dialog modally and returns 0 when it ends
// (1 when an output file of the virtual controller cannot be written).
#include <QApplication>
#include <iostream>

#include "gui/app_icon.h"
#include "gui/session.h"
#include "gui/start_options.h"
#include "shell/commands.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zek-setup"));
    QApplication::setWindowIcon(gui::appIcon());

    QString error;
    const std::optional<gui::StartOptions> options =
        gui::parseStartOptions(QApplication::arguments(), error);
    if (!options) {
        std::cerr << "zek-setup: " << error.toStdString() << '\n' << gui::usageText().toStdString();
        return 2;
    }
    if (options->help) {
        std::cout << gui::usageText().toStdString();
        return 0;
    }

    gui::Session session(*options, std::cerr);
    // Told once, before the user can start anything else.
    shell::announceUnfinishedUpdate(session.app());
    session.window().exec();
    // --sim-save, --sim-flash-save and --trace are written when the program ends.
    if (const std::string error = session.simulator().saveOutputs(); !error.empty()) {
        std::cerr << "zek-setup: " << error << '\n';
        return 1;
    }
    return 0;
}
