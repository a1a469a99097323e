// zek-setup: the desktop program. Runs the main dialog modally and returns 0 when it ends
// (1 when an output file of the virtual controller cannot be written, or without a
// display).
#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "gui/app_icon.h"
#include "gui/session.h"
#include "gui/start_options.h"
#include "shell/commands.h"
#include "shell/desktop_start.h"
#include "shell/real_ports.h"

namespace {

// --help and --version answer without a window system, and so do options that make no
// sense; other arguments may be Qt's own (-platform …) and wait for QApplication.
std::optional<int> answerWithoutDisplay(int argc, char* argv[]) {
    bool asked = false;
    for (int i = 1; i < argc; ++i) {
        asked = asked || std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0 ||
                std::strcmp(argv[i], "--version") == 0;
    }
    if (!asked) {
        return std::nullopt;
    }
    std::string error;
    const std::optional<gui::StartOptions> options =
        shell::parseDesktopOptions(std::vector<std::string>(argv, argv + argc), error);
    if (!options) {
        std::cerr << "zek-setup: " << error << '\n';
        return 2;
    }
    if (options->version) {
        std::cout << shell::versionText("zek-setup", shell::ftdiFastPathBuilt());
    } else {
        std::cout << shell::desktopUsageText();
    }
    return 0;
}

// Without a display Qt would abort; say so in one line instead.
bool displayMissing(int argc, char* argv[]) {
#if defined(__linux__)
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0) {
            return false;
        }
    }
    return !set("QT_QPA_PLATFORM") && !set("DISPLAY") && !set("WAYLAND_DISPLAY");
#else
    (void)argc;
    (void)argv;
    return false;
#endif
}

// A display that is named but cannot be reached ends Qt with a fatal message and a core
// dump: end with 1 and one line of our own instead, as without a display. Qt's own lines
// before it (which display it tried) still go out.
QtMessageHandler qtOwnHandler = nullptr;

void startupMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        qtOwnHandler(type, context, message);
        return;
    }
    std::cerr << "zek-setup: the display cannot be opened; zek-cli works without one\n";
    std::_Exit(1);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = answerWithoutDisplay(argc, argv)) {
        return *status;
    }
    if (displayMissing(argc, argv)) {
        std::cerr << "zek-setup: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                     "zek-cli works without one\n";
        return 1;
    }
    qtOwnHandler = qInstallMessageHandler(startupMessage);
    QApplication application(argc, argv);
    qInstallMessageHandler(qtOwnHandler);
    QApplication::setApplicationName(QStringLiteral("zek-setup"));
    QApplication::setWindowIcon(gui::appIcon());

    QString error;
    const std::optional<gui::StartOptions> options =
        gui::parseStartOptions(QApplication::arguments(), error);
    if (!options) {
        std::cerr << "zek-setup: " << error.toStdString() << '\n' << shell::desktopUsageText();
        return 2;
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
